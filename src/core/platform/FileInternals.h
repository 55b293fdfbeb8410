#pragma once
// What the two halves of the file layer share: status in the platform's own form, and the
// plain reads and tests that record nothing in the trace.

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

namespace kestrune::detail {

#ifdef _WIN32
using StatBuf = struct _stat64;
inline int StatPath(const std::string& path, StatBuf* buf) {
    return _stat64(path.c_str(), buf);
}
inline bool IsDirMode(unsigned mode) {
    return (mode & _S_IFMT) == _S_IFDIR;
}
inline bool IsRegMode(unsigned mode) {
    return (mode & _S_IFMT) == _S_IFREG;
}
#else
using StatBuf = struct stat;
inline int StatPath(const std::string& path, StatBuf* buf) {
    return ::stat(path.c_str(), buf);
}
inline bool IsDirMode(mode_t mode) {
    return S_ISDIR(mode);
}
inline bool IsRegMode(mode_t mode) {
    return S_ISREG(mode);
}
#endif

bool WritableByUs(const std::string& path);
// Existence without a record in the trace: the file layer's own look before a write.
bool IsFile(const std::string& path);
// The most a station file (playlist, session, grid, history) may hold: far beyond any real
// list, far below what would exhaust memory.
inline constexpr long long kMaxReadBytes = 256LL * 1024 * 1024;

// The whole file as bytes; "Cannot open file %s" when it cannot be read, and refused by name
// when it is no regular file or is larger than kMaxReadBytes.
std::string ReadBytes(const std::string& path);

}  // namespace kestrune::detail
