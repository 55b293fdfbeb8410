#include "building/MusicFolderCheck.h"

#include <filesystem>

#include "platform/Files.h"

namespace kestrune {

namespace {

namespace fs = std::filesystem;

std::string FolderOf(const std::string& file) {
    std::string folder = fs::u8path(file).lexically_normal().parent_path().string();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// The highest folder at or above an unreachable `folder` that cannot be reached either: the
// mount point or the share, rather than the album folder below it.
std::string HighestUnreachable(std::string folder) {
    for (;;) {
        const std::string parent = FolderOf(folder);
        if (parent.empty() || parent == folder || FolderReachable(parent)) return folder;
        folder = parent;
    }
}

// The deepest folder that holds every one of the files.
std::string SharedFolder(const std::vector<std::string>& files) {
    fs::path shared;
    bool first = true;
    for (const std::string& file : files) {
        const fs::path folder = fs::u8path(FolderOf(file));
        if (first) {
            shared = folder;
            first = false;
            continue;
        }
        fs::path common;
        for (auto a = shared.begin(), b = folder.begin(); a != shared.end() && b != folder.end() && *a == *b;
             ++a, ++b)
            common /= *a;
        shared = common;
    }
    return shared.string();
}

}  // namespace

bool FolderReachable(const std::string& folder) {
    return DirectoryExists(folder) && FolderSearchable(folder);
}

std::string UnreachableMusicFolder(const std::vector<std::string>& missingFiles, size_t songLines) {
    for (const std::string& file : missingFiles) {
        const std::string folder = FolderOf(file);
        if (!folder.empty() && !FolderReachable(folder)) return HighestUnreachable(folder);
    }
    if (!missingFiles.empty() && 2 * missingFiles.size() > songLines) {
        const std::string shared = SharedFolder(missingFiles);
        return shared.empty() ? std::string("/") : shared;
    }
    return std::string();
}

std::string MusicFolderAwayMessage(const std::string& folder) {
    return "The music folder " + folder + " cannot be reached; nothing was changed.";
}

}  // namespace kestrune
