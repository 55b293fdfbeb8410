#pragma once
// The rules over a finished playlist, ours or another program's: each song checked against the
// songs before it, as if the playlist were being built in its order.

#include <string>
#include <vector>

#include "platform/LineList.h"
#include "platform/Paths.h"
#include "rules/SeparationRules.h"
#include "rules/SongFactsCache.h"

namespace kestrune {

// The songs of an M3U playlist's lines: comments ("#EXTM3U", "#EXTINF:...") and blank lines
// left out, a relative path taken from the playlist's folder.
std::vector<std::string> PlaylistSongs(const LineList& lines, const std::string& playlistFolder,
                                       PathStyle style = kNativePathStyle);

struct PlaylistCheck {
    size_t songs = 0;
    int64_t seconds = 0;
    std::vector<std::string> breaks;  // PlacedBreakLine of each, in order
};

PlaylistCheck CheckPlaylist(const std::vector<std::string>& songs, const RuleSet& rules,
                            SongFactsCache& facts);

}  // namespace kestrune
