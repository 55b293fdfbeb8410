#pragma once
// The play history follows the air. The separation rules must hold against what listeners
// heard, not against a plan the air left behind (the rest of a long hour, an item taken out by
// hand, a filler): so for every hour the as-played log covers, the plays the history planned in
// it give way to the plays that aired, at their real start and for as long as they aired. Hours
// the log does not reach keep their planned plays. The history keeps its form; nothing here
// writes a file, and the text function is pure.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "onair/AsPlayedLog.h"
#include "rules/PlayHistoryFile.h"
#include "rules/RuleSettings.h"
#include "rules/SeparationRules.h"

namespace kestrune {

class SongFactsCache;

struct AiredPlaysLookup {
    // A UTC moment in milliseconds as seconds of the local calendar, the history's time.
    std::function<int64_t(int64_t)> calendarSeconds;
    // A file's tags and playing time; nothing for a file that is no longer there (the log's own
    // artist and title stand in).
    std::function<std::optional<SongFacts>(const std::string&)> facts;
    // A list whose songs are never counted (jingles, spots): a filler from it stays out.
    std::function<bool(const std::string&)> exemptList;
};

// The history lines with the aired plays in place of the planned ones, in time order. An hour is
// covered when an item started in it. A covered hour that the log has passed (its last item
// ended after the hour) loses all its planned plays; the hour under way loses only the planned
// plays of the files that aired in it, the rest may yet air. An aired item of a plan counts when
// the history knows its file (an item it never counted is a jingle or a spot of an exempt
// category); a filler counts unless its list is exempt. Items that started before `since`
// (calendar seconds: older than any rule looks back) are passed over. Lines that are no play
// stay where they are.
std::vector<HistoryLine> HistoryAsAired(std::vector<HistoryLine> lines,
                                        const std::vector<AiredItem>& aired, int64_t since,
                                        const AiredPlaysLookup& lookup);

// The same from the as-played log beside the history in the sessions folder (none: the lines
// as they are), tags through the facts cache, in the system's time zone. A log that cannot be
// read is named through `report` and changes nothing.
std::vector<HistoryLine> HistoryFollowingAir(std::vector<HistoryLine> lines,
                                             const std::string& sessionsFolder, int64_t since,
                                             const RuleSettings& settings, SongFactsCache& facts,
                                             const std::function<void(const std::string&)>& report);

}  // namespace kestrune
