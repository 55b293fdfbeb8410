#pragma once
// A read-only file read at given offsets, one system call per read.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrune {

class RandomAccessFile {
public:
    RandomAccessFile() = default;
    ~RandomAccessFile();
    RandomAccessFile(const RandomAccessFile&) = delete;
    RandomAccessFile& operator=(const RandomAccessFile&) = delete;

    // 0 on success, else the system's error code.
    int Open(const std::string& path);
    void Close();
    bool IsOpen() const;
    int64_t Size() const { return size_; }

    // Reads up to `count` bytes at `offset`; the number read, or -1 on an error.
    long long ReadAt(int64_t offset, void* buffer, size_t count) const;

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    int64_t size_ = 0;
};

}  // namespace kestrune
