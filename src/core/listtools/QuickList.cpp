#include "listtools/QuickList.h"

#include <algorithm>

#include "platform/Files.h"
#include "platform/LineList.h"
#include "tags/LibrarySettings.h"

namespace kestrune {

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// "E:\" for the drive "e" (or "e:"); empty when no drive is chosen.
std::string WindowsDriveRoot(std::string_view drive) {
    if (drive.empty()) return std::string();
    return std::string(1, AsciiUpper(drive[0])) + ":\\";
}

}  // namespace

SaveQuestion PlaylistSaveDialog(const std::string& playlistsFolder) {
    return SaveQuestion{"", "Winamp Playlist|*.m3u", "m3u", playlistsFolder, ""};
}

std::string QuickListFileName(const std::string& folder) {
    std::string trimmed = folder;
    while (!trimmed.empty() && (trimmed.back() == '/' || trimmed.back() == '\\')) trimmed.pop_back();
    const size_t cut = trimmed.find_last_of("/\\");
    std::string name = cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
    // "C:" or an empty name: a drive's root.
    if (name.empty() || (name.size() == 2 && name[1] == ':')) name = "root";
    return name + ".m3u";
}

bool MatchesMP3Mask(std::string_view name) {
    constexpr std::string_view kExtension = ".mp3";
    return name.size() >= kExtension.size() &&
           CompareTextNoCase(name.substr(name.size() - kExtension.size()), kExtension) == 0;
}

bool SortsBeforeNoCase(std::string_view a, std::string_view b) {
    const int order = CompareTextNoCase(a, b);
    return order != 0 ? order < 0 : a < b;
}

LineList MP3FileNames(const std::string& folder, const LibrarySettings& library) {
    LineList names;
    for (DirEntry& entry : ListDirectory(folder)) {
        if (entry.isRegularFile && !entry.isHidden && IsLibraryFileName(entry.name, library))
            names.push_back(std::move(entry.name));
    }
    std::sort(names.begin(), names.end(), SortsBeforeNoCase);
    return names;
}

bool IsDriveRoot(std::string_view drive, std::string_view folder, PathStyle style) {
    if (drive.empty()) return false;
    if (style == PathStyle::Windows) return CompareTextNoCase(folder, WindowsDriveRoot(drive)) == 0;
    // A mount path is a root with or without its trailing separator.
    return folder == drive || folder == IncludeTrailingSeparator(drive, style);
}

std::string QuickListLine(std::string_view drive, std::string_view folder, std::string_view name,
                          PathStyle style) {
    if (IsDriveRoot(drive, folder, style)) {
        const std::string root = style == PathStyle::Windows
                                     ? WindowsDriveRoot(drive)
                                     : IncludeTrailingSeparator(drive, style);
        return root + std::string(name);
    }
    return JoinPath(folder, name, style);
}

void BuildQuickList(const QuickListFolder& shown, LineList& lbListMakerMP3s, PathStyle style) {
    lbListMakerMP3s.clear();
    for (const std::string& name : shown.FileListBox1)
        lbListMakerMP3s.push_back(
            QuickListLine(shown.DriveComboBox1, shown.DirectoryListBox1, name, style));
}

bool SaveAsList(const QuickListFolder& shown, BuildSession& session, Prompts& prompts,
                SaveQuestion& sdSavePlaylist, PathStyle style) {
    BuildQuickList(shown, session.lbListMakerMP3s, style);
    const auto chosen = prompts.AskSaveFileName(sdSavePlaylist);
    if (!chosen) return false;
    sdSavePlaylist.proposedName = *chosen;
    SaveList(*chosen, session.lbListMakerMP3s);
    return true;
}

}  // namespace kestrune
