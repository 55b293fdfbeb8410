#pragma once
// Playlists by ID3 tag: every MP3 file under a folder is appended to one playlist per ticked
// category (genre, artist, year, album), named after the file's value, in the playlists folder.

#include <string>
#include <string_view>

#include "building/BuildSession.h"
#include "building/BuildView.h"
#include "building/Prompts.h"
#include "mpgtools/ReaderSetup.h"
#include "platform/Paths.h"

namespace kestrune {

// The closing message of the pass; it names the folder the playlists went to.
std::string TagPlaylistsCreatedMessage(std::string_view playlistsFolder);

// The search mask of the "Go!" command.
inline constexpr std::string_view kSearchMask = "*.mp3";

// The prefixes of the playlist names; each is preceded by the separator.
inline constexpr std::string_view kGenrePrefix = "_genre_";
inline constexpr std::string_view kArtistPrefix = "_art_";
inline constexpr std::string_view kYearPrefix = "_year_";
inline constexpr std::string_view kAlbumPrefix = "_album_";

// The path itself when it ends with the separator, otherwise the path and one separator.
std::string AddTrailingBackslash(std::string_view path, PathStyle style = kNativePathStyle);

// A text made fit to stand in a file name on any system: "/", "\", ":", "*", "?", """, "<",
// ">", "|" and control characters become "_", and so does every byte that is not part of a
// valid UTF-8 character; the name is cut (between characters) where a playlist's file name
// would pass 255 bytes.
std::string SafeFileNamePart(std::string_view text);

// A tag value made fit for a file name: each of "/", blank, "!", "@", "#", "$", "%", "*" and
// "\" becomes "_", then SafeFileNamePart. The result never names a subfolder.
std::string SanitizeTagName(std::string_view text);

// The genre's playlist name: "Folk/Rock" becomes "Folk_Rock" and "Pop/Funk" "Pop_Funk";
// every other genre name goes through SafeFileNamePart (blanks, "&" and "+" stay).
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

// Adds the files under `folder` that `library` lists to `lbFiles`, depth first: first the files of a folder
// (hidden ones included), then each visible subfolder. Hidden folders are not searched. A
// symbolic link to a folder is followed unless that folder (by device and inode) was searched
// already, so link loops end and no file is listed twice. Only regular files are taken (a pipe
// named *.mp3 would stall the reader); a file whose name holds a line break is passed over and
// named to `view`.
void FindMP3Files(const std::string& folder, LineList& lbFiles, const LibrarySettings& library,
                  BuildView* view = nullptr);

// The four tick boxes of the "By ID3 Tags" page.
struct TagCategories {
    bool cbByArtist = false;
    bool cbByAlbum = false;
    bool cbByYear = false;
    bool cbByGenre = false;
};

// The tag pass over `files`, in list order, with one reader of `setup` for the whole run; the
// setup's pump runs now and then, and its stop request ends the pass. `boxes` is read
// afresh for every file (the user may change it while the reader keeps the window alive).
// The lines are written in rounds: each playlist touched by a round gets all of that round's
// lines in one whole-file replacement, so that every playlist is at any moment a whole
// beginning of what the pass writes to it. `fresh` replaces each playlist instead of adding to
// it, once, when the pass ends. `lbGenreList` is empty afterwards, also after a failed write.
// A playlist that cannot be read or written stops the pass with the error ("Cannot open file
// %s", "Cannot create file %s"); rounds already written stay, and the completion message is
// not shown.
void MakeTagPlaylists(const LineList& files, LineList& lbGenreList,
                      const std::string& playlistsFolder, const TagCategories& boxes,
                      BuildView& view, Prompts& prompts, const ReaderSetup& setup,
                      bool fresh = false);

// What the "Go!" command works on.
struct TagSearch {
    std::string folder;           // the folder selected in the folder tree
    TagCategories boxes;          // read afresh for every file
    std::string playlistsFolder;  // where the playlists go
    bool fresh = false;           // "Start the lists afresh": replace instead of adding
};

// "Go!": finds the MP3 files under search.folder into session.lbFiles, sorts them without
// regard to case and runs the tag pass over them.
void btnSearchForFilesClick(const TagSearch& search, BuildSession& session, BuildView& view,
                            Prompts& prompts, const ReaderSetup& setup);

}  // namespace kestrune
