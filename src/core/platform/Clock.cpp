#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace kestrune {

LocalDateTime SystemClock::Now() const {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    return LocalDateTime{local.tm_year + 1900,    local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,           local.tm_min,     local.tm_sec,
                         static_cast<int>(millis)};
}

int64_t SystemClock::UtcMillisecondsOfDay() const {
    const auto since_epoch = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return since_epoch.count() % (24LL * 60 * 60 * 1000);
}

}  // namespace kestrune
