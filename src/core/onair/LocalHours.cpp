#include "onair/LocalHours.h"

#include <ctime>

#include "platform/CalendarDate.h"

namespace kestrune {

namespace {

std::tm LocalTm(int64_t utcMs) {
    const int64_t seconds = utcMs >= 0 ? utcMs / 1000 : (utcMs - 999) / 1000;
    const std::time_t at = static_cast<std::time_t>(seconds);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &at);
#else
    localtime_r(&at, &local);
#endif
    return local;
}

}  // namespace

int64_t LocalHourStartMs(const CalendarDate& date, int hour) {
    std::tm local{};
    local.tm_year = date.year - 1900;
    local.tm_mon = date.month - 1;
    local.tm_mday = date.day;
    local.tm_hour = hour;
    local.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&local)) * 1000;
}

int64_t LocalHourEndMs(const CalendarDate& date, int hour) {
    return hour == 23 ? LocalHourStartMs(AddDays(date, 1), 0) : LocalHourStartMs(date, hour + 1);
}

std::string LocalClockText(int64_t utcMs) {
    const std::tm local = LocalTm(utcMs);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

int64_t LocalCalendarSeconds(int64_t utcMs) {
    const std::tm local = LocalTm(utcMs);
    return DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * 86400 +
           local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

}  // namespace kestrune
