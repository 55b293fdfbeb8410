#pragma once
// Which file a song line of a category playlist names. Players write paths relative to the
// playlist's own folder and "file://" addresses; the line is kept in the file as written, and
// only the file it names is worked out here.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Paths.h"

namespace kestrune {

// %XX becomes its byte; a "%" without two hex digits stays as it is.
std::string PercentDecoded(std::string_view text);

// The path of a "file://" address with its %XX escapes decoded ("file:///music/a%20b.mp3" is
// "/music/a b.mp3", "file:///C:/x.mp3" is "C:\x.mp3" in the Windows style); the line itself
// when it is no such address.
std::string DecodeFileUri(std::string_view line, PathStyle style = kNativePathStyle);

// The path the song line names for the playlist stored at `playlistPath`: a full path as it
// is, a relative one taken from the playlist's folder ("." and ".." folded). In the Windows
// style a path that begins with one "\" gets the playlist's drive. Pure: the disk is not asked.
std::string SongFilePath(std::string_view line, std::string_view playlistPath,
                         PathStyle style = kNativePathStyle);

// The existing file the line names; when its path names none and the line ends in blanks, the
// path without them is tried. Nothing when neither names a file.
std::optional<std::string> ExistingSongFile(std::string_view line, std::string_view playlistPath);

// The file to read for the line: SongFilePath, or, for a line that ends in blanks, the file
// ExistingSongFile finds when it finds one. Only such a line costs a look at the disk.
std::string SongFileOf(std::string_view line, std::string_view playlistPath);

}  // namespace kestrune
