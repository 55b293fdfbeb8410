#pragma once
// The as-played log that the on-air script appends to ("Sessions/aired.txt"): for every item
// that starts on air a line "UTC-TIME start KIND FILE ARTIST TITLE PLAYLIST", and when it ends
// a line "UTC-TIME end SECONDS HOW FILE", the columns parted by tabs, "#" lines for people.
// Reading is pure and never throws: a line that is not of this form is counted and passed over,
// and so is a last line without its line end (the one a crash may have cut).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

inline constexpr const char* kAsPlayedLogFile = "aired.txt";

struct AiredItem {
    int64_t startMs = 0;  // UTC, milliseconds since 1970-01-01 00:00
    std::string kind;     // "plan" or "filler"
    std::string file;
    std::string artist;
    std::string title;
    std::string playlist;
    std::optional<int64_t> endMs;  // from its end line; nothing while on air or when lost
    std::string how;               // "ended", "faded" or "cut"; empty without an end line
    bool operator==(const AiredItem&) const = default;
};

struct AsPlayedLog {
    std::vector<AiredItem> items;  // in the order they started
    int unreadLines = 0;           // lines that were neither a start, an end nor a # line
};

// "2026-12-09T06:00:00.125Z" (the milliseconds may be left out) and back.
std::optional<int64_t> ParseUtcStamp(std::string_view text);
std::string FormatUtcStamp(int64_t ms);

// The items in the order they started, whatever the order of the lines; an end line closes the
// last item that started at or before it with the same file and has no end, within a day (an
// end further on is counted as unread).
AsPlayedLog ParseAsPlayedLog(std::string_view text);

// The log of the file ("Cannot open file %s"), read once while the file stays as it was (its
// size and time of change): a week's builds, each of which looks at what aired, read a year's
// log once, not once an hour.
const AsPlayedLog& ReadAsPlayedLog(const std::string& path);

}  // namespace kestrune
