#pragma once
// One song of a playlist as the output formats see it, and the settings that shape them.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace kestrune {

struct PlaylistEntry {
    std::string path;
    int32_t seconds = 0;  // playing time; 0 when unknown
    std::string artist;
    std::string title;
    std::string album;

    bool operator==(const PlaylistEntry&) const = default;
};

using PlaylistEntries = std::vector<PlaylistEntry>;
// What a build read of the songs it placed, by path.
using PlacedSongs = std::unordered_map<std::string, PlaylistEntry>;

// The [Output] section of kestrune.ini.
struct OutputOptions {
    bool extinf = false;  // `extinf=1`: #EXTINF lines in plain .m3u files too
};

}  // namespace kestrune
