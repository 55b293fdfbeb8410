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

// The folder can be reached and lists at least one entry. An unmounted drive leaves its mount
// point there but empty, so an empty folder never vouches for the songs that were in it.
bool FolderShowsFiles(const std::string& folder) {
    if (!FolderReachable(folder)) return false;
    std::error_code error;
    const fs::directory_iterator entries(fs::u8path(folder), error);
    return !error && entries != fs::directory_iterator();
}

// The nearest folder at or above `folder` that exists; empty when none does.
std::string NearestExisting(std::string folder) {
    while (!folder.empty() && !DirectoryExists(folder)) {
        const std::string parent = FolderOf(folder);
        if (parent == folder) return std::string();
        folder = parent;
    }
    return folder;
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
                                  const std::vector<std::string>& stationMissing,
                                  bool fewFilesIsAway) {
    // Most of the station's songs under a folder there: a folder gone below it was deleted.
    std::map<std::string, bool> mostlyThereKnown;
    const auto mostlyThere = [&](const std::string& folder) {
        const auto known = mostlyThereKnown.find(folder);
        if (known != mostlyThereKnown.end()) return known->second;
        const std::string prefix = folder == "/" ? folder : folder + "/";
        const auto under = [&prefix](const std::vector<std::string>& files) {
            return std::count_if(files.begin(), files.end(), [&prefix](const std::string& file) {
                return file.compare(0, prefix.size(), prefix) == 0;
            });
        };
        const bool there = under(stationPresent) > under(stationMissing);
        mostlyThereKnown.emplace(folder, there);
        return there;
    };
    // Per folder of a missing song: whether it is there, and the folder to name when it is not
    // and its library is away ("" when the folder was deleted).
    struct Verdict {
        bool there = false;
        std::string away;
    };
    std::map<std::string, Verdict> known;
    const auto judge = [&](const std::string& folder) -> const Verdict& {
        if (const auto found = known.find(folder); found != known.end()) return found->second;
        Verdict verdict;
        verdict.there = FolderShowsFiles(folder);
        if (!verdict.there) {
            // Gone, unreadable or empty. Only a folder gone from one that is there and shows
            // files, with most of the station's songs under it there, was deleted (an album);
            // an empty or unreadable folder on the way is a drive or a share away.
            const std::string existing = NearestExisting(folder);
            const bool deleted = !existing.empty() && existing != folder &&
                                 FolderShowsFiles(existing) && mostlyThere(existing);
            if (!deleted) verdict.away = FolderReachable(folder) ? folder : HighestUnreachable(folder);
        }
        return known.emplace(folder, std::move(verdict)).first->second;
    };
    std::vector<std::string> inFoldersThere;
    for (const std::string& file : missingFiles) {
        const std::string folder = FolderOf(file);
        if (folder.empty()) {
            inFoldersThere.push_back(file);
            continue;
        }
        const Verdict& verdict = judge(folder);
        if (!verdict.away.empty()) return verdict.away;
        if (verdict.there) inFoldersThere.push_back(file);
    }
    // Folders there, but more than half of the playlist's songs not: a share showing few files.
    if (fewFilesIsAway && !inFoldersThere.empty() && 2 * inFoldersThere.size() > songLines) {
        const std::string shared = SharedFolder(inFoldersThere);
        return shared.empty() ? std::string("/") : shared;
    }
    return std::string();
}

std::string MusicFolderAwayMessage(const std::string& folder) {
    return "The music folder " + folder + " cannot be reached; nothing was changed.";
}

}  // namespace kestrune
