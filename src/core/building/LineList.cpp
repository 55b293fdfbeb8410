#include "building/LineList.h"

#include <algorithm>

#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

namespace kestrune {

LineList ParseLines(std::string_view bytes) {
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    LineList lines;
    size_t start = 0;
    const size_t size = bytes.size();
    while (start < size) {
        size_t end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        lines.emplace_back(bytes.substr(start, end - start));
        if (end < size)
            end += (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ? 2 : 1;
        start = end;
    }
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

void LoadList(const std::string& path, LineList& list) {
    list = ParseLines(ReadWholeFile(path));
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
