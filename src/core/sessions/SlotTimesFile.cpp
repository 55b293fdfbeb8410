#include "sessions/SlotTimesFile.h"

#include <filesystem>
#include <map>

#include "platform/Digits.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "platform/ShownText.h"

namespace kestrune {

namespace {

// How much of a line a problem shows: enough to find it, never a 100 MB line whole.
constexpr size_t kShownLine = 120;

std::vector<std::string_view> Columns(std::string_view line) {
    std::vector<std::string_view> columns;
    for (size_t at = 0;;) {
        const size_t tab = line.find('\t', at);
        columns.push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
        if (tab == std::string_view::npos) return columns;
        at = tab + 1;
    }
}

// A whole number of seconds, 0 .. 3600, in four digits at most.
std::optional<int32_t> WindowSeconds(std::string_view text) {
    if (text.size() > 4) return std::nullopt;
    const std::optional<int64_t> value = WholeNumber(text, 3600);
    if (!value) return std::nullopt;
    return static_cast<int32_t>(*value);
}

}  // namespace

std::string SlotTimesPath(const std::string& sessionPath) { return sessionPath + ".times"; }

LineList SlotTimesLines(const std::string& sessionName, const LineList& slots,
                        const SlotTimes& times) {
    LineList lines;
    lines.push_back("# Timed slots of " + sessionName +
                    ": SLOT, TIME, KIND, WINDOW (seconds), PLAYLIST; tabs between.");
    for (const auto& [slot, time] : times.BySlot()) {
        if (slot >= slots.size()) continue;
        lines.push_back(std::to_string(slot + 1) + "\t" + HourMarkText(time.second) + "\t" +
                        SlotTimeKindName(time.kind) + "\t" + std::to_string(time.windowSeconds) +
                        "\t" + slots[slot]);
    }
    return lines;
}

SlotTimesRead ParseSlotTimesLines(const LineList& lines, const LineList& slots) {
    SlotTimesRead read;
    std::map<size_t, size_t> timedOn;  // slot -> the line that timed it
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (line.empty() || line[0] == '#') continue;
        const std::string where = "line " + std::to_string(n + 1) + ": ";
        if (line.find('\0') != std::string::npos) {
            read.problems.push_back(where + "holds a NUL byte, which no line of timed slots can");
            continue;
        }
        const std::vector<std::string_view> columns = Columns(line);
        if (columns.size() != 5) {
            read.problems.push_back(where + "not SLOT, TIME, KIND, WINDOW and PLAYLIST");
            continue;
        }
        const std::optional<int32_t> second = ParseHourMark(columns[1]);
        const std::optional<SlotTimeKind> kind = ParseSlotTimeKind(columns[2]);
        const std::optional<int32_t> window = WindowSeconds(columns[3]);
        // Six digits at most.
        const std::optional<int64_t> numbered =
            columns[0].size() <= 6 ? WholeNumber(columns[0]) : std::nullopt;
        const size_t slot = static_cast<size_t>(numbered.value_or(0));
        if (slot == 0 || !second || !kind || !window) {
            read.problems.push_back(where + "\"" + ShownText(line, kShownLine) +
                                    "\" is not a timed slot");
            continue;
        }
        if (slot > slots.size() || slots[slot - 1] != columns[4]) {
            read.problems.push_back(where + "slot " + std::to_string(slot) + " is no longer " +
                                    ShownText(columns[4], kShownLine) + "; its time was left out");
            continue;
        }
        if (const auto earlier = timedOn.find(slot); earlier != timedOn.end())
            read.problems.push_back(where + "slot " + std::to_string(slot) +
                                    " was timed on line " + std::to_string(earlier->second) +
                                    " too; this line's time is taken");
        timedOn[slot] = n + 1;
        read.times.Set(slot - 1, SlotTime{*second, *kind, *window});
    }
    return read;
}

void SaveSlotTimes(const std::string& sessionPath, const LineList& slots, const SlotTimes& times) {
    const std::string path = SlotTimesPath(sessionPath);
    if (times.Empty()) {
        // A file left from an earlier save would time slots that are no longer timed.
        if (FileExists(path) && !RemoveFile(path)) throw errors::CannotCreateFile(path);
        return;
    }
    SaveList(path, SlotTimesLines(ExtractFileName(sessionPath), slots, times));
}

SlotTimesRead LoadSlotTimes(const std::string& sessionPath, const LineList& slots) {
    const std::string path = SlotTimesPath(sessionPath);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
    if (error || !std::filesystem::exists(status)) return {};
    if (!FileExists(path)) {
        // Something is there, but no file of times: the session is built untimed, and says so.
        const bool link = std::filesystem::is_symlink(status);
        const bool folder = std::filesystem::is_directory(status);
        SlotTimesRead read;
        read.problems.push_back(std::string("is ") +
                                (link ? "a link to nothing" : folder ? "a folder" : "not a file") +
                                ", not a file of timed slots; the session's slots are not timed");
        return read;
    }
    // Every line, a NUL byte's too: a line-list read would end the text there and lose the
    // lines after it without a word.
    LineList lines;
    ForEachLine(ReadWholeFile(path), [&lines](std::string_view line) { lines.emplace_back(line); });
    return ParseSlotTimesLines(lines, slots);
}

}  // namespace kestrune
