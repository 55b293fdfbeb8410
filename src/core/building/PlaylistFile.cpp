#include "building/PlaylistFile.h"

#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

namespace kestrune {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

std::string NulByteMessage(const std::string& path, size_t line) {
    return "Cannot read " + path + ": line " + std::to_string(line) +
           " holds a NUL byte, which no playlist line can; nothing was changed";
}

std::string OtherFormatMessage(const std::string& path, const std::string& format) {
    return "Cannot use " + path + " as a category playlist: it is a " + format +
           " playlist, and categories are read as M3U (one song a line). Save it as .m3u; "
           "nothing was changed";
}

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
        if (comment && atTop && !IsExtinfLine(line)) {
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

size_t LineOfNul(std::string_view bytes) {
    const size_t nul = bytes.find('\0');
    if (nul == std::string_view::npos) return 0;
    const std::string_view before = bytes.substr(0, nul);
    size_t lines = 0;
    ForEachLine(before, [&](std::string_view) { ++lines; });
    // The NUL opens a line of its own after a line end, and ends the last line otherwise.
    if (before.empty() || before.back() == '\r' || before.back() == '\n') ++lines;
    return lines;
}

std::string OtherPlaylistFormat(std::string_view path, std::string_view bytes) {
    const std::string name = LowerCase(ExtractFileName(path));
    const auto endsWith = [&](std::string_view ending) {
        return name.size() >= ending.size() &&
               name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
    };
    if (endsWith(".pls")) return "PLS";
    if (endsWith(".xspf")) return "XSPF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    const size_t start = bytes.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return std::string();
    bytes.remove_prefix(start);
    if (bytes.size() >= 10 && CompareTextNoCase(bytes.substr(0, 10), "[playlist]") == 0)
        return "PLS";
    if (bytes.substr(0, 5) == "<?xml" || bytes.substr(0, 9) == "<playlist") return "XSPF";
    return std::string();
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
    if (const std::string format = OtherPlaylistFormat(path, bytes); !format.empty())
        throw KestruneError(OtherFormatMessage(path, format));
    if (const size_t line = LineOfNul(bytes); line > 0)
        throw KestruneError(NulByteMessage(path, line));
    ParsePlaylist(bytes, layout, entries);
}

void SavePlaylist(const std::string& path, const PlaylistLayout& layout, const LineList& entries,
                  Sync sync) {
    ReplaceWholeFile(path, FormatPlaylist(layout, entries), sync);
}

}  // namespace kestrune
