// The builder's entry: one walk a build, and the texts its callers share.

#include "building/PlaylistBuilder.h"

#include <algorithm>

#include "building/PlaylistWalk.h"
#include "platform/TimeTexts.h"

namespace kestrune {

const char* const kBuildCannotProgress =
    "The playlist cannot be completed: a whole pass through the clock template placed no "
    "playing time (every top song is missing, empty or has no playing time).";

std::string GeneratedLine(const LocalDateTime& now) {
    return "Playlist generated " + std::to_string(now.month) + "/" + std::to_string(now.day) + "/" +
           std::to_string(now.year) + "  " + std::to_string(now.hour) + ":" +
           std::to_string(now.minute);
}

bool ArtistInList(const std::string& artist, const LineList& list) {
    return std::find(list.begin(), list.end(), artist) != list.end();
}

BuildOutcome BuildPlaylist(BuildContext& context) {
    PlaylistWalk walk(context);
    return walk.Run();
}

std::string ShortfallText(const BuildOutcome& outcome) {
    const int32_t missing = std::max(0, outcome.desiredSeconds - outcome.placedSeconds);
    return "The playlist is " + PlayingTimeText(missing) + " short of the desired " +
           PlayingTimeText(outcome.desiredSeconds) + ".";
}

}  // namespace kestrune
