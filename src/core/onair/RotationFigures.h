#pragma once
// How the rotation went over a span of days, from the plays of the history: for each category
// its songs, plays, the hours a round takes, how evenly its songs played, how many hours of the
// day a song reached before it came back to one, the plays in the same hour as the day before,
// and how often each rule held. Pure: the plays and the categories' files are handed in, each
// file in one spelling.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/CalendarDate.h"
#include "rules/PlayHistoryFile.h"
#include "rules/SeparationRules.h"

namespace kestrune {

// What a category playlist holds, for the figures.
struct RotationCategory {
    std::string name;                // shown: the playlist's file name
    std::vector<std::string> songs;  // its files, each once
    bool exempt = false;             // never checked nor counted: its plays are not recorded
};

// The name under which plays of files no category lists are counted.
inline constexpr const char* kNoCategoryName = "(not in a category)";

struct CategoryRotation {
    std::string name;
    bool exempt = false;
    bool listed = true;  // false for the plays of no category
    int songs = 0;       // listed: the category's songs; otherwise the files that played
    int plays = 0;
    // Songs / (plays per hour with plays): the hours a round of the category takes. None
    // without plays.
    std::optional<double> turnoverHours;
    // Over the category's songs, those never played counted as 0.
    int minPlays = 0;
    double medianPlays = 0;
    int maxPlays = 0;
    int neverPlayed = 0;
    // Distinct hours of the day (0-23) a song played in before it first played in one again;
    // mean and least over the songs that played. None when no song played.
    std::optional<double> meanExposure;
    int minExposure = 0;
    // Plays of a song in the same hour of the day as a play of it on the day before.
    int sameHourRepeats = 0;
    // Each song's plays and hour exposure, in the category's order (the chart's bars).
    std::vector<int> playsPerSong;
    std::vector<int> exposurePerSong;
};

struct RulePassRate {
    Rule rule = Rule::Artist;
    int kept = 0;
    int broken = 0;
};

struct RotationFigures {
    CalendarDate from;
    CalendarDate to;  // the last day, included
    int spanHours = 0;
    // The hours of the span with a play: the figures are per hour on air, so that hours the
    // history no longer holds (or never built) do not thin them out.
    int hours = 0;
    int plays = 0;  // every play of the span
    // The categories in the order given; the plays of no category last, when there are any.
    std::vector<CategoryRotation> categories;
    // The rules that are on, in their order; plays of the counted categories only.
    std::vector<RulePassRate> rules;
};

// The figures of the days from `from` to `to` (both included). `plays` may start before the span
// (the rules look back at them) and come in any order. A file listed in two categories counts in
// the first. Genre is left out of the rules: the history does not know a play's genre.
RotationFigures ComputeRotation(const std::vector<RotationCategory>& categories,
                                std::vector<PlayedSong> plays, const CalendarDate& from,
                                const CalendarDate& to, const RuleSet& rules);

// "artist", "title", "album", "performance complement", "genre", "fresh hours".
std::string RuleName(Rule rule);

}  // namespace kestrune
