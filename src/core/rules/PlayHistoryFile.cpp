#include "rules/PlayHistoryFile.h"

#include <cstdio>

#include <algorithm>

#include "platform/CalendarDate.h"
#include "platform/Digits.h"
#include "platform/Files.h"
#include "platform/LineList.h"
#include "platform/Paths.h"
#include "tags/TagText.h"

namespace kestrune {

namespace {

constexpr int64_t kDay = 86400;
// How far ahead of a build the plays it follows may begin: builds made for later today (a day of
// hours at midnight) follow on, a line dated years ahead does not.
constexpr int64_t kChainGap = kDay;

void CivilFromDays(int64_t z, int64_t& y, int& m, int& d) {
    const CalendarDate date = kestrune::CivilFromDays(z);
    y = date.year;
    m = date.month;
    d = date.day;
}

std::string Cleaned(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n' || c == '\0') c = ' ';
    return text;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t from = 0;
    while (true) {
        const size_t tab = line.find('\t', from);
        fields.push_back(
            line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
        if (tab == std::string::npos) return fields;
        from = tab + 1;
    }
}

}  // namespace

int64_t CalendarSeconds(const LocalDateTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * kDay + t.hour * 3600 + t.minute * 60 + t.second;
}

std::string CalendarText(int64_t seconds) {
    int64_t days = seconds / kDay;
    int64_t rest = seconds % kDay;
    if (rest < 0) {
        rest += kDay;
        --days;
    }
    int64_t y = 0;
    int m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(y),
                  m, d, static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60),
                  static_cast<int>(rest % 60));
    return text;
}

std::optional<int64_t> ParseCalendarText(const std::string& text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const auto y = FixedDigits(text, 0, 4), mo = FixedDigits(text, 5, 2);
    const auto d = FixedDigits(text, 8, 2), h = FixedDigits(text, 11, 2);
    const auto mi = FixedDigits(text, 14, 2), s = FixedDigits(text, 17, 2);
    if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
    if (*mo < 1 || *mo > 12 || *d < 1 || *d > DaysInMonth(*y, *mo) || *h > 23 || *mi > 59 ||
        *s > 59)
        return std::nullopt;
    return DaysFromCivil(*y, *mo, *d) * kDay + *h * 3600 + *mi * 60 + *s;
}

std::string FormatPlayedSong(const PlayedSong& song) {
    return CalendarText(song.start) + '\t' + std::to_string(song.seconds) + '\t' +
           Cleaned(song.artist) + '\t' + Cleaned(song.title) + '\t' + Cleaned(song.album) + '\t' +
           Cleaned(song.file);
}

std::optional<PlayedSong> ParsePlayedSong(const std::string& line) {
    const std::vector<std::string> fields = Fields(line);
    if (fields.size() != 6) return std::nullopt;
    const auto start = ParseCalendarText(fields[0]);
    const std::string& seconds = fields[1];
    // One way to write each number, so that a line reads back as it was written.
    if (!start || (seconds.size() > 1 && seconds[0] == '0')) return std::nullopt;
    const auto value = WholeNumber(seconds, 999'999'999);
    if (!value) return std::nullopt;
    return PlayedSong{*start,   static_cast<int32_t>(*value), fields[2], fields[3], fields[4],
                      fields[5]};
}

std::vector<PlayedSong> ParsePlayHistory(const std::string& text) {
    std::vector<PlayedSong> songs;
    for (const std::string& line : ParseLines(text))
        if (auto song = ParsePlayedSong(line)) songs.push_back(std::move(*song));
    return songs;
}

std::string FormatPlayHistory(const std::vector<PlayedSong>& songs) {
    LineList lines;
    lines.reserve(songs.size());
    for (const PlayedSong& song : songs) lines.push_back(FormatPlayedSong(song));
    return FormatLines(lines);
}

std::string WithPlayedSong(std::string text, const PlayedSong& song) {
    return WithLineAdded(std::move(text), FormatPlayedSong(song));
}

std::vector<PlayedSong> RecentPlays(std::vector<PlayedSong> songs, int64_t now, int64_t keep) {
    std::erase_if(songs, [&](const PlayedSong& song) { return now - song.start > keep; });
    return songs;
}

std::optional<int64_t> EndOfHistory(const std::vector<PlayedSong>& songs) {
    std::optional<int64_t> end;
    for (const PlayedSong& song : songs)
        if (!end || song.start + song.seconds > *end) end = song.start + song.seconds;
    return end;
}

int64_t ChainedStart(std::vector<PlayedSong> songs, int64_t now) {
    std::sort(songs.begin(), songs.end(),
              [](const PlayedSong& a, const PlayedSong& b) { return a.start < b.start; });
    int64_t start = now;
    for (const PlayedSong& song : songs) {
        if (song.start > start + kChainGap) break;
        start = std::max(start, song.start + song.seconds);
    }
    return start;
}

std::vector<HistoryLine> ReadHistoryLines(std::string_view text) {
    std::vector<HistoryLine> lines;
    for (std::string& line : ParseLines(text)) {
        std::optional<PlayedSong> song = ParsePlayedSong(line);
        lines.push_back({std::move(song), std::move(line)});
    }
    return lines;
}

std::string FormatHistoryLines(const std::vector<HistoryLine>& lines) {
    LineList texts;
    texts.reserve(lines.size());
    for (const HistoryLine& line : lines)
        texts.push_back(line.song ? FormatPlayedSong(*line.song) : line.text);
    return FormatLines(texts);
}

std::string UnreadHistoryLineText(const std::string& path, size_t number,
                                  const std::string& line) {
    return "Line " + std::to_string(number) + " of " + path +
           " is not a play and is kept as it is: " + CleanText(line);
}

PlayedSong PlayOf(int64_t start, int32_t seconds, const std::string& artist,
                  const std::string& title, const std::string& album, const std::string& file) {
    std::string cleanFile = file;
    for (char& c : cleanFile)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return PlayedSong{start, seconds, CleanText(artist), CleanText(title), CleanText(album),
                      std::move(cleanFile)};
}

std::string PlayHistoryPath(const std::string& sessionsFolder) {
    return JoinPath(sessionsFolder, kPlayHistoryFile);
}

std::vector<PlayedSong> LoadPlayHistory(const std::string& path) {
    if (!FileExists(path)) return {};
    return ParsePlayHistory(ReadWholeFile(path));
}

SongFacts FactsOf(const PlayedSong& song) {
    return SongFacts{song.seconds, song.artist, song.title, song.album, std::string()};
}

}  // namespace kestrune
