#include "rules/PlaylistCheck.h"

namespace kestrune {

std::vector<std::string> PlaylistSongs(const LineList& lines, const std::string& playlistFolder,
                                       PathStyle style) {
    std::vector<std::string> songs;
    for (const std::string& line : lines) {
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        songs.push_back(ExpandFileName(line, playlistFolder, style));
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
