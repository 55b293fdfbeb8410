#pragma once
// The system clock behind an interface, so that builds and schedules can be replayed in tests.

#include <cstdint>

namespace kestrune {

struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
    // Now as an instant, UTC milliseconds since 1970: what delays are counted in. By default the
    // instant of Now()'s reading (the earlier one where the clock shows it twice).
    virtual int64_t UtcMilliseconds() const;
    // Milliseconds since midnight, universal time.
    virtual int64_t UtcMillisecondsOfDay() const = 0;
};

class SystemClock : public Clock {
public:
    LocalDateTime Now() const override;
    int64_t UtcMilliseconds() const override;
    int64_t UtcMillisecondsOfDay() const override;
};

}  // namespace kestrune
