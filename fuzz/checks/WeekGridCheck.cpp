// The week grid file on any bytes: a text that reads is written as the full 168 lines and reads
// back to the same grid, and each line that reads gives the cell it names. A text that does not
// read names a line that is there.

#include "FuzzChecks.h"
#include "Scratch.h"
#include "platform/LineList.h"
#include "sessions/WeekGrid.h"

namespace kestrune::fuzz {

std::string CheckWeekGridFile(std::string_view bytes) {
    std::string error;
    const std::optional<WeekGrid> grid = ParseWeekGrid(bytes, error);
    const LineList lines = ParseLines(bytes);
    if (!grid) {
        if (error.rfind("line ", 0) != 0) return Finding("error without its line", error);
        const size_t number = std::stoul(error.substr(5));
        if (number < 1 || number > lines.size()) return Finding("error names no line", error);
        return {};
    }
    // The plain model: each session line sets its cell, notes set nothing.
    size_t named = 0;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == '#') continue;
        if (line.size() > 7) ++named;
    }
    size_t cells = 0;
    for (const std::string& cell : grid->cells) cells += cell.empty() ? 0 : 1;
    if (cells > named) return Finding("more sessions than lines that name one");
    const std::string text = FormatWeekGrid(*grid);
    if (ParseLines(text).size() != 3 + 168) return Finding("written grid is not 168 hours");
    std::string again;
    const std::optional<WeekGrid> back = ParseWeekGrid(text, again);
    if (!back) return Finding("a written grid does not read", again);
    if (!(*back == *grid)) return Finding("grid changed through its file");
    return {};
}

}  // namespace kestrune::fuzz
