#pragma once
// Building days of a week grid: every hour that names a session, in order, one playlist per
// hour and one text log per day.

#include <string>
#include <vector>

#include "building/BuildContext.h"
#include "sessions/ShortSessions.h"
#include "sessions/WeekGrid.h"

namespace kestrune {

inline constexpr int kMostDaysInOneRun = 366;

// How far one built hour ends from the hour, joins taken off: above 0 late, below 0 early.
struct HourEnd {
    int weekday = 0;  // 0 Monday
    int hour = 0;
    int64_t errorMs = 0;
    bool onTime = true;  // within the timing's tolerance
    bool operator==(const HourEnd&) const = default;
};

// "+0.4 s", "-41.0 s": an hour's end as the tool's summary of missed hours gives it.
std::string HourEndText(int64_t errorMs);
// The same to the second, in the unit of playing times: "0:40:06 early", "0:00:41 late", or
// "on the hour" within half a second; and signed for a narrow cell: "-0:40:06", "+0:00:41",
// "0:00:00".
std::string HourEndWords(int64_t errorMs);
std::string HourEndClock(int64_t errorMs);

struct WeekRunReport {
    std::vector<std::string> playlists;        // written, in order
    std::vector<std::string> textLogs;         // one per day that built an hour
    std::vector<std::string> missingSessions;  // "Mon 07: /x/gone.cwt", hours passed over
    std::vector<HourEnd> hourEnds;             // of every hour built, in order
    // Hours ("Tue 07") passed over by the build's checks, left unwritten because they placed
    // nothing, or written short, in the order built.
    std::vector<ShortSession> shortHours;
};

// Builds `days` days from `from`, each hour with the session the grid names for it, without
// the build command's checks and repair, as the scheduler does. The playlist of an hour is
// the session's output file with the date and hour added (HourPlaylistPath), in the format of
// its extension. The day's text log, every hour's log one after the other, goes beside the
// day's first playlist as the grid's name with the date ("week_2026-12-09.txt").
//
// Songs played recently carry from hour to hour and day to day: one session model serves the
// whole run, and the builder's list of recent artists is never emptied between builds.
//
// An hour whose session file does not exist is passed over and named in the report; the rest
// is built. So is an hour whose session fails one of the build's checks; an hour that places
// nothing keeps the playlist it had. Before anything is built, every session is read (an error
// names the grid's line and the session) and every output folder must exist ("Cannot create
// file %s" naming the first playlist that could not go there), and a music library away stops
// the run as it stops a build ("The music folder /srv/music cannot be reached; nothing was
// changed."), so a wrong grid or a drive gone leaves nothing behind. What a build names for the
// user starts with its hour ("Tue 07: Hour ends 0:00:41 late (window 2 s)"). The plays of an hour go into the play history at the hour's own time, replacing the
// plays an earlier build of that hour left.
WeekRunReport BuildWeekDays(BuildContext& context, const WeekGrid& grid,
                            const std::string& gridPath, const CalendarDate& from, int days);

// "Hours off the hour: Mon 06 (+180.0 s), Tue 07 (-41.0 s)", the hours that ended outside the
// timing's window in the order built; empty when there is none.
std::string MissedHoursText(const std::vector<HourEnd>& ends);

// Whether a schedule entry is a week grid (".kwg", letter case ignored) rather than a session.
bool IsWeekGridFile(const std::string& path);

// The scheduler's run of a grid: the 24 hours of the day after the clock's today. Hours whose
// session is missing are named on the status line, one after the other; the hours passed over
// or short are in its report.
WeekRunReport BuildNextDayOfGrid(BuildContext& context, const std::string& gridPath);

}  // namespace kestrune
