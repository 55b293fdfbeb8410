#pragma once
// The recent songs kept between runs: "play_history.txt" in the sessions folder, one line per
// placed song, fields parted by a tab: the planned start ("2026-12-08 04:03:10", local time),
// the playing time in seconds, the artist, the title, the album and the file. Written as songs
// are placed, read at the next build. The text forms are pure; the file goes through the
// line-list and whole-file writers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "rules/SeparationRules.h"

namespace kestrune {

inline constexpr const char* kPlayHistoryFile = "play_history.txt";

struct PlayedSong {
    int64_t start = 0;  // seconds on the local calendar (see CalendarSeconds)
    int32_t seconds = 0;
    std::string artist;
    std::string title;
    std::string album;
    std::string file;
    bool operator==(const PlayedSong&) const = default;
};

// A local date and time as seconds since 1970-01-01 00:00 of the same calendar (no time zone:
// the history compares planned times of one station with each other), and back.
int64_t CalendarSeconds(const LocalDateTime& time);
std::string CalendarText(int64_t seconds);
std::optional<int64_t> ParseCalendarText(const std::string& text);

// One line (tabs, CR and LF inside a field become blanks) and its reading. A line that is not
// of this form answers nothing.
std::string FormatPlayedSong(const PlayedSong& song);
std::optional<PlayedSong> ParsePlayedSong(const std::string& line);

// Every line of a history file's text that reads as a song; other lines are passed over.
std::vector<PlayedSong> ParsePlayHistory(const std::string& text);
std::string FormatPlayHistory(const std::vector<PlayedSong>& songs);
// The text with one more song at its end (what formatting the list with the song added gives).
std::string WithPlayedSong(std::string text, const PlayedSong& song);

// The songs that still count at `now`: those that started within `keep` seconds before it.
std::vector<PlayedSong> RecentPlays(std::vector<PlayedSong> songs, int64_t now, int64_t keep);

// The start after the last song, or nothing for none.
std::optional<int64_t> EndOfHistory(const std::vector<PlayedSong>& songs);

// A play as the history records it: tag texts cleaned as the playlist writers clean them (no
// line break, ESC or other control character), the file name with every control character made
// a blank and its other bytes kept.
PlayedSong PlayOf(int64_t start, int32_t seconds, const std::string& artist,
                  const std::string& title, const std::string& album, const std::string& file);

// Where a build made at `now` starts: after the plays that run on from it, one after the other
// (a day of hours built at midnight follows on in planned time), or at `now`. Plays that begin
// more than a day after the chain reaches (a line dated years ahead) move nothing.
int64_t ChainedStart(std::vector<PlayedSong> songs, int64_t now);

// A line of a history file as read: its song, or nothing for a line that does not read as one,
// which is kept as it stands.
struct HistoryLine {
    std::optional<PlayedSong> song;
    std::string text;
};
std::vector<HistoryLine> ReadHistoryLines(std::string_view text);
std::string FormatHistoryLines(const std::vector<HistoryLine>& lines);
// "Line 3 of /st/play_history.txt is not a play and is kept as it is: LINE".
std::string UnreadHistoryLineText(const std::string& path, size_t number, const std::string& line);

// The file in a sessions folder; reading a missing file gives no songs ("Cannot open file %s"
// for one that cannot be read).
std::string PlayHistoryPath(const std::string& sessionsFolder);
std::vector<PlayedSong> LoadPlayHistory(const std::string& path);

SongFacts FactsOf(const PlayedSong& song);

}  // namespace kestrune
