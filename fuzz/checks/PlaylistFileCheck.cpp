// Category playlists as other programs write them, on any bytes: taking the file apart loses no
// line and changes no order, comment lines never become songs, and the file written back reads
// again as the same layout and entries, byte for byte the same when written once more.

#include <string>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "building/PlaylistFile.h"
#include "platform/LineList.h"

namespace kestrune::fuzz {

namespace {

// Every line of the layout and the entries, in file order.
LineList AllLines(const PlaylistLayout& layout, const LineList& entries) {
    LineList lines = layout.header;
    for (const std::string& entry : entries) {
        size_t start = 0;
        for (size_t at = entry.find('\n'); at != std::string::npos; at = entry.find('\n', start)) {
            lines.push_back(entry.substr(start, at - start));
            start = at + 1;
        }
        lines.push_back(entry.substr(start));
    }
    lines.insert(lines.end(), layout.trailer.begin(), layout.trailer.end());
    return lines;
}

bool SameLayout(const PlaylistLayout& a, const PlaylistLayout& b) {
    return a.byteOrderMark == b.byteOrderMark && a.lineEnd == b.lineEnd && a.header == b.header &&
           a.trailer == b.trailer;
}

}  // namespace

std::string CheckPlaylistFile(std::string_view bytes) {
    PlaylistLayout layout;
    LineList entries{"stale entry", "another"};
    ParsePlaylist(bytes, layout, entries);

    std::string_view text = bytes;
    if (layout.byteOrderMark) text.remove_prefix(3);
    if (AllLines(layout, entries) != ParseLines(text)) return Finding("lines lost or moved");
    for (const std::string& line : layout.header) {
        if (!IsCommentLine(line)) return Finding("a song kept in the header", line);
    }
    for (const std::string& line : layout.trailer) {
        if (!IsCommentLine(line)) return Finding("a song kept in the trailer", line);
    }
    for (const std::string& entry : entries) {
        if (IsCommentLine(SongLineOf(entry))) return Finding("a comment taken for a song", entry);
        const std::string_view comments = CommentsOf(entry);
        if (!comments.empty() && !IsCommentLine(comments))
            return Finding("a song taken for a comment", entry);
    }

    const std::string written = FormatPlaylist(layout, entries);
    PlaylistLayout again;
    LineList reread;
    ParsePlaylist(written, again, reread);
    if (!SameLayout(layout, again)) return Finding("the layout changed on rewriting");
    if (reread != entries) return Finding("the entries changed on rewriting");
    if (FormatPlaylist(again, reread) != written) return Finding("a second rewrite differs");
    return {};
}

}  // namespace kestrune::fuzz
