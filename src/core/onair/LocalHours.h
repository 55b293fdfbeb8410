#pragma once
// The station's local clock against the as-played log's universal time: the stretches of time
// in which the local clock shows an hour (or a minute), what a moment reads on it, and the
// local calendar seconds that the play history counts in. The system's time zone, as the
// on-air script's clock. Nothing here reads or writes a file.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/CalendarDate.h"

namespace kestrune {

// One pass of the local clock through an hour or a minute, in UTC milliseconds: [startMs, endMs).
struct LocalPass {
    int64_t startMs = 0;
    int64_t endMs = 0;
    bool again = false;  // the second pass of a turn the clock shows twice (summer time ends)
    bool operator==(const LocalPass&) const = default;
};

// The passes of the local clock through `hour`:`minute` of `date`, a turn of `turnMs` (an hour
// or a minute): one on most days; none for a turn the clock skips (summer time begins); two for
// a turn it shows twice (summer time ends), in order.
std::vector<LocalPass> LocalPasses(const CalendarDate& date, int hour, int minute, int64_t turnMs);

// "06:03:41" on the local clock; a reading the clock shows twice that day adds the zone's name
// ("02:15:00 CEST", then "02:15:00 CET"), so the two are told apart.
std::string LocalClockText(int64_t utcMs);

// A UTC moment as seconds of the local calendar (see CalendarSeconds), to the whole second.
int64_t LocalCalendarSeconds(int64_t utcMs);

}  // namespace kestrune
