#include "onair/LocalHours.h"

#include <algorithm>

#include "platform/LocalTime.h"
#include "platform/TimeTexts.h"

namespace kestrune {

namespace {

LocalDateTime Reading(const CalendarDate& date, int64_t minuteOfDay) {
    // 24:00 is 00:00 of the next day.
    const CalendarDate day = AddDays(date, static_cast<int>(minuteOfDay / (24 * 60)));
    const int minute = static_cast<int>(minuteOfDay % (24 * 60));
    return LocalDateTime{day.year, day.month, day.day, minute / 60, minute % 60, 0, 0};
}

}  // namespace

std::vector<LocalPass> LocalPasses(const CalendarDate& date, int hour, int minute, int64_t turnMs) {
    const int64_t first = hour * 60 + minute;
    const LocalDateTime reading = Reading(date, first);
    const LocalDateTime next = Reading(date, first + turnMs / 60000);
    const int64_t earlier = InstantOfLocal(reading, RepeatedReading::Earlier);
    const int64_t later = InstantOfLocal(reading, RepeatedReading::Later);
    if (earlier == later) {
        // Once, or skipped: a skipped turn starts and ends where the clock jumps.
        const int64_t end = InstantOfLocal(next, RepeatedReading::Earlier);
        if (end <= earlier) return {};
        return {LocalPass{earlier, end, false}};
    }
    // Shown twice: the first pass runs a turn or until the clock turns back, the second to the
    // turn after it on the clock's second way through.
    return {LocalPass{earlier, std::min(earlier + turnMs, later), false},
            LocalPass{later, InstantOfLocal(next, RepeatedReading::Later), true}};
}

std::string LocalClockText(int64_t utcMs) {
    const LocalDateTime t = LocalFieldsOf(utcMs);
    std::string text = TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
    if (ReadingIsRepeated(utcMs)) text += " " + ZoneAbbreviationAt(utcMs);
    return text;
}

int64_t LocalCalendarSeconds(int64_t utcMs) {
    const LocalDateTime t = LocalFieldsOf(utcMs);
    return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace kestrune
