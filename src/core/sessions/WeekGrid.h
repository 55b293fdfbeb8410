#pragma once
// The week grid: which session to build for each of the 168 hours of a week, kept in a text
// file (".kwg") that people can read and edit by hand:
//
//   # Kestrune week grid
//   Mon 00 overnight.cwt
//   Mon 07 /home/radio/Kestrune/Sessions/morning show.cwt
//   Mon 08
//
// One line per hour: the day (Mon Tue Wed Thu Fri Sat Sun), the hour of the clock (00..23) and,
// after one blank, the session file (a name without a folder is looked up beside the grid).
// An hour without a session, or without a line, builds nothing. Lines that are empty or begin
// with "#" are notes. Line ends CR LF, LF or CR.
//
// Hours are hours of the wall clock, as a playout that picks "the current hour's playlist"
// sees them. When the clock skips an hour (summer time begins) that hour's playlist is built
// all the same and never played; when it repeats one (summer time ends) the playout plays that
// hour's playlist twice. Every day therefore has the same 24 playlists.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CalendarDate.h"

namespace kestrune {

inline constexpr int kDaysInWeek = 7;
inline constexpr int kHoursInDay = 24;

// "Mon" .. "Sun"; day 0 is Monday.
std::string_view DayName(int day);

struct WeekGrid {
    std::array<std::string, kDaysInWeek * kHoursInDay> cells;  // Monday 00 first
    std::array<int, kDaysInWeek * kHoursInDay> lines{};  // the file's line of each; 0: none read

    const std::string& At(int day, int hour) const { return cells[day * kHoursInDay + hour]; }
    int LineOf(int day, int hour) const { return lines[day * kHoursInDay + hour]; }
    void Set(int day, int hour, std::string session) {
        cells[day * kHoursInDay + hour] = std::move(session);
    }
    // Two grids are the same when they build the same sessions, wherever their lines stand.
    bool operator==(const WeekGrid& other) const { return cells == other.cells; }
};

// The grid of a file's text, or nothing with `error` telling the first wrong line:
// "line 3: there is no hour "Mon 24" in a week", "line 9: Tue 07 is given twice".
std::optional<WeekGrid> ParseWeekGrid(std::string_view text, std::string& error);
// The text of the file: the notes above, then all 168 lines in order.
std::string FormatWeekGrid(const WeekGrid& grid);

// Reads the file ("Cannot open file %s", or its first wrong line) and writes it atomically.
WeekGrid LoadWeekGrid(const std::string& path);
void SaveWeekGrid(const std::string& path, const WeekGrid& grid);

// The playlist of one hour: the session's output file with "_2026-12-09_07" before its
// extension ("/x/morning.m3u8" gives "/x/morning_2026-12-09_07.m3u8").
std::string HourPlaylistPath(const std::string& outputFile, const CalendarDate& date, int hour);

// A session named in a grid as a path: names without a folder are beside the grid.
std::string SessionPathInGrid(const std::string& session, const std::string& gridPath);

}  // namespace kestrune
