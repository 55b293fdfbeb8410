#pragma once
// The station's local clock against the as-played log's universal time: where a local hour
// starts, what a moment reads on the local clock, and the local calendar seconds that the play
// history counts in. The system's time zone, as the on-air script's clock. Nothing here reads
// or writes a file.

#include <cstdint>
#include <string>

#include "platform/CalendarDate.h"

namespace kestrune {

// The start of a local hour as UTC milliseconds.
int64_t LocalHourStartMs(const CalendarDate& date, int hour);
// The end of that hour: the start of the next one (the day after for 23).
int64_t LocalHourEndMs(const CalendarDate& date, int hour);

// "06:03:41" on the local clock.
std::string LocalClockText(int64_t utcMs);

// A UTC moment as seconds of the local calendar (see CalendarSeconds), to the whole second.
int64_t LocalCalendarSeconds(int64_t utcMs);

}  // namespace kestrune
