#include "platform/LocalTime.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <vector>

namespace kestrune {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

std::tm LocalTm(int64_t utcSeconds) {
    const std::time_t at = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &at);
#else
    localtime_r(&at, &local);
#endif
    return local;
}

// A reading as if it were UTC: the calendar seconds that its fields count.
int64_t ReadingSeconds(int64_t year, int month, int day, int hour, int minute, int second) {
    return DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

int64_t ReadingSecondsAt(int64_t utcSeconds) {
    const std::tm t = LocalTm(utcSeconds);
    return ReadingSeconds(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
}

// Every instant (whole seconds, in order) whose reading is `reading`: none in a gap, two in an
// overlap. The offsets a day either side cover every change a zone has made.
std::vector<int64_t> InstantsReading(int64_t reading) {
    std::vector<int64_t> offsets;
    for (const int64_t probe : {reading - kSecondsPerDay, reading, reading + kSecondsPerDay}) {
        const int64_t offset = ReadingSecondsAt(probe) - probe;
        if (std::find(offsets.begin(), offsets.end(), offset) == offsets.end())
            offsets.push_back(offset);
    }
    std::vector<int64_t> instants;
    for (const int64_t offset : offsets)
        if (ReadingSecondsAt(reading - offset) == reading) instants.push_back(reading - offset);
    std::sort(instants.begin(), instants.end());
    instants.erase(std::unique(instants.begin(), instants.end()), instants.end());
    return instants;
}

// The instant the clock jumps over a skipped reading: the first whose reading is later.
int64_t JumpOver(int64_t reading) {
    int64_t low = INT64_MAX, high = INT64_MIN;
    for (const int64_t probe : {reading - kSecondsPerDay, reading, reading + kSecondsPerDay}) {
        const int64_t offset = ReadingSecondsAt(probe) - probe;
        low = std::min(low, reading - offset);
        high = std::max(high, reading - offset);
    }
    // The reading at `low` is before the gap, at `high` past it: find the first instant past.
    while (low + 1 < high) {
        const int64_t middle = low + (high - low) / 2;
        (ReadingSecondsAt(middle) > reading ? high : low) = middle;
    }
    return high;
}

int64_t ReadingSecondsOf(const LocalDateTime& local) {
    return ReadingSeconds(local.year, local.month, local.day, local.hour, local.minute,
                          local.second);
}

}  // namespace

int64_t UtcNowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

LocalDateTime LocalFieldsOf(int64_t utcMs) {
    const int64_t seconds = FloorDiv(utcMs, 1000);
    const std::tm t = LocalTm(seconds);
    return LocalDateTime{t.tm_year + 1900,
                         t.tm_mon + 1,
                         t.tm_mday,
                         t.tm_hour,
                         t.tm_min,
                         t.tm_sec,
                         static_cast<int>(utcMs - seconds * 1000)};
}

int UtcOffsetSecondsAt(int64_t utcMs) {
    const int64_t seconds = FloorDiv(utcMs, 1000);
    return static_cast<int>(ReadingSecondsAt(seconds) - seconds);
}

ReadingKind KindOfReading(const LocalDateTime& local) {
    const size_t instants = InstantsReading(ReadingSecondsOf(local)).size();
    return instants == 0   ? ReadingKind::Skipped
           : instants == 1 ? ReadingKind::Once
                           : ReadingKind::Twice;
}

int64_t InstantOfLocal(const LocalDateTime& local, RepeatedReading repeated) {
    const int64_t reading = ReadingSecondsOf(local);
    const std::vector<int64_t> instants = InstantsReading(reading);
    if (instants.empty()) return JumpOver(reading) * 1000;
    const int64_t at = repeated == RepeatedReading::Earlier ? instants.front() : instants.back();
    return at * 1000 + local.millisecond;
}

int64_t LocalDayStartMs(const CalendarDate& date) {
    return InstantOfLocal(LocalDateTime{date.year, date.month, date.day, 0, 0, 0, 0});
}

int64_t NextLocalHourMs(int64_t fromMs, int hour) {
    const LocalDateTime from = LocalFieldsOf(fromMs);
    CalendarDate date{from.year, from.month, from.day};
    int64_t at = 0;
    // Today's hour, or tomorrow's; a third day only where a zone has dropped a whole day.
    for (int day = 0; day < 3; ++day, date = AddDays(date, 1)) {
        at = InstantOfLocal(LocalDateTime{date.year, date.month, date.day, hour, 0, 0, 0});
        if (at >= fromMs) break;
    }
    return at;
}

bool ReadingIsRepeated(int64_t utcMs) {
    return KindOfReading(LocalFieldsOf(utcMs)) == ReadingKind::Twice;
}

std::string ZoneAbbreviationAt(int64_t utcMs) {
    const std::tm t = LocalTm(FloorDiv(utcMs, 1000));
    char text[32];
    const size_t length = std::strftime(text, sizeof text, "%Z", &t);
    return std::string(text, length);
}

}  // namespace kestrune
