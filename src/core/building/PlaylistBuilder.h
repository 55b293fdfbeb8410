#pragma once
// Fills the final playlist from the clock template until the desired playing time is reached.
// The master playlist files on disk are the working storage: each is shuffled at the start and
// every song taken is rotated to the end of its file, which is written back at once.

#include <cstddef>
#include <string>

#include "building/BuildContext.h"

namespace kestrune {

// The status shown when a whole pass through the template placed no playing time.
extern const char* const kBuildCannotProgress;

// What a build came to. A build that ends short of the desired length (it could not progress,
// or had nothing to build from) says so here: callers never read the status text for it.
struct BuildOutcome {
    bool reachedLength = true;
    int32_t placedSeconds = 0;   // the playing time this build placed
    int32_t desiredSeconds = 0;  // the desired length, minutes x 60
    std::string status;          // the last status the build showed, if any
    // How far the end is from the desired length, joins taken off: above 0 late, below 0
    // early; and whether that is within the timing's tolerance.
    int64_t endErrorMs = 0;
    bool onTime = true;
};

BuildOutcome BuildPlaylist(BuildContext& context);

// The lines a build's text log begins with: the "Playlist generated" line, the column heading
// and the dotted divider between blank lines.
inline constexpr size_t kBuildLogHeaderLines = 5;

// "The playlist is H:MM:SS short of the desired H:MM:SS."
std::string ShortfallText(const BuildOutcome& outcome);

// Texts of the text log.
std::string GeneratedLine(const LocalDateTime& now);

bool ArtistInList(const std::string& artist, const LineList& list);

}  // namespace kestrune
