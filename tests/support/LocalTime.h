#pragma once
// Times as the on-air tests write them, worked out with the C library alone, so that they are
// not taken from the code the tests check.

#include <cstdint>
#include <ctime>
#include <string>

namespace kestrune::testing {

inline int64_t LocalMomentMs(int year, int month, int day, int hour) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&local)) * 1000;
}

// Icecast's access-log time of a connection that ended at `utcMs`: "09/Dec/2026:06:01:45 +0000".
inline std::string AccessLogTime(int64_t utcMs) {
    const std::time_t seconds = static_cast<std::time_t>(utcMs / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%d/%b/%Y:%H:%M:%S +0000", &utc);
    return text;
}

}  // namespace kestrune::testing
