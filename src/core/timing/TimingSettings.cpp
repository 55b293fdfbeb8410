#include "timing/TimingSettings.h"

#include "platform/SettingsSection.h"

namespace kestrune {

namespace {

constexpr const char* kFill = "fill";
constexpr const char* kTolerance = "tolerance";
constexpr const char* kOverlap = "overlap";

}  // namespace

namespace {

TimingSettings FromSection(SettingsSection& section, std::vector<std::string>* problems) {
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

SettingsValues ValuesOf(const TimingSettings& settings) {
    return {
        {kFill, settings.fill == FillMode::Exact ? "exact" : "walk"},
        {kTolerance, std::to_string(settings.toleranceSeconds)},
        {kOverlap, std::to_string(settings.overlapSeconds)},
    };
}

}  // namespace

TimingSettings ParseTimingSettings(const std::string& iniText, std::vector<std::string>* problems,
                                   const std::string& iniPath) {
    SettingsSection section(iniText, iniPath, kTimingSection);
    return FromSection(section, problems);
}

std::string WithTimingSettings(const std::string& iniText, const TimingSettings& settings) {
    return WithSectionValues(iniText, kTimingSection, ValuesOf(settings));
}

TimingSettings ReadTimingSettings(const SettingsFiles& files, std::vector<std::string>* problems) {
    SettingsSection section(files, kTimingSection);
    return FromSection(section, problems);
}

void WriteTimingSettings(const SettingsFiles& files, const TimingSettings& settings) {
    WriteSettingsSection(files, kTimingSection, ValuesOf(settings));
}

}  // namespace kestrune
