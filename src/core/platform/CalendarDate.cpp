#include "platform/CalendarDate.h"

#include <cstdio>

#include "platform/Digits.h"

namespace kestrune {

bool LeapYear(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<CalendarDate> ParseCalendarDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = FixedDigits(text, 0, 4), month = FixedDigits(text, 5, 2);
    const auto day = FixedDigits(text, 8, 2);
    if (!year || !month || !day) return std::nullopt;
    const CalendarDate date{*year, *month, *day};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

std::string DateText(const CalendarDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year % 10000, date.month % 100,
                  date.day % 100);
    return text;
}

CalendarDate AddDays(const CalendarDate& date, int days) {
    return CivilFromDays(DaysOf(date) + days);
}

int WeekdayOf(const CalendarDate& date) {
    // 1970-01-01 was a Thursday (3).
    const int64_t days = DaysOf(date);
    return static_cast<int>(((days % 7) + 7 + 3) % 7);
}

}  // namespace kestrune
