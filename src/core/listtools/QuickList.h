#pragma once
// The quick list maker: the MP3 files of one folder become a category playlist in one step.

#include <string>
#include <string_view>

#include "building/BuildSession.h"
#include "building/Prompts.h"
#include "platform/Paths.h"
#include "tags/LibrarySettings.h"

namespace kestrune {

// What the "By Folder" page shows. On Windows a drive is a letter and its root "E:\"; on
// systems without drive letters a drive is a file-system root (a mount path such as "/" or
// "/media/usb"), and that path is its root.
struct QuickListFolder {
    std::string DriveComboBox1;     // the drive: a letter, or a mount path
    std::string DirectoryListBox1;  // the chosen folder, a full path on that drive
    LineList FileListBox1;          // the folder's MP3 file names, as MP3FileNames gives them
};

// The save dialog shared with the choice of the final playlist's file. It is kept by the
// caller for the whole run, so that it proposes the name chosen last.
SaveQuestion PlaylistSaveDialog(const std::string& playlistsFolder);

// True when the name ends in ".mp3", letter case aside.
bool MatchesMP3Mask(std::string_view name);

// The name a quick list of `folder` is proposed under: the folder's own name + ".m3u"
// ("/music/Rock" gives "Rock.m3u"; a root gives "root.m3u").
std::string QuickListFileName(const std::string& folder);

// The order of the list tools' sorted lists: alphabetical without regard to case; texts that
// differ only in case (distinct files where the file system tells case apart) in byte order.
bool SortsBeforeNoCase(std::string_view a, std::string_view b);

// The names (without folder) of the ordinary visible files of a folder that `library` lists
// (see IsLibraryFileName), sorted without regard to case. Folders, hidden files (names
// beginning with ".") and anything that is not a regular file are left out. Empty when the
// folder cannot be read.
LineList MP3FileNames(const std::string& folder, const LibrarySettings& library);

// True when `folder` is the root of `drive`. A Windows drive letter has no case, so "e:\" is
// the root of drive "E" as much as "E:\" is.
bool IsDriveRoot(std::string_view drive, std::string_view folder,
                 PathStyle style = kNativePathStyle);

// The playlist line for one file: exactly one separator between folder and name, also at a
// drive's root. At the root the root is written (a Windows drive letter in upper case); below
// it the folder text exactly as given.
std::string QuickListLine(std::string_view drive, std::string_view folder, std::string_view name,
                          PathStyle style = kNativePathStyle);

// Fills `lbListMakerMP3s` with the lines for every name of `shown.FileListBox1`, in order.
void BuildQuickList(const QuickListFolder& shown, LineList& lbListMakerMP3s,
                    PathStyle style = kNativePathStyle);

// "Save As Playlist": builds session.lbListMakerMP3s, asks for the file and, when the user
// confirms, replaces the file's content with the list. False (nothing written) on cancel. The
// chosen name stays proposed in `sdSavePlaylist`. A file that cannot be written stops the
// command with "Cannot create file %s".
bool SaveAsList(const QuickListFolder& shown, BuildSession& session, Prompts& prompts,
                SaveQuestion& sdSavePlaylist, PathStyle style = kNativePathStyle);

}  // namespace kestrune
