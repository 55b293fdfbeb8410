#include "building/PlaylistFile.h"

#include "platform/Files.h"
#include "platform/KestruneError.h"

namespace kestrune {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsExtinf(std::string_view line) {
    return line.substr(0, 8) == "#EXTINF:";
}

LineEnd FirstLineEnd(std::string_view bytes) {
    const size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos) return LineEnd::CrLf;
    if (bytes[at] == '\r') return bytes.substr(at + 1, 1) == "\n" ? LineEnd::CrLf : LineEnd::Cr;
    return LineEnd::Lf;
}

std::string_view LineEndText(LineEnd end) {
    switch (end) {
        case LineEnd::Lf:
            return "\n";
        case LineEnd::Cr:
            return "\r";
        case LineEnd::CrLf:
            break;
    }
    return "\r\n";
}

void AppendLines(std::string& out, std::string_view joined, std::string_view end) {
    size_t start = 0;
    for (size_t at = joined.find('\n'); at != std::string_view::npos;
         at = joined.find('\n', start)) {
        out += joined.substr(start, at - start);
        out += end;
        start = at + 1;
    }
    out += joined.substr(start);
    out += end;
}

}  // namespace

bool IsCommentLine(std::string_view line) {
    return !line.empty() && line[0] == '#';
}

std::string_view SongLineOf(std::string_view entry) {
    const size_t at = entry.rfind('\n');
    return at == std::string_view::npos ? entry : entry.substr(at + 1);
}

std::string_view CommentsOf(std::string_view entry) {
    const size_t at = entry.rfind('\n');
    return at == std::string_view::npos ? std::string_view() : entry.substr(0, at);
}

void ParsePlaylist(std::string_view bytes, PlaylistLayout& layout, LineList& entries) {
    layout.header.clear();
    layout.trailer.clear();
    layout.byteOrderMark = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (layout.byteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    layout.lineEnd = FirstLineEnd(bytes);

    bool atTop = true;
    bool open = false;  // entries[count] holds comment lines waiting for their song
    size_t count = 0;
    ForEachLine(bytes, [&](std::string_view line) {
        const bool comment = IsCommentLine(line);
        if (comment && atTop && !IsExtinf(line)) {
            layout.header.emplace_back(line);
            return;
        }
        atTop = false;
        // Built in place: the entry's old buffer is reused and nothing is copied twice.
        std::string& entry = count < entries.size() ? entries[count] : entries.emplace_back();
        if (open) {
            entry += '\n';
            entry += line;
        } else {
            entry.assign(line);
        }
        open = comment;
        if (!comment) ++count;
    });
    if (open)
        ForEachLine(entries[count],
                    [&](std::string_view line) { layout.trailer.emplace_back(line); });
    entries.resize(count);
}

std::string FormatPlaylist(const PlaylistLayout& layout, const LineList& entries) {
    const std::string_view end = LineEndText(layout.lineEnd);
    size_t total = layout.byteOrderMark ? kByteOrderMark.size() : 0;
    for (const LineList* lines : {&layout.header, &entries, &layout.trailer})
        for (const std::string& line : *lines) total += line.size() + 2 * end.size();
    std::string bytes;
    bytes.reserve(total);
    if (layout.byteOrderMark) bytes += kByteOrderMark;
    for (const LineList* lines : {&layout.header, &entries, &layout.trailer})
        for (const std::string& line : *lines) AppendLines(bytes, line, end);
    return bytes;
}

bool LooksLikeUtf16(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") return true;
    return bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0');
}

void LoadPlaylist(const std::string& path, PlaylistLayout& layout, LineList& entries) {
    const std::string bytes = ReadWholeFile(path);
    if (LooksLikeUtf16(bytes))
        throw KestruneError("Cannot read " + path +
                            ": the playlist is in UTF-16. Save it as UTF-8 and try again.");
    ParsePlaylist(bytes, layout, entries);
}

void SavePlaylist(const std::string& path, const PlaylistLayout& layout, const LineList& entries) {
    ReplaceWholeFile(path, FormatPlaylist(layout, entries));
}

}  // namespace kestrune
