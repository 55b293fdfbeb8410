#pragma once
// The one place where the core turns an instant into the local clock's reading and back, in the
// system's time zone (TZ). Everything else counts in instants (UTC milliseconds since 1970) and
// asks here for readings, so that a day of 23 or 25 hours is measured as it passes.
//
// Twice a year a reading is not one instant:
// - a reading the clock skips (spring forward: 02:30 in Berlin on the last Sunday of March)
//   stands for the instant the clock jumps, the first instant after the gap (01:00 UTC, which
//   reads 03:00);
// - a reading the clock shows twice (fall back: 02:30 in Berlin on the last Sunday of October)
//   stands for its earlier instant unless the later one is asked for.

#include <cstdint>
#include <string>

#include "platform/CalendarDate.h"
#include "platform/Clock.h"

namespace kestrune {

inline constexpr int64_t kMsPerHour = 3600000;
inline constexpr int64_t kMsPerDay = 24 * kMsPerHour;

// Now, as an instant.
int64_t UtcNowMs();

// The local reading of an instant, to the millisecond.
LocalDateTime LocalFieldsOf(int64_t utcMs);
// Seconds the local clock is ahead of UTC at that instant (3600 for CET, -14400 for EDT).
int UtcOffsetSecondsAt(int64_t utcMs);

enum class RepeatedReading { Earlier, Later };
enum class ReadingKind { Once, Skipped, Twice };

// What the clock does with a reading (its milliseconds included) on that day.
ReadingKind KindOfReading(const LocalDateTime& local);
// The instant of a reading, by the rules above.
int64_t InstantOfLocal(const LocalDateTime& local,
                       RepeatedReading repeated = RepeatedReading::Earlier);
// 00:00 of a date (the first instant of that local day).
int64_t LocalDayStartMs(const CalendarDate& date);

// The first instant at or after `fromMs` at which the local clock reaches `hour`:00 (0..23), by
// the rules above: a skipped hour is reached when the clock jumps over it, a repeated one at its
// first pass only, so a day reaches every hour exactly once.
int64_t NextLocalHourMs(int64_t fromMs, int hour);

// Whether the reading of this instant is one the clock shows twice that day.
bool ReadingIsRepeated(int64_t utcMs);
// "CEST", "EST": the zone's short name at that instant.
std::string ZoneAbbreviationAt(int64_t utcMs);

}  // namespace kestrune
