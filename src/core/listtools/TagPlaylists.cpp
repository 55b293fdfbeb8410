#include "listtools/TagPlaylists.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "building/LineList.h"
#include "building/StopRequest.h"
#include "listtools/QuickList.h"
#include "mpgtools/MPGTools.h"
#include "mpgtools/ReaderHooks.h"
#include "platform/Files.h"
#include "tags/LibrarySettings.h"

namespace kestrune {

namespace messages {
const char* const kTagPlaylistsCreated =
    "Playlists have been created. You will find them in the Kestrune\\Playlists\\Master Lists "
    "directory!";
}  // namespace messages

std::string AddTrailingBackslash(std::string_view path, PathStyle style) {
    return IncludeTrailingSeparator(path, style);
}

std::string SanitizeTagName(std::string_view text) {
    std::string name(text);
    for (char& c : name) {
        switch (c) {
            case '/':
            case ' ':
            case '!':
            case '@':
            case '#':
            case '$':
            case '%':
            case '*':
            case '\\':
            case '\0':
                c = '_';
                break;
            default:
                break;
        }
    }
    return name;
}

std::string GenrePlaylistName(std::string_view genreText) {
    if (genreText == "Folk/Rock") return "Folk_Rock";
    if (genreText == "Pop/Funk") return "Pop_Funk";
    return std::string(genreText);
}

std::string TagPlaylistPath(std::string_view playlistsFolder, std::string_view prefix,
                            std::string_view name, PathStyle style) {
    std::string path;
    path.reserve(playlistsFolder.size() + 1 + prefix.size() + name.size() + 5);
    path += playlistsFolder;
    path += Separator(style);
    path += prefix;
    path += name;
    path += "_.m3u";
    return path;
}

bool LowerCasesFoundPaths(PathStyle style) {
    return style == PathStyle::Windows;
}

std::string FoundFileLine(std::string_view folderWithSeparator, std::string_view name,
                          PathStyle style) {
    std::string line(folderWithSeparator);
    line += name;
    return LowerCasesFoundPaths(style) ? LowerCase(line) : line;
}

namespace {

namespace fs = std::filesystem;

// The folder's own identity, links resolved; empty when it cannot be had.
std::string RealFolder(const std::string& folder) {
    std::error_code ec;
    const fs::path real = fs::canonical(fs::path(folder), ec);
    return ec ? std::string() : real.string();
}

// `onPath` holds the real folders from the start folder down to this one.
void SearchFolder(const std::string& folder, std::vector<std::string>& onPath, LineList& lbFiles) {
    const std::string d = AddTrailingBackslash(folder);
    std::vector<DirEntry> entries = ListDirectory(d);
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        return SortsBeforeNoCase(a.name, b.name);
    });
    for (const DirEntry& entry : entries) {
        if (entry.isRegularFile && IsLibraryFileName(entry.name))
            lbFiles.push_back(FoundFileLine(d, entry.name));
    }
    for (const DirEntry& entry : entries) {
        if (!entry.isDirectory || entry.isHidden) continue;
        const std::string sub = d + entry.name;
        const std::string real = RealFolder(sub);
        if (real.empty() || std::find(onPath.begin(), onPath.end(), real) != onPath.end()) continue;
        onPath.push_back(real);
        SearchFolder(sub, onPath, lbFiles);
        onPath.pop_back();
    }
}

// Empties the scratch list when a step ends, also when a read or a write fails, so that no
// stale line can reach the next playlist.
class ScratchGuard {
public:
    explicit ScratchGuard(LineList& list) : list_(list) {}
    ~ScratchGuard() { list_.clear(); }
    ScratchGuard(const ScratchGuard&) = delete;
    ScratchGuard& operator=(const ScratchGuard&) = delete;

private:
    LineList& list_;
};

// One step: the playlist at `path` gets `file` as its last line, read and written whole. The
// new text is what loading the playlist into lbGenreList, adding the line and saving the list
// would write; a playlist already in that form (as every one this pass wrote is) is not taken
// apart into lines and put together again: the line goes after its text as read.
void AppendToPlaylist(const std::string& path, const std::string& file, const std::string& name,
                      LineList& lbGenreList, BuildView& view) {
    ScratchGuard guard(lbGenreList);
    lbGenreList.clear();
    std::string text;
    if (FileExists(path)) text = ReadWholeFile(path);
    view.ShowStatus("Adding " + file + " to " + name + " playlist.");
    ReplaceWholeFile(path, WithLineAdded(std::move(text), file));
}

}  // namespace

constexpr size_t kFilesBetweenLooks = 16;

void FindMP3Files(const std::string& folder, LineList& lbFiles) {
    std::vector<std::string> onPath;
    const std::string real = RealFolder(folder);
    if (!real.empty()) onPath.push_back(real);
    SearchFolder(folder, onPath, lbFiles);
}

void MakeTagPlaylists(const LineList& files, LineList& lbGenreList,
                      const std::string& playlistsFolder, const TagCategories& boxes,
                      BuildView& view, Prompts& prompts) {
    TMPEGAudio reader;
    // Every file rewrites up to four playlists whole: the system need not make and free a file
    // for each of those writes.
    TemporaryReuse reuse;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        // A look at the window now and then: Esc stops the pass between two files.
        if (i % kFilesBetweenLooks == 0) PumpMessages();
        if (StopRequested()) {
            view.ShowStatus("Tag playlists stopped after " +
                            GroupedNumber(static_cast<int64_t>(i)) + " of " +
                            GroupedNumber(static_cast<int64_t>(files.size())) +
                            " files; the next would have been " + file + ".");
            return;
        }
        reader.SetFileName(file);
        const TagCategories ticked = boxes;
        // Values are taken only for the ticked boxes; the file is read either way.
        if (ticked.cbByGenre) {
            const std::string name = GenrePlaylistName(reader.GetGenreText());
            AppendToPlaylist(TagPlaylistPath(playlistsFolder, kGenrePrefix, name), file, name,
                             lbGenreList, view);
        }
        if (ticked.cbByArtist) {
            const std::string name = SanitizeTagName(reader.GetArtist());
            AppendToPlaylist(TagPlaylistPath(playlistsFolder, kArtistPrefix, name), file, name,
                             lbGenreList, view);
        }
        if (ticked.cbByYear) {
            const std::string name = SanitizeTagName(reader.MPEGFileInfo.Year);
            AppendToPlaylist(TagPlaylistPath(playlistsFolder, kYearPrefix, name), file, name,
                             lbGenreList, view);
        }
        if (ticked.cbByAlbum) {
            const std::string name = SanitizeTagName(reader.MPEGFileInfo.Album);
            AppendToPlaylist(TagPlaylistPath(playlistsFolder, kAlbumPrefix, name), file, name,
                             lbGenreList, view);
        }
    }
    view.ShowStatus(" ");
    prompts.ShowMessage(messages::kTagPlaylistsCreated);
}

void btnSearchForFilesClick(const TagSearch& search, BuildSession& session, BuildView& view,
                            Prompts& prompts) {
    session.lbFiles.clear();
    FindMP3Files(search.folder, session.lbFiles);
    std::stable_sort(session.lbFiles.begin(), session.lbFiles.end(), SortsBeforeNoCase);
    MakeTagPlaylists(session.lbFiles, session.lbGenreList, search.playlistsFolder, search.boxes,
                     view, prompts);
}

}  // namespace kestrune
