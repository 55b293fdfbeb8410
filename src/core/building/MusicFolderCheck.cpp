#include "building/MusicFolderCheck.h"

#include <algorithm>
#include <filesystem>
#include <map>

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

std::string UnreachableMusicFolder(const std::vector<std::string>& missingFiles, size_t songLines,
                                  const std::vector<std::string>& stationPresent,
                                  const std::vector<std::string>& stationMissing) {
    // Most of the station's songs under a folder there: a folder gone below it was deleted.
    std::map<std::string, bool> deletedBelow;
    const auto mostlyThere = [&](const std::string& folder) {
        const auto known = deletedBelow.find(folder);
        if (known != deletedBelow.end()) return known->second;
        const std::string prefix = folder == "/" ? folder : folder + "/";
        const auto under = [&prefix](const std::vector<std::string>& files) {
            return std::count_if(files.begin(), files.end(), [&prefix](const std::string& file) {
                return file.compare(0, prefix.size(), prefix) == 0;
            });
        };
        const bool there = under(stationPresent) > under(stationMissing);
        deletedBelow.emplace(folder, there);
        return there;
    };
    std::vector<std::string> inFoldersThere;
    for (const std::string& file : missingFiles) {
        const std::string folder = FolderOf(file);
        if (folder.empty() || FolderReachable(folder)) {
            inFoldersThere.push_back(file);
            continue;
        }
        const std::string highest = HighestUnreachable(folder);
        if (!mostlyThere(FolderOf(highest))) return highest;
    }
    // Folders there, but more than half of the playlist's songs not: a share showing no files.
    if (!inFoldersThere.empty() && 2 * inFoldersThere.size() > songLines) {
        const std::string shared = SharedFolder(inFoldersThere);
        return shared.empty() ? std::string("/") : shared;
    }
    return std::string();
}

std::string MusicFolderAwayMessage(const std::string& folder) {
    return "The music folder " + folder + " cannot be reached; nothing was changed.";
}

}  // namespace kestrune
