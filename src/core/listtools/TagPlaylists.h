#pragma once
// Playlists by ID3 tag: every MP3 file under a folder is appended to one playlist per ticked
// category (genre, artist, year, album), named after the file's value, in the playlists folder.

#include <string>
#include <string_view>

#include "building/BuildSession.h"
#include "building/BuildView.h"
#include "building/Prompts.h"
#include "platform/Paths.h"

namespace kestrune {

namespace messages {
extern const char* const kTagPlaylistsCreated;
}  // namespace messages

// The search mask of the "Go!" command.
inline constexpr std::string_view kSearchMask = "*.mp3";

// The prefixes of the playlist names; each is preceded by the separator.
inline constexpr std::string_view kGenrePrefix = "_genre_";
inline constexpr std::string_view kArtistPrefix = "_art_";
inline constexpr std::string_view kYearPrefix = "_year_";
inline constexpr std::string_view kAlbumPrefix = "_album_";

// The path itself when it ends with the separator, otherwise the path and one separator.
std::string AddTrailingBackslash(std::string_view path, PathStyle style = kNativePathStyle);

// A tag value made fit for a file name: each of "/", blank, "!", "@", "#", "$", "%", "*" and
// "\" becomes "_", and so does a NUL byte, which no file name can hold. Both separators are
// among the nine, so the result never names a subfolder, whatever the path style.
std::string SanitizeTagName(std::string_view text);

// The genre's playlist name: "Folk/Rock" becomes "Folk_Rock" and "Pop/Funk" "Pop_Funk";
// every other genre name is taken unchanged.
std::string GenrePlaylistName(std::string_view genreText);

// playlists folder + separator + prefix + name + "_.m3u". No other separator is added.
std::string TagPlaylistPath(std::string_view playlistsFolder, std::string_view prefix,
                            std::string_view name, PathStyle style = kNativePathStyle);

// Windows names files without regard to case, so found paths are kept in lower case there.
// Elsewhere letter case tells files apart: a lower-cased path would name no file, so the path
// stays as found.
bool LowerCasesFoundPaths(PathStyle style);

// The line of lbFiles for a file `name` found in `folderWithSeparator`.
std::string FoundFileLine(std::string_view folderWithSeparator, std::string_view name,
                          PathStyle style = kNativePathStyle);

// Adds the MP3 files under `folder` to `lbFiles`, depth first: first the files of a folder
// (hidden ones included), then each visible subfolder. Hidden folders are not searched. A
// symbolic link to a folder is followed unless that folder is already on the way down from
// `folder` (a link to itself or to a folder above it), so link loops end. Only regular files
// are taken (a pipe named *.mp3 would stall the reader).
void FindMP3Files(const std::string& folder, LineList& lbFiles);

// The four tick boxes of the "By ID3 Tags" page.
struct TagCategories {
    bool cbByArtist = false;
    bool cbByAlbum = false;
    bool cbByYear = false;
    bool cbByGenre = false;
};

// The tag pass over `files`, in list order, with one reader for the whole run. `boxes` is read
// afresh for every file (the user may change it while the reader keeps the window alive).
// `lbGenreList` holds one playlist while it is appended to and is empty after every step, also
// after a failed write. A playlist that cannot be read or written stops the pass with the
// error ("Cannot open file %s", "Cannot create file %s"); playlists already appended stay, and
// the completion message is not shown.
void MakeTagPlaylists(const LineList& files, LineList& lbGenreList,
                      const std::string& playlistsFolder, const TagCategories& boxes,
                      BuildView& view, Prompts& prompts);

// What the "Go!" command works on.
struct TagSearch {
    std::string folder;           // the folder selected in the folder tree
    TagCategories boxes;          // read afresh for every file
    std::string playlistsFolder;  // where the playlists go
};

// "Go!": finds the MP3 files under search.folder into session.lbFiles, sorts them without
// regard to case and runs the tag pass over them.
void btnSearchForFilesClick(const TagSearch& search, BuildSession& session, BuildView& view,
                            Prompts& prompts);

}  // namespace kestrune
