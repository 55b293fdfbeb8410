#pragma once
// Lists of text lines kept in files: playlists, sessions, the schedule, the text log.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

using LineList = std::vector<std::string>;

// Calls `take` with every line of `bytes`: CR, LF and CR LF each end a line; a last line without
// an end still counts; a line end at the very end gives no extra empty line. The next CR and the
// next LF are each looked for once and kept until the walk passes them, so the text is crossed
// once for each, whatever its line ends.
template <typename Take>
void ForEachLine(std::string_view bytes, Take take) {
    const size_t size = bytes.size();
    size_t cr = bytes.find('\r');
    size_t lf = bytes.find('\n');
    size_t start = 0;
    while (start < size) {
        if (cr < start) cr = bytes.find('\r', start);
        if (lf < start) lf = bytes.find('\n', start);
        const size_t end = std::min({cr, lf, size});
        take(bytes.substr(start, end - start));
        start = end;
        if (start < size)
            start += (bytes[start] == '\r' && start + 1 < size && bytes[start + 1] == '\n') ? 2 : 1;
    }
}

// `bytes` up to and with its last line end: the lines a writer has finished, without the one it may
// still be writing when the text is read.
std::string_view FinishedLines(std::string_view bytes);

// The lines as ForEachLine gives them, and a NUL byte ends the text; a last line without an end still
// counts; a line end at the very end gives no extra empty line.
LineList ParseLines(std::string_view bytes);
// The same into `lines`, whose entries are overwritten (keeping their buffers) and then cut or
// added to so that the list holds exactly the lines of `bytes`.
void ParseLinesInto(std::string_view bytes, LineList& lines);
// Every line followed by CR LF, the last one included.
std::string FormatLines(const LineList& lines);

// The text of a line-list file with `line` added at the end: what loading the text, adding the
// line and formatting the list would give. A text already in the form FormatLines writes (every
// line ended by CR LF, no NUL byte) is kept as it is, with the line and CR LF after it.
std::string WithLineAdded(std::string text, std::string_view line);
// The same with every line of `lines` added, in order.
std::string WithLinesAdded(std::string text, const LineList& lines);

// Replaces the list's entries with the file's lines ("Cannot open file %s").
void LoadList(const std::string& path, LineList& list);
// Replaces the file with the list's entries ("Cannot create file %s").
void SaveList(const std::string& path, const LineList& list);

// A list that keeps itself in alphabetical order without regard to case; repeats allowed.
class SortedList {
public:
    // Places the text by the order (after equal entries) and answers its index.
    int Add(const std::string& text);
    void Delete(int index);
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    // "List index out of bounds (%d)" beyond the ends.
    const std::string& At(int index) const;
    const std::string& operator[](int index) const { return At(index); }
    const LineList& Lines() const { return items_; }
    LineList::const_iterator begin() const { return items_.begin(); }
    LineList::const_iterator end() const { return items_.end(); }

private:
    LineList items_;
};

// Index access with the system's error text instead of undefined behaviour.
const std::string& LineAt(const LineList& list, long long index);

}  // namespace kestrune
