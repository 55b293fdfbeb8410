#pragma once
// A record of what the core asks of the file system: which files it tests, reads whole and
// replaces whole, and which blocks of which files it reads. Nothing is recorded unless a trace
// is installed. Tests use it to check that a command still does every read and write it must;
// benchmarks replay it as plainly as the system allows, as the floor a command is measured
// against.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

enum class FileOp : uint8_t {
    Status,        // a file's existence or status asked (FileExists, GetFileStatus, ...)
    ReadWhole,     // a whole file read; bytes = its length
    ReplaceWhole,  // a file replaced whole; bytes = the new length
    Open,          // opened for block reads
    ReadBlock,     // a block of the file opened last: offset, bytes asked for
    Close,         // the file opened last closed
};

struct FileEvent {
    FileOp op = FileOp::Status;
    std::string path;  // empty for ReadBlock and Close
    int64_t offset = 0;
    int64_t bytes = 0;
    bool synced = false;  // ReplaceWhole: flushed to the disk, file and folder, before the rename
};

using FileTrace = std::vector<FileEvent>;

// Installs the list that the file layer appends to; null stops the recording.
void SetFileTrace(FileTrace* trace);

namespace detail {
inline FileTrace* activeFileTrace = nullptr;
void AppendFileEvent(FileOp op, std::string_view path, int64_t offset, int64_t bytes,
                     bool synced);
}  // namespace detail

inline void RecordFileEvent(FileOp op, std::string_view path, int64_t offset = 0,
                            int64_t bytes = 0, bool synced = false) {
    if (detail::activeFileTrace != nullptr)
        detail::AppendFileEvent(op, path, offset, bytes, synced);
}

}  // namespace kestrune
