#include "onair/AsPlayedLog.h"

#include <cstdio>

#include "platform/CalendarDate.h"

namespace kestrune {

namespace {

constexpr int64_t kDayMs = 86400 * 1000;

std::optional<int> Digits(std::string_view text, size_t from, size_t width) {
    if (from + width > text.size()) return std::nullopt;
    int value = 0;
    for (size_t i = from; i < from + width; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

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
    const auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    const auto hour = Digits(text, 11, 2), minute = Digits(text, 14, 2);
    const auto second = Digits(text, 17, 2);
    std::optional<int> ms = 0;
    if (text.size() == 24) ms = text[19] == '.' ? Digits(text, 20, 3) : std::nullopt;
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

AsPlayedLog ParseAsPlayedLog(std::string_view text) {
    AsPlayedLog log;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            ++log.unreadLines;  // cut short: the line being written when the writer stopped
            break;
        }
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string_view> fields = Fields(line);
        const std::optional<int64_t> at = ParseUtcStamp(fields[0]);
        if (at && fields.size() == 7 && fields[1] == "start" && !fields[3].empty()) {
            log.items.push_back({*at, std::string(fields[2]), std::string(fields[3]),
                                 std::string(fields[4]), std::string(fields[5]),
                                 std::string(fields[6]), std::nullopt, std::string()});
            continue;
        }
        if (at && fields.size() == 5 && fields[1] == "end" && IsHow(fields[3])) {
            bool closed = false;
            for (auto item = log.items.rbegin(); item != log.items.rend(); ++item) {
                if (item->endMs || item->file != fields[4] || item->startMs > *at) continue;
                item->endMs = *at;
                item->how = std::string(fields[3]);
                closed = true;
                break;
            }
            if (closed) continue;
        }
        ++log.unreadLines;
    }
    return log;
}

}  // namespace kestrune
