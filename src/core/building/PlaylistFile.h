#pragma once
// Category playlists in the forms real tools write them: a UTF-8 byte-order mark, LF, CR LF or
// CR line ends, comment lines ("#EXTM3U", "#EXTINF:...") and paths relative to the playlist's
// folder. The file is taken apart into its layout (what stays where it is) and its entries (what
// the shuffle and the rotation move), and put together again in its own form.

#include <string>
#include <string_view>

#include "output/Extinf.h"
#include "platform/FileReplace.h"
#include "platform/LineList.h"

namespace kestrune {

enum class LineEnd { CrLf, Lf, Cr };

// What of a playlist file stays in place while its songs move.
struct PlaylistLayout {
    bool byteOrderMark = false;
    LineEnd lineEnd = LineEnd::CrLf;  // the file's first line end; CR LF when it has none
    LineList header;                  // comment lines at the top, before the first "#EXTINF"
    LineList trailer;                 // comment lines after the last song
};

// A line that begins with "#": a directive or a comment, never a song.
bool IsCommentLine(std::string_view line);

// An entry is the comment lines that lead up to a song ("#EXTINF:..." and the like) and the
// song's own line, joined by LF (no line of a file can hold one). A plain playlist's entries are
// its lines.
std::string_view SongLineOf(std::string_view entry);
// The entry's comment lines, joined by LF; empty when it has none.
std::string_view CommentsOf(std::string_view entry);

// Takes the bytes apart. A NUL byte ends the text, as for every line-list file. `entries` keeps
// the buffers of its old strings where it can.
void ParsePlaylist(std::string_view bytes, PlaylistLayout& layout, LineList& entries);
// The bytes of the layout and the entries, every line ended by the layout's line end.
std::string FormatPlaylist(const PlaylistLayout& layout, const LineList& entries);

// True when the bytes begin as UTF-16 text does (a UTF-16 byte-order mark, or a NUL byte beside
// the first character), which no line-list reader can take apart into lines.
bool LooksLikeUtf16(std::string_view bytes);

// The line (counted from 1) on which the first NUL byte stands; 0 when there is none.
size_t LineOfNul(std::string_view bytes);
// "PLS" or "XSPF" for a playlist in one of the forms Kestrune writes but does not read as a
// category (by its extension, or by its first text); empty for an M3U playlist.
std::string OtherPlaylistFormat(std::string_view path, std::string_view bytes);
// The refusals of a playlist that a rewrite would cut short or empty.
std::string NulByteMessage(const std::string& path, size_t line);
std::string OtherFormatMessage(const std::string& path, const std::string& format);

// Reads a playlist file ("Cannot open file %s"). A UTF-16 file, a PLS or XSPF file and a file
// holding a NUL byte are refused with a message that names it, before anything is changed:
// each would lose lines when written back.
void LoadPlaylist(const std::string& path, PlaylistLayout& layout, LineList& entries);
// Replaces the file with the layout and the entries ("Cannot create file %s"); the rotations
// of a build pass Sync::Later.
void SavePlaylist(const std::string& path, const PlaylistLayout& layout, const LineList& entries,
                  Sync sync = Sync::ToDisk);

}  // namespace kestrune
