#include "platform/Files.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "platform/FileTrace.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kestrune {

namespace {

#ifdef _WIN32
using StatBuf = struct _stat64;
int StatPath(const std::string& path, StatBuf* buf) {
    return _stat64(path.c_str(), buf);
}
bool IsDirMode(unsigned mode) {
    return (mode & _S_IFMT) == _S_IFDIR;
}
bool IsRegMode(unsigned mode) {
    return (mode & _S_IFMT) == _S_IFREG;
}
#else
using StatBuf = struct stat;
int StatPath(const std::string& path, StatBuf* buf) {
    return ::stat(path.c_str(), buf);
}
bool IsDirMode(mode_t mode) {
    return S_ISDIR(mode);
}
bool IsRegMode(mode_t mode) {
    return S_ISREG(mode);
}
#endif

LocalDateTime ToLocal(std::time_t t) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return LocalDateTime{local.tm_year + 1900,
                         local.tm_mon + 1,
                         local.tm_mday,
                         local.tm_hour,
                         local.tm_min,
                         local.tm_sec,
                         0};
}

bool WritableByUs(const std::string& path) {
#ifdef _WIN32
    return _access(path.c_str(), 2) == 0;
#else
    return ::access(path.c_str(), W_OK) == 0;
#endif
}

// Follows symbolic links, so that the rename replaces the file the link names, not the link.
// `status` gets the status of what the answer names; `found` tells whether anything does. A
// plain file costs one lstat.
std::string ResolveLinks(const std::string& path, StatBuf& status, bool& found) {
    namespace fs = std::filesystem;
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

// Existence without a record in the trace: the file layer's own look before a write.
bool IsFile(const std::string& path) {
    StatBuf buf{};
    return StatPath(path, &buf) == 0 && !IsDirMode(buf.st_mode);
}

// The whole file as bytes; "Cannot open file %s" when it cannot be read.
std::string ReadBytes(const std::string& path) {
#ifdef _WIN32
    StatBuf status{};
    if (StatPath(path, &status) == 0 && IsDirMode(status.st_mode))
        throw errors::CannotOpenFile(path);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) throw errors::CannotOpenFile(path);
    std::string bytes;
    char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) throw errors::CannotOpenFile(path);
    return bytes;
#else
    // Opened without waiting: a named pipe that nobody writes to reads as an empty file instead
    // of holding the command in the open for ever. After the open, reads of anything but a
    // regular file wait as usual, so a pipe that has a writer gives all it is sent.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw errors::CannotOpenFile(path);
    StatBuf status{};
    bool ok = ::fstat(fd, &status) == 0 && !IsDirMode(status.st_mode);
    const bool regular = ok && IsRegMode(status.st_mode);
    if (ok && !regular) {
        const int flags = ::fcntl(fd, F_GETFL);
        ok = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
    }
    // A regular file is read straight into a buffer of its size and one byte more, where the
    // read that finds the end lands; reading goes on to the end also when the file grew.
    std::string bytes;
    size_t used = 0;
    if (ok) {
        bytes.resize(regular ? static_cast<size_t>(status.st_size) + 1 : 65536);
        for (;;) {
            if (used == bytes.size()) bytes.resize(2 * bytes.size());
            const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) ok = false;
            if (got <= 0) break;
            used += static_cast<size_t>(got);
        }
    }
    ::close(fd);
    if (!ok) throw errors::CannotOpenFile(path);
    bytes.resize(used);
    return bytes;
#endif
}

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
    return ExtractFilePath(target) + "." + ExtractFileName(target) + ".kestrune-tmp";
}

bool SameFile(const StatBuf& a, const StatBuf& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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
            StatBuf mine{};
            StatBuf named{};
            if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &mine) == 0 &&
                ::lstat(temp.c_str(), &named) == 0 && SameFile(mine, named)) {
                return TempOutcome::Ready;
            }
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
            StatBuf held{};
            StatBuf named{};
            if (::fstat(other, &held) == 0 && ::lstat(temp.c_str(), &named) == 0 &&
                SameFile(held, named) && ::unlink(temp.c_str()) != 0 && errno != ENOENT) {
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
#endif

}  // namespace

bool FileExists(const std::string& path) {
    RecordFileEvent(FileOp::Status, path);
    return IsFile(path);
}

bool DirectoryExists(const std::string& path) {
    RecordFileEvent(FileOp::Status, path);
    StatBuf buf{};
    return StatPath(path, &buf) == 0 && IsDirMode(buf.st_mode);
}

int32_t PackDosDateTime(const LocalDateTime& t) {
    if (t.year < 1980 || t.year > 2107) return -1;
    const uint32_t date = (static_cast<uint32_t>(t.year - 1980) << 9) |
                          (static_cast<uint32_t>(t.month) << 5) | static_cast<uint32_t>(t.day);
    const uint32_t time = (static_cast<uint32_t>(t.hour) << 11) |
                          (static_cast<uint32_t>(t.minute) << 5) |
                          static_cast<uint32_t>(t.second / 2);
    return static_cast<int32_t>((date << 16) | time);
}

std::optional<FileStatus> GetFileStatus(const std::string& path) {
    RecordFileEvent(FileOp::Status, path);
    StatBuf buf{};
    if (StatPath(path, &buf) != 0) return std::nullopt;
    FileStatus status;
    status.size = static_cast<int64_t>(buf.st_size);
    status.isDirectory = IsDirMode(buf.st_mode);
    status.dosDateTime = PackDosDateTime(ToLocal(static_cast<std::time_t>(buf.st_mtime)));
    uint16_t attr = 0;
    if (!WritableByUs(path)) attr |= kAttrReadOnly;
    const std::string name = ExtractFileName(path);
    if (!name.empty() && name[0] == '.') attr |= kAttrHidden;
    if (status.isDirectory) attr |= kAttrDirectory;
    if (IsRegMode(buf.st_mode)) attr |= kAttrArchive;
    status.attributes = attr;
    return status;
}

std::vector<DirEntry> ListDirectory(const std::string& folder) {
    std::vector<DirEntry> entries;
#ifdef _WIN32
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        DirEntry entry;
        entry.name = it->path().filename().string();
        entry.isDirectory = it->is_directory(ec);
        entry.isRegularFile = it->is_regular_file(ec);
        entry.isHidden = !entry.name.empty() && entry.name[0] == '.';
        entries.push_back(std::move(entry));
    }
#else
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return entries;
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name == "." || name == "..") continue;
        DirEntry entry;
        entry.name = name;
        entry.isHidden = name[0] == '.';
        if (item->d_type == DT_DIR || item->d_type == DT_REG) {
            entry.isDirectory = item->d_type == DT_DIR;
            entry.isRegularFile = item->d_type == DT_REG;
        } else {
            // Links and file systems that do not say: ask the file itself.
            StatBuf buf{};
            if (StatPath(JoinPath(folder, name), &buf) == 0) {
                entry.isDirectory = IsDirMode(buf.st_mode);
                entry.isRegularFile = IsRegMode(buf.st_mode);
            }
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
#endif
    return entries;
}

std::string CurrentDirectory() {
    std::error_code ec;
    const auto current = std::filesystem::current_path(ec);
    return ec ? std::string() : current.string();
}

std::string ExecutablePath() {
#ifdef _WIN32
    char buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
#else
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
#endif
}

bool RemoveFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes = ReadBytes(path);
    RecordFileEvent(FileOp::ReadWhole, path, 0, static_cast<int64_t>(bytes.size()));
    return bytes;
}

void ReplaceWholeFile(const std::string& path, const std::string& bytes) {
    StatBuf status{};
    bool exists = false;
    const std::string target = ResolveLinks(path, status, exists);
    if (exists && IsDirMode(status.st_mode)) throw errors::CannotCreateFile(path);
    // A file the user made read-only stays as it is, as a plain write would leave it.
    if (exists && !WritableByUs(target)) throw errors::CannotCreateFile(path);
#ifdef _WIN32
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
    const std::string temp = TemporaryName(target);
    int fd = -1;
    switch (CreateTemporary(temp, fd)) {
        case TempOutcome::Ready:
            break;
        case TempOutcome::FolderTakesNoFile:
            WriteInPlace(path, bytes);  // the folder takes no new file: the old way
            RecordFileEvent(FileOp::ReplaceWhole, path, 0, static_cast<int64_t>(bytes.size()));
            return;
        case TempOutcome::Failed:
            throw errors::CannotCreateFile(path);
    }
    mode_t mode = 0;
    if (exists) {
        mode = status.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    // The lock lives as long as one descriptor of the file is open: `lock` keeps it until the
    // file has its new name.
    const int lock = ::dup(fd);
    if (lock < 0) {
        ::unlink(temp.c_str());
        ::close(fd);
        throw errors::CannotCreateFile(path);
    }
    // Straight from the caller's bytes: no second copy in a stream buffer.
    const bool written = WriteAt(fd, bytes);
    const bool closed = ::close(fd) == 0;
    const bool renamed = written && closed && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!renamed) ::unlink(temp.c_str());
    ::close(lock);
    if (!renamed) throw errors::CannotCreateFile(path);
#endif
    RecordFileEvent(FileOp::ReplaceWhole, path, 0, static_cast<int64_t>(bytes.size()));
}

}  // namespace kestrune
