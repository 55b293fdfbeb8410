#include "onair/AsPlayedLog.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "platform/CalendarDate.h"
#include "platform/Digits.h"
#include "platform/Files.h"
#include "platform/LineList.h"

namespace kestrune {

namespace {

constexpr int64_t kDayMs = 86400 * 1000;
// No item of a station airs longer than a day; an end further from its start is no end of it.
constexpr int64_t kLongestItemMs = kDayMs;

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (true) {
        const size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

bool IsHow(std::string_view how) { return how == "ended" || how == "faded" || how == "cut"; }

}  // namespace

std::optional<int64_t> ParseUtcStamp(std::string_view text) {
    // 2026-12-09T06:00:00Z or 2026-12-09T06:00:00.125Z
    if (text.size() != 20 && text.size() != 24) return std::nullopt;
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text.back() != 'Z')
        return std::nullopt;
    const auto year = FixedDigits(text, 0, 4), month = FixedDigits(text, 5, 2);
    const auto day = FixedDigits(text, 8, 2), hour = FixedDigits(text, 11, 2);
    const auto minute = FixedDigits(text, 14, 2), second = FixedDigits(text, 17, 2);
    std::optional<int> ms = 0;
    if (text.size() == 24) ms = text[19] == '.' ? FixedDigits(text, 20, 3) : std::nullopt;
    if (!year || !month || !day || !hour || !minute || !second || !ms) return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    const int64_t days = DaysFromCivil(*year, *month, *day);
    // 31 February and its like: the day must come back as it was written.
    const CalendarDate back = CivilFromDays(days);
    if (back.month != *month || back.day != *day) return std::nullopt;
    return days * kDayMs + ((*hour * 60 + *minute) * 60 + *second) * int64_t{1000} + *ms;
}

std::string FormatUtcStamp(int64_t ms) {
    const int64_t days = ms >= 0 ? ms / kDayMs : (ms - kDayMs + 1) / kDayMs;
    const int64_t inDay = ms - days * kDayMs;
    const CalendarDate date = CivilFromDays(days);
    char text[80];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02lld:%02lld:%02lld.%03lldZ",
                  static_cast<long long>(date.year), date.month, date.day,
                  static_cast<long long>(inDay / 3600000),
                  static_cast<long long>(inDay / 60000 % 60),
                  static_cast<long long>(inDay / 1000 % 60), static_cast<long long>(inDay % 1000));
    return text;
}

const AsPlayedLog& ReadAsPlayedLog(const std::string& path) {
    struct Read {
        std::string path;
        uintmax_t size = 0;
        std::filesystem::file_time_type changed;
        AsPlayedLog log;
    };
    static Read last;
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    const std::filesystem::file_time_type changed =
        error ? std::filesystem::file_time_type() : std::filesystem::last_write_time(path, error);
    if (!error && !last.path.empty() && last.path == path && last.size == size &&
        last.changed == changed)
        return last.log;
    AsPlayedLog log = ParseAsPlayedLog(ReadWholeFile(path));
    last = Read{error ? std::string() : path, size, changed, std::move(log)};
    return last.log;
}

AsPlayedLog ParseAsPlayedLog(std::string_view text) {
    AsPlayedLog log;
    // Lines may come in any order (a log turned round, two merged, a clock stepped back): the
    // starts and the ends are read first and put in time order, then each end closes the last
    // open start of its file, so the cost grows as n log n whatever the order.
    struct End {
        int64_t at = 0;
        std::string_view file;
        std::string_view how;
        size_t line = 0;  // in the file, for a stable order of equal times
    };
    std::vector<End> ends;
    std::vector<size_t> startLine;
    // A last line without its end is the one being written when the writer stopped: not read.
    const std::string_view finished = FinishedLines(text);
    if (finished.size() < text.size()) ++log.unreadLines;
    size_t lineNumber = 0;
    ForEachLine(finished, [&](std::string_view line) {
        ++lineNumber;
        if (line.empty() || line.front() == '#') return;
        const std::vector<std::string_view> fields = Fields(line);
        const std::optional<int64_t> at = ParseUtcStamp(fields[0]);
        if (at && fields.size() == 7 && fields[1] == "start" && !fields[3].empty()) {
            log.items.push_back({*at, std::string(fields[2]), std::string(fields[3]),
                                 std::string(fields[4]), std::string(fields[5]),
                                 std::string(fields[6]), std::nullopt, std::string()});
            startLine.push_back(lineNumber);
        } else if (at && fields.size() == 5 && fields[1] == "end" && IsHow(fields[3])) {
            ends.push_back({*at, fields[4], fields[3], lineNumber});
        } else {
            ++log.unreadLines;
        }
    });
    // Starts in time order, lines of one time in the file's order.
    std::vector<size_t> order(log.items.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return log.items[a].startMs < log.items[b].startMs;
    });
    std::vector<AiredItem> items;
    items.reserve(order.size());
    for (const size_t i : order) items.push_back(std::move(log.items[i]));
    log.items = std::move(items);
    std::stable_sort(ends.begin(), ends.end(),
                     [](const End& a, const End& b) { return a.at < b.at; });
    // Walk both in time order. An end closes what started before it: at one time, the ends
    // come first (a jingle that follows itself ends and starts in one millisecond); an end that
    // then finds nothing open closes a start of its own time (an item that lasted nothing).
    std::unordered_map<std::string_view, std::vector<size_t>> open;
    size_t next = 0;
    for (const End& end : ends) {
        for (; next < log.items.size() && log.items[next].startMs < end.at; ++next)
            open[log.items[next].file].push_back(next);
        const auto opened = open.find(end.file);
        if (opened == open.end() || opened->second.empty()) {
            for (; next < log.items.size() && log.items[next].startMs == end.at; ++next)
                open[log.items[next].file].push_back(next);
        }
        const auto found = open.find(end.file);
        // No start before it, or one so long before that it cannot be its end (a date decades
        // on would make a length no play has): not read.
        if (found == open.end() || found->second.empty() ||
            end.at - log.items[found->second.back()].startMs > kLongestItemMs) {
            ++log.unreadLines;
            continue;
        }
        AiredItem& item = log.items[found->second.back()];
        found->second.pop_back();
        item.endMs = end.at;
        item.how = std::string(end.how);
    }
    return log;
}

}  // namespace kestrune
