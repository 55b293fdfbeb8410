#include "sessions/WeekGrid.h"

#include <cstdio>

#include "platform/CalendarDate.h"
#include "platform/Digits.h"
#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "platform/Paths.h"

namespace kestrune {

namespace {

constexpr std::string_view kDayNames[kDaysInWeek] = {"Mon", "Tue", "Wed", "Thu",
                                                     "Fri", "Sat", "Sun"};

constexpr std::string_view kGridNotes =
    "# Kestrune week grid: one line per hour, DAY HOUR SESSION\r\n"
    "# DAY is Mon Tue Wed Thu Fri Sat Sun, HOUR 00 to 23 of the wall clock; an hour without a\r\n"
    "# session builds nothing. A session without a folder is looked up beside this file.\r\n";

int DayIndex(std::string_view name) {
    for (int day = 0; day < kDaysInWeek; ++day)
        if (CompareTextNoCase(name, kDayNames[day]) == 0) return day;
    return -1;
}

}  // namespace

std::string_view DayName(int day) {
    return kDayNames[day];
}

std::optional<WeekGrid> ParseWeekGrid(std::string_view text, std::string& error) {
    WeekGrid grid;
    std::array<bool, kDaysInWeek * kHoursInDay> given{};
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    const LineList lines = ParseLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == '#') continue;
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        // "Mon 07" or "Mon 07 session": day, one blank, hour, then one blank before the session.
        const std::string_view slot = std::string_view(line).substr(0, 6);
        const int day = DayIndex(slot.substr(0, 3));
        const std::optional<int> hour = FixedDigits(slot, 4, 2);
        if (slot.size() < 6 || slot[3] != ' ' || day < 0 || !hour || *hour >= kHoursInDay ||
            (line.size() > 6 && line[6] != ' ')) {
            error =
                where + "there is no hour \"" + line.substr(0, line.find(' ', 4)) + "\" in a week";
            return std::nullopt;
        }
        const int cell = day * kHoursInDay + *hour;
        if (given[cell]) {
            error = where + std::string(kDayNames[day]) + " " + std::string(slot.substr(4, 2)) +
                    " is given twice";
            return std::nullopt;
        }
        given[cell] = true;
        grid.lines[cell] = static_cast<int>(i + 1);
        grid.cells[cell] = line.size() > 7 ? line.substr(7) : std::string();
    }
    return grid;
}

std::string FormatWeekGrid(const WeekGrid& grid) {
    std::string text(kGridNotes);
    for (int day = 0; day < kDaysInWeek; ++day) {
        for (int hour = 0; hour < kHoursInDay; ++hour) {
            char slot[8];
            std::snprintf(slot, sizeof slot, " %02d", hour);
            text.append(kDayNames[day]).append(slot);
            const std::string& session = grid.At(day, hour);
            if (!session.empty()) text.append(" ").append(session);
            text.append("\r\n");
        }
    }
    return text;
}

WeekGrid LoadWeekGrid(const std::string& path) {
    std::string error;
    std::optional<WeekGrid> grid = ParseWeekGrid(ReadWholeFile(path), error);
    if (!grid) throw KestruneError(path + ", " + error);
    return *grid;
}

void SaveWeekGrid(const std::string& path, const WeekGrid& grid) {
    ReplaceWholeFile(path, FormatWeekGrid(grid));
}

std::string HourPlaylistPath(const std::string& outputFile, const CalendarDate& date, int hour) {
    const std::string name = ExtractFileName(outputFile);
    const size_t dot = name.rfind('.');
    const size_t stemEnd = (dot == std::string::npos || dot == 0)
                               ? outputFile.size()
                               : outputFile.size() - (name.size() - dot);
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "_%s_%02d", DateText(date).c_str(), hour);
    return outputFile.substr(0, stemEnd) + suffix + outputFile.substr(stemEnd);
}

std::string SessionPathInGrid(const std::string& session, const std::string& gridPath) {
    if (ExtractFileName(session) != session) return session;
    return ExtractFilePath(gridPath) + session;
}

}  // namespace kestrune
