#include "platform/RandomAccessFile.h"

#include <cerrno>

#include "platform/FileTrace.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrune {

RandomAccessFile::~RandomAccessFile() {
    Close();
}

#ifdef _WIN32

int RandomAccessFile::Open(const std::string& path) {
    Close();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) {
        const int code = static_cast<int>(GetLastError());
        CloseHandle(h);
        return code;
    }
    handle_ = h;
    size_ = size.QuadPart;
    RecordFileEvent(FileOp::Open, path);
    return 0;
}

void RandomAccessFile::Close() {
    if (handle_ != nullptr) {
        CloseHandle(static_cast<HANDLE>(handle_));
        RecordFileEvent(FileOp::Close, {});
    }
    handle_ = nullptr;
    size_ = 0;
}

bool RandomAccessFile::IsOpen() const {
    return handle_ != nullptr;
}

long long RandomAccessFile::ReadAt(int64_t offset, void* buffer, size_t count) const {
    RecordFileEvent(FileOp::ReadBlock, {}, offset, static_cast<int64_t>(count));
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), buffer, static_cast<DWORD>(count), &got, &at))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return got;
}

#else

int RandomAccessFile::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat buf {};
    if (::fstat(fd, &buf) != 0) {
        const int code = errno;
        ::close(fd);
        return code;
    }
    fd_ = fd;
    size_ = buf.st_size;
    RecordFileEvent(FileOp::Open, path);
    return 0;
}

void RandomAccessFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        RecordFileEvent(FileOp::Close, {});
    }
    fd_ = -1;
    size_ = 0;
}

bool RandomAccessFile::IsOpen() const {
    return fd_ >= 0;
}

long long RandomAccessFile::ReadAt(int64_t offset, void* buffer, size_t count) const {
    RecordFileEvent(FileOp::ReadBlock, {}, offset, static_cast<int64_t>(count));
    size_t total = 0;
    while (total < count) {
        const ssize_t got = ::pread(fd_, static_cast<char*>(buffer) + total, count - total,
                                    static_cast<off_t>(offset + static_cast<int64_t>(total)));
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        total += static_cast<size_t>(got);
    }
    return static_cast<long long>(total);
}

#endif

}  // namespace kestrune
