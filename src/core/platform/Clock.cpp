#include "platform/Clock.h"

#include "platform/LocalTime.h"

namespace kestrune {

int64_t Clock::UtcMilliseconds() const {
    return InstantOfLocal(Now());
}

LocalDateTime SystemClock::Now() const {
    return LocalFieldsOf(UtcNowMs());
}

int64_t SystemClock::UtcMilliseconds() const {
    return UtcNowMs();
}

int64_t SystemClock::UtcMillisecondsOfDay() const {
    return UtcNowMs() % kMsPerDay;
}

}  // namespace kestrune
