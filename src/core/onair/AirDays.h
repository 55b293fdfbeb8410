#pragma once
// Plan against air over a range of days: for each local hour, the hour's playlist (named by the
// on-air script's pattern) beside the items of the as-played log that started in it. Reads the
// playlists and the log; never writes anything. The aired verb and the program's On Air page
// both answer from here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "onair/AsPlayedLog.h"
#include "onair/PlanAgainstAir.h"
#include "platform/CalendarDate.h"

namespace kestrune {

struct AirDaysRequest {
    std::string logPath;   // the as-played log
    std::string pattern;   // the hours' playlists, as the on-air script names them
    CalendarDate from;
    CalendarDate to;       // the last day, included
    int64_t lateMs = 10000;
    // A log that is not there yet is no aired item (the playout never ran); otherwise it is
    // "Cannot open file ...".
    bool missingLogIsEmpty = false;
};

// The script's own places in a station: PLAYLISTS/onair_%Y-%m-%d_%H.m3u8 and
// SESSIONS/aired.txt.
std::string OnAirPlaylistPattern(const std::string& playlistsFolder);
std::string AsPlayedLogPath(const std::string& sessionsFolder);

// One turn of the on-air clock: an hour, or a minute when the pattern names the minute (the
// script then plays a list a minute, as its test does). A turn the clock skips when summer time
// begins is none; one it shows twice when summer time ends is two, the second `again`.
struct AirHour {
    CalendarDate date;
    int hour = 0;
    int minute = 0;
    bool again = false;     // the second pass of a turn the clock shows twice
    HourPlan plan;          // its playlist in one spelling, the hour's span, the items
    bool hasPlan = false;   // the playlist file is there
    HourOnAir onAir;
};

struct AirTotals {
    int hours = 0;  // turns shown
    int planned = 0;
    int aired = 0;
    int neverAired = 0;
    int notPlanned = 0;
    int late = 0;
    int stillPlanned = 0;  // not aired yet, their hour not over
    bool Matched() const { return neverAired + notPlanned + late == 0; }
};

struct AirDays {
    std::vector<AirHour> hours;  // in order; an hour with neither playlist nor aired item is left out
    AirTotals totals;
    bool minuteTurns = false;  // the pattern names the minute
    bool logFound = false;
    int unreadLogLines = 0;
    // The log's last entry (a start or an end); none: empty. Air is known up to there: what is
    // left of an hour not over by then is still planned, not missed (the log never runs ahead of
    // the clock, so hours to come are planned too).
    std::optional<int64_t> logReachesMs;
};

AirDays ReadAirDays(const AirDaysRequest& request);

}  // namespace kestrune
