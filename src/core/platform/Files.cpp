#include "platform/Files.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/FileInternals.h"
#include "platform/FileTrace.h"
#include "platform/KestruneError.h"
#include "platform/LocalTime.h"
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

namespace detail {

bool WritableByUs(const std::string& path) {
#ifdef _WIN32
    return _access(path.c_str(), 2) == 0;
#else
    return ::access(path.c_str(), W_OK) == 0;
#endif
}

bool IsFile(const std::string& path) {
    StatBuf buf{};
    return StatPath(path, &buf) == 0 && !IsDirMode(buf.st_mode);
}

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
    // Opened without waiting, so that a named pipe never holds the command in the open; then
    // only a regular file of a sane size is read. A pipe with a writer would hold it in the
    // read instead, and a device such as /dev/zero never ends.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw errors::CannotOpenFile(path);
    StatBuf status{};
    if (::fstat(fd, &status) != 0 || IsDirMode(status.st_mode)) {
        ::close(fd);
        throw errors::CannotOpenFile(path);
    }
    if (!IsRegMode(status.st_mode)) {
        ::close(fd);
        throw errors::NotARegularFile(path);
    }
    if (status.st_size > kMaxReadBytes) {
        ::close(fd);
        throw errors::FileTooLarge(path);
    }
    // Read straight into a buffer of the file's size and one byte more, where the read that
    // finds the end lands; reading goes on to the end also when the file grew, up to the limit.
    std::string bytes(static_cast<size_t>(status.st_size) + 1, '\0');
    size_t used = 0;
    bool ok = true;
    bool tooLarge = false;
    for (;;) {
        if (used == bytes.size()) {
            if (bytes.size() > static_cast<size_t>(kMaxReadBytes)) {
                tooLarge = true;
                break;
            }
            bytes.resize(2 * bytes.size());
        }
        const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        used += static_cast<size_t>(got);
    }
    ::close(fd);
    if (tooLarge) throw errors::FileTooLarge(path);
    if (!ok) throw errors::CannotOpenFile(path);
    bytes.resize(used);
    return bytes;
#endif
}

}  // namespace detail

using namespace detail;

bool FileExists(const std::string& path) {
    RecordFileEvent(FileOp::Status, path);
    return IsFile(path);
}

bool DirectoryExists(const std::string& path) {
    RecordFileEvent(FileOp::Status, path);
    StatBuf buf{};
    return StatPath(path, &buf) == 0 && IsDirMode(buf.st_mode);
}

bool FolderSearchable(const std::string& folder) {
#ifdef _WIN32
    return DirectoryExists(folder);
#else
    return ::access(folder.c_str(), R_OK | X_OK) == 0;
#endif
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(std::filesystem::u8path(a),
                                                  std::filesystem::u8path(b), error);
    if (!error) return same;
    const std::string fullA = ExpandFileName(a), fullB = ExpandFileName(b);
    return kNativePathStyle == PathStyle::Windows ? CompareTextNoCase(fullA, fullB) == 0
                                                  : fullA == fullB;
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
    status.dosDateTime = PackDosDateTime(LocalFieldsOf(static_cast<int64_t>(buf.st_mtime) * 1000));
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

std::string FolderIdentity(const std::string& folder) {
#ifndef _WIN32
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return std::string();
    return std::to_string(static_cast<unsigned long long>(st.st_dev)) + ":" +
           std::to_string(static_cast<unsigned long long>(st.st_ino));
#else
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(folder, ec);
    return ec ? std::string() : real.string();
#endif
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes = ReadBytes(path);
    RecordFileEvent(FileOp::ReadWhole, path, 0, static_cast<int64_t>(bytes.size()));
    return bytes;
}

}  // namespace kestrune
