#pragma once
// Runs a stretch of a test in another time zone: TZ set and taken in (tzset) for the life of the
// object, the old TZ back after. Tools the test starts inherit it.

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/LocalTime.h"

namespace kestrune::testing {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", zone.c_str(), 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> old_;
};

// A UTC moment in milliseconds, from the C library alone.
inline int64_t UtcMs(int year, int month, int day, int hour, int minute = 0) {
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    return static_cast<int64_t>(timegm(&utc)) * 1000;
}

// The days of 2026 on which the clock changes in the two zones the tests use.
struct ClockChanges {
    const char* zone;
    int springMonth, springDay;  // an hour skipped: 02:00 jumps to 03:00
    int autumnMonth, autumnDay;  // an hour shown twice
    int repeatedHour;            // the local hour shown twice
    int standardOffsetHours;     // UTC offset in winter
    const char* summerName;
    const char* winterName;
};
inline constexpr ClockChanges kBerlin{"Europe/Berlin", 3, 29, 10, 25, 2, 1, "CEST", "CET"};
inline constexpr ClockChanges kNewYork{"America/New_York", 3, 8, 11, 1, 1, -5, "EDT", "EST"};

// A clock stopped at an instant, read in the zone in force.
class InstantClock : public Clock {
public:
    explicit InstantClock(int64_t at) : ms(at) {}
    LocalDateTime Now() const override { return LocalFieldsOf(ms); }
    int64_t UtcMilliseconds() const override { return ms; }
    int64_t UtcMillisecondsOfDay() const override { return ms % kMsPerDay; }
    int64_t ms;
};

}  // namespace kestrune::testing
