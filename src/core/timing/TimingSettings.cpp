#include "timing/TimingSettings.h"

#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/KestruneError.h"

namespace kestrune {

namespace {

constexpr const char* kFill = "fill";
constexpr const char* kTolerance = "tolerance";
constexpr const char* kOverlap = "overlap";

int Seconds(const std::string& iniText, const char* key, int fallback) {
    const auto value = FindIniValue(iniText, kTimingSection, key);
    if (!value || value->empty()) return fallback;
    const int32_t seconds = StrToInt(*value);
    return seconds < 0 ? 0 : seconds;
}

}  // namespace

TimingSettings ParseTimingSettings(const std::string& iniText) {
    TimingSettings settings;
    if (FindIniValue(iniText, kTimingSection, kFill).value_or("") == "exact")
        settings.fill = FillMode::Exact;
    settings.toleranceSeconds = Seconds(iniText, kTolerance, settings.toleranceSeconds);
    settings.overlapSeconds = Seconds(iniText, kOverlap, settings.overlapSeconds);
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

TimingSettings ReadTimingSettings(const std::string& iniPath) {
    if (iniPath.empty() || !FileExists(iniPath)) return TimingSettings{};
    std::string text;
    try {
        text = ReadWholeFile(iniPath);
    } catch (const KestruneError&) {
        return TimingSettings{};  // unreadable counts as absent, as for the other sections
    }
    return ParseTimingSettings(text);
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
