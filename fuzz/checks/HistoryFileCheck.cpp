// The play history's text forms on any bytes: every line that reads as a song formats back to
// itself, the songs read from a text come back the same after formatting, and a song added to
// the text is the last one read.

#include "FuzzChecks.h"
#include "Scratch.h"
#include "platform/LineList.h"
#include "rules/PlayHistoryFile.h"

namespace kestrune::fuzz {

std::string CheckHistoryFile(std::string_view bytes) {
    const std::string text(bytes);
    const std::vector<PlayedSong> songs = ParsePlayHistory(text);
    for (const std::string& line : ParseLines(text)) {
        const auto song = ParsePlayedSong(line);
        if (song && FormatPlayedSong(*song) != line)
            return Finding("a line read as a song formats otherwise", line);
    }
    const std::string formatted = FormatPlayHistory(songs);
    if (ParsePlayHistory(formatted) != songs) return Finding("the songs change when formatted");
    if (!songs.empty()) {
        const std::string added = WithPlayedSong(text, songs.front());
        const std::vector<PlayedSong> after = ParsePlayHistory(added);
        if (after.empty() || after.back() != songs.front())
            return Finding("the added song is not the last one read");
        const auto end = EndOfHistory(songs);
        if (!end || RecentPlays(songs, *end, INT64_MAX / 4).size() != songs.size())
            return Finding("a song of the history started after its end");
    }
    return {};
}

}  // namespace kestrune::fuzz
