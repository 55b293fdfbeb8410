#pragma once
// The file system as the core sees it: existence, status, listing, whole-file reads and
// whole-file replacement that never leaves a half-written file behind.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/FileReplace.h"

namespace kestrune {

// Attribute bits in the DOS form that the MP3 reader reports.
inline constexpr uint16_t kAttrReadOnly = 0x01;
inline constexpr uint16_t kAttrHidden = 0x02;
inline constexpr uint16_t kAttrDirectory = 0x10;
inline constexpr uint16_t kAttrArchive = 0x20;  // an ordinary file

struct FileStatus {
    int64_t size = 0;
    int32_t dosDateTime = -1;  // last change, packed DOS form; -1 when it has none
    uint16_t attributes = 0;
    bool isDirectory = false;
};

struct DirEntry {
    std::string name;
    bool isDirectory = false;
    bool isRegularFile = false;
    bool isHidden = false;  // the name begins with "."
};

// An existing file that is not a folder (symbolic links followed).
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// The folder's files can be reached and its listing read by us (false when it is not there).
bool FolderSearchable(const std::string& folder);
// True when both paths name one file: the same file on disk (links and "." or ".." followed),
// or, where either does not exist yet, the same full path.
bool SameFile(const std::string& a, const std::string& b);
std::optional<FileStatus> GetFileStatus(const std::string& path);

// Packs a local time into the DOS date stamp; -1 outside 1980..2107.
int32_t PackDosDateTime(const LocalDateTime& time);

// Every entry of a folder but "." and "..", in the order the system gives; empty when the
// folder cannot be read.
std::vector<DirEntry> ListDirectory(const std::string& folder);

// What tells a folder apart from every other, whatever link it is reached by: its device and
// inode number where the system has them, its path with links resolved elsewhere. Empty when
// the folder cannot be looked at.
std::string FolderIdentity(const std::string& folder);

std::string CurrentDirectory();
// The running program's own full path; empty when the system does not tell.
std::string ExecutablePath();
bool RemoveFile(const std::string& path);

// The whole file as bytes; "Cannot open file %s" when it cannot be read. A pipe, a device or
// a socket, and a file larger than 256 MB, are refused with a message naming the file.
std::string ReadWholeFile(const std::string& path);

}  // namespace kestrune
