#include "listtools/TagPlaylists.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <vector>

#include "listtools/QuickList.h"
#include "mpgtools/MPGTools.h"
#include "platform/Files.h"
#include "platform/LineList.h"
#include "tags/LibrarySettings.h"
#include "tags/TagText.h"

namespace kestrune {

std::string TagPlaylistsCreatedMessage(std::string_view playlistsFolder) {
    return "Playlists have been created. You will find them in the " +
           std::string(playlistsFolder) + " directory!";
}

namespace {

bool UnsafeInFileName(unsigned char c) {
    switch (c) {
        case '/':
        case '\\':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
        case 0x7F:
            return true;
        default:
            return c < 0x20;
    }
}

// The longest name a prefix and "_.m3u" leave room for in a file name of 255 bytes.
constexpr size_t kNameRoom = 255 - 7 - 5;

}  // namespace

std::string SafeFileNamePart(std::string_view text) {
    std::string name;
    name.reserve(std::min(text.size(), kNameRoom));
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8SequenceLength(text, at);
        const size_t taken = length == 0 ? 1 : length;
        if (name.size() + taken > kNameRoom) break;  // never half a character
        if (length == 0 || (length == 1 && UnsafeInFileName(static_cast<unsigned char>(text[at]))))
            name += '_';
        else
            name.append(text.substr(at, length));
        at += taken;
    }
    return name;
}

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
                c = '_';
                break;
            default:
                break;
        }
    }
    return SafeFileNamePart(name);
}

std::string GenrePlaylistName(std::string_view genreText) {
    if (genreText == "Folk/Rock") return "Folk_Rock";
    if (genreText == "Pop/Funk") return "Pop_Funk";
    return SafeFileNamePart(genreText);
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

bool HoldsLineBreak(std::string_view name) {
    return name.find_first_of("\r\n") != std::string_view::npos;
}

// The name with its line breaks shown as \r and \n, so that it stays on one line.
std::string OnOneLine(std::string_view name) {
    std::string shown;
    for (char c : name) {
        if (c == '\r') shown += "\\r";
        else if (c == '\n') shown += "\\n";
        else shown += c;
    }
    return shown;
}

// `visited` holds every folder searched so far, by identity: a folder reached again through a
// link (a loop, or a second way to the same place) is not searched twice.
void SearchFolder(const std::string& folder, std::set<std::string>& visited, LineList& lbFiles,
                  const LibrarySettings& library, BuildView* view) {
    const std::string d = AddTrailingBackslash(folder);
    std::vector<DirEntry> entries = ListDirectory(d);
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        return SortsBeforeNoCase(a.name, b.name);
    });
    for (const DirEntry& entry : entries) {
        if (!entry.isRegularFile || !IsLibraryFileName(entry.name, library)) continue;
        // One line of a playlist cannot hold it.
        if (HoldsLineBreak(entry.name)) {
            if (view != nullptr)
                view->ReportProblem("Passed over " + OnOneLine(d + entry.name) +
                                    ": its name holds a line break.");
            continue;
        }
        lbFiles.push_back(FoundFileLine(d, entry.name));
    }
    for (const DirEntry& entry : entries) {
        if (!entry.isDirectory || entry.isHidden) continue;
        const std::string sub = d + entry.name;
        const std::string identity = FolderIdentity(sub);
        if (identity.empty() || !visited.insert(identity).second) continue;
        SearchFolder(sub, visited, lbFiles, library, view);
    }
}

// Lines waiting to be added to the tag playlists, kept in the order the playlists were first
// touched. Writing each playlist once per round instead of once per file keeps the pass linear:
// rounds grow with the work done, so every playlist is rewritten a handful of times in all.
class TagRounds {
public:
    explicit TagRounds(bool fresh) : fresh_(fresh) {}

    void Add(const std::string& path, const std::string& name, const std::string& file,
             BuildView& view) {
        view.ShowStatus("Adding " + file + " to " + name + " playlist.");
        auto [it, added] = index_.try_emplace(path, pending_.size());
        if (added) pending_.push_back(Pending{path, {}});
        pending_[it->second].lines.push_back(file);
    }

    // Called after every file; writes the round out once it is long enough. A fresh pass
    // writes only at its end, so that every list is replaced once, whole.
    void FileDone(LineList& lbGenreList) {
        ++filesInRound_;
        if (fresh_ || filesInRound_ < std::max(kFirstRound, filesWritten_)) return;
        Write(lbGenreList);
    }

    // Each playlist gets its waiting lines after what it holds (a fresh one: instead of it),
    // in one whole-file replacement; every file thus stays a whole beginning of what the
    // pass writes in all, whatever stops it.
    void Write(LineList& lbGenreList) {
        for (Pending& playlist : pending_) {
            if (playlist.lines.empty()) continue;
            lbGenreList.clear();
            std::string text;
            const bool replace = fresh_ && !playlist.written;
            if (!replace && FileExists(playlist.path)) text = ReadWholeFile(playlist.path);
            ReplaceWholeFile(playlist.path, WithLinesAdded(std::move(text), playlist.lines), Sync::Later);
            playlist.lines.clear();
            playlist.written = true;
        }
        filesWritten_ += filesInRound_;
        filesInRound_ = 0;
    }

private:
    static constexpr size_t kFirstRound = 4096;
    struct Pending {
        std::string path;
        LineList lines;
        bool written = false;
    };
    bool fresh_;
    std::vector<Pending> pending_;
    std::unordered_map<std::string, size_t> index_;
    size_t filesInRound_ = 0;
    size_t filesWritten_ = 0;
};

// Empties the scratch list when the pass ends, also when a read or a write fails, so that no
// stale line can reach a later playlist.
class ScratchGuard {
public:
    explicit ScratchGuard(LineList& list) : list_(list) {}
    ~ScratchGuard() { list_.clear(); }
    ScratchGuard(const ScratchGuard&) = delete;
    ScratchGuard& operator=(const ScratchGuard&) = delete;

private:
    LineList& list_;
};

}  // namespace

constexpr size_t kFilesBetweenLooks = 16;

void FindMP3Files(const std::string& folder, LineList& lbFiles, const LibrarySettings& library,
                  BuildView* view) {
    std::set<std::string> visited;
    const std::string identity = FolderIdentity(folder);
    if (!identity.empty()) visited.insert(identity);
    SearchFolder(folder, visited, lbFiles, library, view);
}

void MakeTagPlaylists(const LineList& files, LineList& lbGenreList,
                      const std::string& playlistsFolder, const TagCategories& boxes,
                      BuildView& view, Prompts& prompts, const ReaderSetup& setup,
                      bool fresh) {
    ScratchGuard guard(lbGenreList);
    TagRounds rounds(fresh);
    TMPEGAudio reader(setup);
    // Every file rewrites up to four playlists whole: the system need not make and free a file
    // for each of those writes.
    TemporaryReuse reuse;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        // A look at the window now and then: Esc stops the pass between two files.
        if (i % kFilesBetweenLooks == 0) setup.Pump();
        if (setup.StopRequested()) {
            // What was taken so far reaches its playlists; a fresh pass leaves them as they were.
            if (!fresh) rounds.Write(lbGenreList);
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
            rounds.Add(TagPlaylistPath(playlistsFolder, kGenrePrefix, name), name, file, view);
        }
        if (ticked.cbByArtist) {
            const std::string name = SanitizeTagName(reader.GetArtist());
            rounds.Add(TagPlaylistPath(playlistsFolder, kArtistPrefix, name), name, file, view);
        }
        if (ticked.cbByYear) {
            const std::string name = SanitizeTagName(reader.MPEGFileInfo.Year);
            rounds.Add(TagPlaylistPath(playlistsFolder, kYearPrefix, name), name, file, view);
        }
        if (ticked.cbByAlbum) {
            const std::string name = SanitizeTagName(reader.MPEGFileInfo.Album);
            rounds.Add(TagPlaylistPath(playlistsFolder, kAlbumPrefix, name), name, file, view);
        }
        rounds.FileDone(lbGenreList);
    }
    rounds.Write(lbGenreList);
    view.ShowStatus(" ");
    prompts.ShowMessage(TagPlaylistsCreatedMessage(playlistsFolder));
}

void btnSearchForFilesClick(const TagSearch& search, BuildSession& session, BuildView& view,
                            Prompts& prompts, const ReaderSetup& setup) {
    session.lbFiles.clear();
    FindMP3Files(search.folder, session.lbFiles, setup.library, &view);
    std::stable_sort(session.lbFiles.begin(), session.lbFiles.end(), SortsBeforeNoCase);
    MakeTagPlaylists(session.lbFiles, session.lbGenreList, search.playlistsFolder, search.boxes,
                     view, prompts, setup, search.fresh);
}

}  // namespace kestrune
