#include "platform/FileReplace.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "platform/FileInternals.h"
#include "platform/FileTrace.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kestrune {

using namespace detail;

struct TemporaryReuse::Kept {
    std::unordered_set<std::string> temps;  // temporary names that hold an old body of ours
    bool exchanges = true;                  // false once the system refused to swap two names
};

namespace {

namespace fs = std::filesystem;

thread_local TemporaryReuse::Kept* activeReuse = nullptr;

// Follows symbolic links, so that the rename replaces the file the link names, not the link.
// `status` gets the status of what the answer names; `found` tells whether anything does. A
// plain file costs one lstat.
std::string ResolveLinks(const std::string& path, StatBuf& status, bool& found) {
    fs::path current(path);
    for (int hops = 0; hops < 40; ++hops) {
#ifdef _WIN32
        std::error_code ec;
        if (!fs::is_symlink(current, ec)) break;
#else
        if (::lstat(current.c_str(), &status) != 0) {
            found = false;
            return current.string();
        }
        if (!S_ISLNK(status.st_mode)) {
            found = true;
            return current.string();
        }
        std::error_code ec;
#endif
        const fs::path target = fs::read_symlink(current, ec);
        if (ec) break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    found = StatPath(current.string(), &status) == 0;
    return current.string();
}

constexpr std::string_view kTemporarySuffix = ".kestrune-tmp";

struct StationWriteRules {
    std::mutex mutex;
    std::vector<std::string> folders;             // with links resolved
    std::unordered_set<std::string> cleared;      // folders whose leftovers are gone
};

StationWriteRules& Rules() {
    static StationWriteRules rules;
    return rules;
}

// The path with every link and "." or ".." resolved as far as it exists; empty when the
// system cannot tell.
std::string RealPath(const fs::path& path) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(path.empty() ? fs::path(".") : path, ec);
    if (ec) return std::string();
    std::string text = real.generic_string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

bool IsInside(const std::string& path, const std::string& folder) {
    if (path.empty() || folder.empty()) return false;
    if (path == folder || folder == "/") return true;
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

// Whether a write through the link at `link` may change `target`: only a file of the
// station's own folders, or of the folder the link stands in.
bool LinkTargetAllowed(const std::string& link, const std::string& target) {
    const std::string real = RealPath(fs::u8path(target));
    if (IsInside(real, RealPath(fs::u8path(link).parent_path()))) return true;
    StationWriteRules& rules = Rules();
    const std::lock_guard<std::mutex> hold(rules.mutex);
    for (const std::string& folder : rules.folders)
        if (IsInside(real, folder)) return true;
    return false;
}

// The refusals that come before any write: a link that leads out, a file that is not one.
void CheckResolved(const std::string& path, const std::string& target, const StatBuf& status,
                   bool exists) {
    if (target != path && !LinkTargetAllowed(path, target))
        throw errors::LinkLeadsOut(path, target);
    if (exists && !IsDirMode(status.st_mode) && !IsRegMode(status.st_mode))
        throw errors::NotARegularFile(path);
}

#ifdef _WIN32
bool WriteAll(std::FILE* file, const std::string& bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return false;
    return std::fflush(file) == 0;
}
#endif

#ifndef _WIN32
// All of `bytes` from the start of the file, whatever the system takes per call.
bool WriteAt(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}
#endif

// Writes the file where it stands, for folders that take no new file. The old bytes are put
// back when the new ones do not fit (a full disk, a file-size limit), so a failed write leaves
// the old file whole; only a process killed in the middle of it can leave a mixture.
void WriteInPlace(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw errors::CannotCreateFile(path);
    const bool written = WriteAll(file, bytes);
    if (std::fclose(file) != 0 || !written) throw errors::CannotCreateFile(path);
#else
    std::optional<std::string> old;
    if (IsFile(path)) {
        try {
            old = ReadBytes(path);
        } catch (const KestruneError&) {
            old.reset();  // a file we may write but not read: nothing to put back
        }
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) throw errors::CannotCreateFile(path);
    bool done = WriteAt(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    if (!done && old) {
        // The old bytes fit where they stood before.
        if (WriteAt(fd, *old)) ::ftruncate(fd, static_cast<off_t>(old->size()));
    }
    if (::close(fd) != 0) done = false;
    if (!done) throw errors::CannotCreateFile(path);
#endif
}

#ifndef _WIN32
// The temporary file of a target: always the same name, so that a writer killed half-way
// leaves at most one leftover, which the next write of the same file takes over.
std::string TemporaryName(const std::string& target) {
    return ExtractFilePath(target) + "." + ExtractFileName(target) + std::string(kTemporarySuffix);
}

// Whether `name` still names the file open as `fd` (not removed, renamed or replaced since);
// `held` gets that file's status.
bool StillNamed(int fd, const std::string& name, StatBuf& held) {
    StatBuf named{};
    return ::fstat(fd, &held) == 0 && ::lstat(name.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool StillNamed(int fd, const std::string& name) {
    StatBuf held{};
    return StillNamed(fd, name, held);
}

// Removes `name` if it still names the file open as `fd`; false when the folder refused.
bool RemoveIfStillNamed(int fd, const std::string& name) {
    return !StillNamed(fd, name) || ::unlink(name.c_str()) == 0 || errno == ENOENT;
}

enum class TempOutcome { Ready, FolderTakesNoFile, Failed };

// Creates the temporary file and locks it for as long as `fd` stays open. A leftover of a
// writer that died is removed first; a live writer of the same file is waited for. The lock
// makes the two cases tell themselves apart: the system drops it when its holder dies.
TempOutcome CreateTemporary(const std::string& temp, int& fd) {
    // A turn lost to another writer that got its file written is no failure: only the turns in
    // which nobody got anywhere count towards giving up.
    for (int attempt = 0, fruitless = 0; fruitless < 100 && attempt < 100000;
         ++attempt, ++fruitless) {
        fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            if (::flock(fd, LOCK_EX) == 0 && StillNamed(fd, temp)) return TempOutcome::Ready;
            // Taken for a leftover and removed by another writer before we held it: again.
            ::close(fd);
            continue;
        }
        if (errno == EACCES || errno == EROFS || errno == EPERM || errno == ENAMETOOLONG)
            return TempOutcome::FolderTakesNoFile;
        if (errno != EEXIST) return TempOutcome::Failed;
        const int other = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (other < 0) {
            if (errno == ENOENT) {
                fruitless = -1;  // another writer's file got its name meanwhile
                continue;
            }
            // Not ours to read, so not a write of ours under way: it goes.
            if (::unlink(temp.c_str()) != 0 && errno != ENOENT)
                return TempOutcome::FolderTakesNoFile;
            continue;
        }
        if (::flock(other, LOCK_EX | LOCK_NB) == 0) {
            // Nobody holds it: its writer died. Remove it unless it was renamed meanwhile.
            if (!RemoveIfStillNamed(other, temp)) {
                ::close(other);
                return TempOutcome::FolderTakesNoFile;  // a leftover in a folder now closed
            }
        } else {
            ::flock(other, LOCK_EX);  // a live writer of the same file: wait for its end
            fruitless = -1;
        }
        ::close(other);
    }
    return TempOutcome::Failed;
}

// Opens and locks the old body kept at `temp` by this command, to be written over. False when
// it is gone, another writer holds it, or it is no longer a plain file of one name (writing
// over a file with a second name would change that other file).
bool OpenKept(const std::string& temp, int& fd) {
    fd = ::open(temp.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    StatBuf mine{};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, temp, mine) &&
        IsRegMode(mine.st_mode) && mine.st_nlink == 1)
        return true;
    ::close(fd);
    fd = -1;
    return false;
}

// Puts the new body under the target's name and, where the system can swap two names in one
// step, the old body under the temporary's, kept for the next write of the same file.
bool ExchangeIntoPlace(const std::string& temp, const std::string& target,
                       TemporaryReuse::Kept& reuse) {
#ifdef RENAME_EXCHANGE
    if (reuse.exchanges) {
        if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
            reuse.temps.insert(temp);
            return true;
        }
        if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) reuse.exchanges = false;
    }
#endif
    return std::rename(temp.c_str(), target.c_str()) == 0;
}

// The process's file-mode mask, read where the system shows it: setting it to read it back
// would change it for every thread meanwhile.
mode_t ProcessUmask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            unsigned mask = 0;
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                std::fclose(status);
                return static_cast<mode_t>(mask & 0777);
            }
        }
        std::fclose(status);
    }
    return 022;  // the usual mask, where the system does not show it
}

// Removes a kept old body unless another writer has taken its name meanwhile.
void RemoveKept(const std::string& temp) {
    const int fd = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) RemoveIfStillNamed(fd, temp);
    ::close(fd);
}

// The folder's leftovers, once per folder and process: before the first write there, when
// none of this process's own temporaries can be among them.
void ClearLeftoversOnce(const std::string& folder) {
    StationWriteRules& rules = Rules();
    {
        const std::lock_guard<std::mutex> hold(rules.mutex);
        if (!rules.cleared.insert(folder).second) return;
    }
    ClearLeftoverTemporaries(folder.empty() ? std::string(".") : folder);
}
#endif

}  // namespace

void SetStationFolders(std::vector<std::string> folders) {
    std::vector<std::string> real;
    for (const std::string& folder : folders)
        if (!folder.empty()) real.push_back(RealPath(fs::u8path(folder)));
    StationWriteRules& rules = Rules();
    const std::lock_guard<std::mutex> hold(rules.mutex);
    rules.folders = std::move(real);
}

void CheckReplaceable(const std::string& path) {
    StatBuf status{};
    bool exists = false;
    const std::string target = ResolveLinks(path, status, exists);
    CheckResolved(path, target, status, exists);
}

size_t ClearLeftoverTemporaries(const std::string& folder) {
    size_t removed = 0;
#ifndef _WIN32
    for (const DirEntry& entry : ListDirectory(folder)) {
        const std::string& name = entry.name;
        if (!entry.isRegularFile || name.size() <= kTemporarySuffix.size() + 1 || name[0] != '.' ||
            name.compare(name.size() - kTemporarySuffix.size(), kTemporarySuffix.size(),
                         kTemporarySuffix) != 0)
            continue;
        const std::string temp = JoinPath(folder, name);
        const int fd = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        // A live writer holds its temporary locked; a dead one's lock went with it.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, temp) &&
            ::unlink(temp.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
#else
    (void)folder;
#endif
    return removed;
}

TemporaryReuse::TemporaryReuse() : kept_(std::make_unique<Kept>()), outer_(activeReuse) {
    activeReuse = kept_.get();
}

TemporaryReuse::~TemporaryReuse() {
    activeReuse = outer_;
#ifndef _WIN32
    for (const std::string& temp : kept_->temps) RemoveKept(temp);
#endif
}

void ReplaceWholeFile(const std::string& path, const std::string& bytes, Sync sync) {
    StatBuf status{};
    bool exists = false;
    const std::string target = ResolveLinks(path, status, exists);
    CheckResolved(path, target, status, exists);
    if (exists && IsDirMode(status.st_mode)) throw errors::CannotCreateFile(path);
    // A file the user made read-only stays as it is, as a plain write would leave it.
    if (exists && !WritableByUs(target)) throw errors::CannotCreateFile(path);
#ifdef _WIN32
    static_cast<void>(sync);  // the system's own write-back, as before
    const std::string temp = target + ".kestrune-tmp";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) {
        WriteInPlace(path, bytes);
        RecordFileEvent(FileOp::ReplaceWhole, path, 0, static_cast<int64_t>(bytes.size()));
        return;
    }
    const bool written = WriteAll(file, bytes);
    if (std::fclose(file) != 0 || !written ||
        !MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        std::remove(temp.c_str());
        throw errors::CannotCreateFile(path);
    }
#else
    ClearLeftoversOnce(ExtractFilePath(target));
    const std::string temp = TemporaryName(target);
    TemporaryReuse::Kept* reuse = exists && IsRegMode(status.st_mode) ? activeReuse : nullptr;
    int fd = -1;
    const bool overKept = reuse != nullptr && reuse->temps.count(temp) != 0 && OpenKept(temp, fd);
    if (reuse != nullptr && !overKept) reuse->temps.erase(temp);
    switch (overKept ? TempOutcome::Ready : CreateTemporary(temp, fd)) {
        case TempOutcome::Ready:
            break;
        case TempOutcome::FolderTakesNoFile:
            WriteInPlace(path, bytes);  // the folder takes no new file: the old way
            RecordFileEvent(FileOp::ReplaceWhole, path, 0, static_cast<int64_t>(bytes.size()));
            return;
        case TempOutcome::Failed:
            throw errors::CannotCreateFile(path);
    }
    const mode_t mode = exists ? status.st_mode & 07777 : 0666 & ~ProcessUmask();
    // A file system without modes (FAT, some shares) says so; any other refusal fails the write
    // rather than leave the file open to others or closed to its owner.
    if (::fchmod(fd, mode) != 0 && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EPERM) {
        ::unlink(temp.c_str());
        ::close(fd);
        throw errors::CannotCreateFile(path);
    }
    // The lock lives as long as one descriptor of the file is open: `lock` keeps it until the
    // file has its new name.
    const int lock = ::dup(fd);
    if (lock < 0) {
        ::unlink(temp.c_str());
        ::close(fd);
        throw errors::CannotCreateFile(path);
    }
    // Straight from the caller's bytes: no second copy in a stream buffer.
    // A kept old body is longer than the new bytes only when the file shrank.
    const bool written =
        WriteAt(fd, bytes) &&
        (!overKept || ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0) &&
        (sync == Sync::Later || ::fsync(fd) == 0);
    const bool closed = ::close(fd) == 0;
    const bool placed = written && closed &&
                        (reuse != nullptr ? ExchangeIntoPlace(temp, target, *reuse)
                                          : std::rename(temp.c_str(), target.c_str()) == 0);
    if (!placed) {
        ::unlink(temp.c_str());
        if (reuse != nullptr) reuse->temps.erase(temp);
    }
    ::close(lock);
    if (!placed) throw errors::CannotCreateFile(path);
    if (sync == Sync::ToDisk) SyncFolderOf(target);
#endif
    RecordFileEvent(FileOp::ReplaceWhole, path, 0, static_cast<int64_t>(bytes.size()),
                    sync == Sync::ToDisk);
}

void SyncFolderOf(const std::string& path) {
#ifndef _WIN32
    const std::string folder = ExtractFilePath(path);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    static_cast<void>(path);
#endif
}

}  // namespace kestrune
