#include "sessions/ScheduleSettings.h"

#include "platform/SettingsSection.h"

namespace kestrune {

namespace {
constexpr const char* kRunning = "running";
constexpr const char* kStart = "start";
}  // namespace

namespace {

ScheduleSettings FromSection(const SettingsSection& section) {
    ScheduleSettings settings;
    settings.running = section.Flag(kRunning);
    const std::optional<std::string> start = section.Text(kStart);
    if (start && !start->empty()) settings.startHour = *start;
    return settings;
}

SettingsValues ValuesOf(const ScheduleSettings& settings) {
    return {{kRunning, settings.running ? "1" : "0"}, {kStart, settings.startHour}};
}

}  // namespace

ScheduleSettings ParseScheduleSettings(const std::string& iniText) {
    return FromSection(SettingsSection(iniText, std::string(), kScheduleSection));
}

std::string WithScheduleSettings(const std::string& iniText, const ScheduleSettings& settings) {
    return WithSectionValues(iniText, kScheduleSection, ValuesOf(settings));
}

ScheduleSettings ReadScheduleSettings(const SettingsFiles& files) {
    return FromSection(SettingsSection(files, kScheduleSection));
}

void WriteScheduleSettings(const SettingsFiles& files, const ScheduleSettings& settings) {
    WriteSettingsSection(files, kScheduleSection, ValuesOf(settings));
}

std::string DailyRunNotResumedText(const std::string& startHour, bool scheduleEmpty) {
    if (scheduleEmpty)
        return "The daily run was left running, but the schedule lists no session: it is stopped.";
    return "The daily run was left running, but [Schedule] start=" + startHour +
           " is not an hour (12 AM to 11 PM, or 00 to 23): it is stopped. Set the hour and press "
           "Begin Auto Schedule.";
}

}  // namespace kestrune
