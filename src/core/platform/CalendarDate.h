#pragma once
// A day of the calendar, without time zone: the one date type of the core. Days since
// 1970-01-01 of a proleptic Gregorian date and back (the civil-days method), the "2026-12-09"
// text, and the weekday. Shared by the scheduler, the week grid, the play history and the logs
// of what aired.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CalendarDate&) const = default;
};

inline int64_t DaysFromCivil(int64_t year, int month, int day) {
    const int64_t y = year - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

inline CalendarDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    CalendarDate date;
    date.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    date.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

inline int64_t DaysOf(const CalendarDate& date) {
    return DaysFromCivil(date.year, date.month, date.day);
}

bool LeapYear(int64_t year);
int DaysInMonth(int64_t year, int month);

// "2026-12-09" exactly (a real date, years 1..9999); nothing otherwise.
std::optional<CalendarDate> ParseCalendarDate(std::string_view text);
std::string DateText(const CalendarDate& date);
CalendarDate AddDays(const CalendarDate& date, int days);
// 0 Monday .. 6 Sunday.
int WeekdayOf(const CalendarDate& date);

}  // namespace kestrune
