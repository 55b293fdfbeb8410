#include "rules/PlaylistCheck.h"

namespace kestrune {

std::vector<std::string> PlaylistSongs(const LineList& lines, const std::string& playlistFolder,
                                       PathStyle style) {
    std::vector<std::string> songs;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        // A UTF-8 byte-order mark before the first line ("#EXTM3U" as editors save it).
        if (i == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        songs.push_back(ExpandFileName(std::string(line), playlistFolder, style));
    }
    return songs;
}

PlaylistCheck CheckPlaylist(const std::vector<std::string>& songs, const RuleSet& rules,
                            SongFactsCache& facts) {
    PlaylistCheck check;
    PlayHistory history(rules.matching);
    for (const std::string& path : songs) {
        const SongFacts& song = facts.Get(path);
        ++check.songs;
        if (const auto brk = FirstBreak(rules, history, song, check.seconds))
            check.breaks.push_back(
                PlacedBreakLine(static_cast<long long>(check.songs), check.seconds, *brk));
        history.Add(song, check.seconds);
        check.seconds += song.seconds;
    }
    return check;
}

}  // namespace kestrune
