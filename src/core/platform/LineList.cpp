#include "platform/LineList.h"

#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

namespace kestrune {

void ParseLinesInto(std::string_view bytes, LineList& lines) {
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    size_t count = 0;
    ForEachLine(bytes, [&](std::string_view line) {
        if (count < lines.size()) {
            lines[count].assign(line);  // keeps the entry's buffer when the line fits in it
        } else {
            lines.emplace_back(line);
        }
        ++count;
    });
    lines.resize(count);
}

std::string_view FinishedLines(std::string_view bytes) {
    const size_t lastEnd = bytes.find_last_of("\r\n");
    return bytes.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
}

LineList ParseLines(std::string_view bytes) {
    LineList lines;
    ParseLinesInto(bytes, lines);
    return lines;
}

std::string FormatLines(const LineList& lines) {
    size_t total = 0;
    for (const std::string& line : lines) total += line.size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

namespace {

// True when FormatLines(ParseLines(text)) == text: no NUL byte, every CR followed by LF, every
// LF after a CR, and the text empty or ending with CR LF.
bool AsFormatted(std::string_view text) {
    if (text.empty()) return true;
    if (text.size() < 2 || text.substr(text.size() - 2) != "\r\n") return false;
    if (text.find('\0') != std::string_view::npos) return false;
    for (size_t at = text.find('\r'); at != std::string_view::npos; at = text.find('\r', at + 1))
        if (at + 1 >= text.size() || text[at + 1] != '\n') return false;
    for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
        if (at == 0 || text[at - 1] != '\r') return false;
    return true;
}

}  // namespace

std::string WithLineAdded(std::string text, std::string_view line) {
    return WithLinesAdded(std::move(text), LineList{std::string(line)});
}

std::string WithLinesAdded(std::string text, const LineList& lines) {
    if (!AsFormatted(text)) {
        LineList all = ParseLines(text);
        all.insert(all.end(), lines.begin(), lines.end());
        return FormatLines(all);
    }
    return text + FormatLines(lines);
}

void LoadList(const std::string& path, LineList& list) {
    const std::string bytes = ReadWholeFile(path);
    ParseLinesInto(bytes, list);
}

void SaveList(const std::string& path, const LineList& list) {
    ReplaceWholeFile(path, FormatLines(list));
}

int SortedList::Add(const std::string& text) {
    const auto at = std::upper_bound(
        items_.begin(), items_.end(), text,
        [](const std::string& a, const std::string& b) { return CompareTextNoCase(a, b) < 0; });
    const auto index = at - items_.begin();
    items_.insert(at, text);
    return static_cast<int>(index);
}

void SortedList::Delete(int index) {
    LineAt(items_, index);
    items_.erase(items_.begin() + index);
}

const std::string& SortedList::At(int index) const {
    return LineAt(items_, index);
}

const std::string& LineAt(const LineList& list, long long index) {
    if (index < 0 || index >= static_cast<long long>(list.size()))
        throw errors::ListIndexOutOfBounds(index);
    return list[static_cast<size_t>(index)];
}

}  // namespace kestrune
