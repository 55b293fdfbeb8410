#include "timing/TimingSettings.h"

#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/KestruneError.h"
#include "platform/SettingsSection.h"

namespace kestrune {

namespace {

constexpr const char* kFill = "fill";
constexpr const char* kTolerance = "tolerance";
constexpr const char* kOverlap = "overlap";

}  // namespace

TimingSettings ParseTimingSettings(const std::string& iniText, std::vector<std::string>* problems,
                                   const std::string& iniPath) {
    SettingsSection section(iniText, iniPath, kTimingSection);
    TimingSettings settings;
    if (section.Text(kFill).value_or("") == "exact") settings.fill = FillMode::Exact;
    settings.toleranceSeconds = section.WholeNumber(kTolerance, settings.toleranceSeconds, 0,
                                                    kMostToleranceSeconds, "seconds");
    settings.overlapSeconds =
        section.WholeNumber(kOverlap, settings.overlapSeconds, 0, kMostOverlapSeconds, "seconds");
    const std::string prefer = section.Text("prefer").value_or("");
    if (prefer == "under") settings.prefer = EndPreference::Under;
    if (prefer == "closest") settings.prefer = EndPreference::Closest;
    if (problems != nullptr)
        problems->insert(problems->end(), section.Problems().begin(), section.Problems().end());
    return settings;
}

std::string WithTimingSettings(const std::string& iniText, const TimingSettings& settings) {
    std::string text = iniText;
    text = SetIniValue(text, kTimingSection, kFill,
                       settings.fill == FillMode::Exact ? "exact" : "walk");
    text = SetIniValue(text, kTimingSection, kTolerance, std::to_string(settings.toleranceSeconds));
    text = SetIniValue(text, kTimingSection, kOverlap, std::to_string(settings.overlapSeconds));
    return text;
}

TimingSettings ReadTimingSettings(const std::string& iniPath, std::vector<std::string>* problems) {
    return ParseTimingSettings(SettingsFileText(iniPath), problems, iniPath);
}

void WriteTimingSettings(const std::string& iniPath, const TimingSettings& settings) {
    try {
        const std::string text = FileExists(iniPath) ? ReadWholeFile(iniPath) : std::string();
        ReplaceWholeFile(iniPath, WithTimingSettings(text, settings));
    } catch (const KestruneError&) {
        throw errors::UnableToWrite(iniPath);
    }
}

}  // namespace kestrune
