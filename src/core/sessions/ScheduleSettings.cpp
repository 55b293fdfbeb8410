#include "sessions/ScheduleSettings.h"

#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/KestruneError.h"

namespace kestrune {

namespace {
constexpr const char* kRunning = "running";
constexpr const char* kStart = "start";
}  // namespace

ScheduleSettings ParseScheduleSettings(const std::string& iniText) {
    ScheduleSettings settings;
    const auto running = FindIniValue(iniText, kScheduleSection, kRunning);
    settings.running = running && *running == "1";
    const auto start = FindIniValue(iniText, kScheduleSection, kStart);
    if (start && !start->empty()) settings.startHour = *start;
    return settings;
}

std::string WithScheduleSettings(const std::string& iniText, const ScheduleSettings& settings) {
    std::string text = SetIniValue(iniText, kScheduleSection, kRunning, settings.running ? "1" : "0");
    return SetIniValue(text, kScheduleSection, kStart, settings.startHour);
}

ScheduleSettings ReadScheduleSettings(const std::string& iniPath) {
    if (iniPath.empty() || !FileExists(iniPath)) return ScheduleSettings{};
    try {
        return ParseScheduleSettings(ReadWholeFile(iniPath));
    } catch (const KestruneError&) {
        return ScheduleSettings{};
    }
}

void WriteScheduleSettings(const std::string& iniPath, const ScheduleSettings& settings) {
    try {
        const std::string text = FileExists(iniPath) ? ReadWholeFile(iniPath) : std::string();
        ReplaceWholeFile(iniPath, WithScheduleSettings(text, settings));
    } catch (const KestruneError&) {
        throw errors::UnableToWrite(iniPath);
    }
}

std::string DailyRunNotResumedText(const std::string& startHour, bool scheduleEmpty) {
    if (scheduleEmpty)
        return "The daily run was left running, but the schedule lists no session: it is stopped.";
    return "The daily run was left running, but [Schedule] start=" + startHour +
           " is not an hour (12 AM to 11 PM, or 00 to 23): it is stopped. Set the hour and press "
           "Begin Auto Schedule.";
}

}  // namespace kestrune
