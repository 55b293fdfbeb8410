#pragma once
// The daily run as the operator left it, in the "[Schedule]" section of the configuration
// file: whether it is on and at which hour, so that the next start resumes it. Without the
// section the schedule starts stopped at "12 AM", as it always did.

#include <string>

#include "platform/SettingsFiles.h"

namespace kestrune {

inline constexpr const char* kScheduleSection = "Schedule";

struct ScheduleSettings {
    bool running = false;          // key "running": 1 on, 0 off
    std::string startHour = "12 AM";  // key "start": the hour as the list names it

    bool operator==(const ScheduleSettings&) const = default;
};

// Pure text forms; an absent or empty key keeps its default, a "running" other than 1 is off.
ScheduleSettings ParseScheduleSettings(const std::string& iniText);
std::string WithScheduleSettings(const std::string& iniText, const ScheduleSettings& settings);

// No file there or readable gives the defaults; "Unable to write to %s".
ScheduleSettings ReadScheduleSettings(const SettingsFiles& files);
void WriteScheduleSettings(const SettingsFiles& files, const ScheduleSettings& settings);

// Why a daily run left running did not resume: its hour is none, or nothing is scheduled.
std::string DailyRunNotResumedText(const std::string& startHour, bool scheduleEmpty);

}  // namespace kestrune
