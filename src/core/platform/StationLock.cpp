#include "platform/StationLock.h"

#include <cstdlib>
#include <thread>

#include "platform/Digits.h"
#include "platform/FileSetReplace.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kestrune {

namespace {

int g_depth = 0;    // locks held by this process, nested
int g_fd = -1;      // the open lock file of the outermost one; -1: unlocked
std::string g_folder;  // its sessions folder
constexpr std::chrono::milliseconds kRetry{100};

#ifdef _WIN32
// No lock there yet: every job runs unlocked, as before.
int OpenLockFile(const std::string&) {
    return -1;
}
bool TryLock(int) {
    return true;
}
void CloseLockFile(int) {}
void WriteJob(int, const std::string&) {}
std::string ReadJob(const std::string&) {
    return std::string();
}
#else
// A lock file that is not one (a link, a folder, a pipe) would let jobs run unlocked side by
// side: refused by name. A folder that takes no file (read-only, gone) has nothing to protect:
// its jobs run unlocked, as they always have, and fail where they write.
int OpenLockFile(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        const char* what = S_ISLNK(status.st_mode)   ? "a symbolic link"
                           : S_ISDIR(status.st_mode) ? "a folder"
                                                     : "not a regular file";
        throw KestruneError(NotALockFileText(path, what));
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0 && (errno == ELOOP || errno == EISDIR))
        throw KestruneError(NotALockFileText(path, errno == ELOOP ? "a symbolic link" : "a folder"));
    return fd;
}
bool TryLock(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}
void CloseLockFile(int fd) {
    ::close(fd);  // and with it the lock
}
void WriteJob(int fd, const std::string& job) {
    if (::ftruncate(fd, 0) != 0) return;
    (void)!::pwrite(fd, job.data(), job.size(), 0);
}
std::string ReadJob(const std::string& path) {
    std::string job;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return job;
    char buffer[512];
    const ssize_t read = ::pread(fd, buffer, sizeof buffer, 0);
    ::close(fd);
    if (read > 0) job.assign(buffer, static_cast<size_t>(read));
    return job;
}
#endif

// What the holder wrote, one line of plain text; a job too shy to say is "other job".
std::string HolderJob(const std::string& path) {
    std::string job = ReadJob(path);
    for (char& c : job)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    while (!job.empty() && job.back() == ' ') job.pop_back();
    return job.empty() ? std::string("other job") : job;
}

}  // namespace

std::string NotALockFileText(const std::string& path, const std::string& what) {
    return "The station's lock file " + path + " is " + what +
           ": without the lock two jobs could change the station at once. Remove it and run "
           "again; nothing was changed.";
}

std::string WaitingForJobText(const std::string& job) {
    return "Waiting for the " + job + " to finish...";
}

std::string StationBusyText(const std::string& job, std::chrono::milliseconds waited) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(waited).count();
    return "The " + job + " did not finish within " + std::to_string(seconds) +
           (seconds == 1 ? " second" : " seconds") + "; nothing was changed.";
}

StationLock::StationLock(const std::string& sessionsFolder, const std::string& job,
                         std::chrono::milliseconds wait,
                         const std::function<void(const std::string&)>& waiting) {
    if (g_depth > 0) {
        ++g_depth;
        return;
    }
    const std::string path = JoinPath(sessionsFolder, kStationLockFile);
    const int fd = sessionsFolder.empty() ? -1 : OpenLockFile(path);
    if (fd >= 0) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        std::string toldOf;
        while (!TryLock(fd)) {
            const std::string holder = HolderJob(path);
            if (std::chrono::steady_clock::now() >= deadline) {
                CloseLockFile(fd);
                throw KestruneError(StationBusyText(holder, wait));
            }
            if (holder != toldOf && waiting) waiting(WaitingForJobText(holder));
            toldOf = holder;
            std::this_thread::sleep_for(kRetry);
        }
        WriteJob(fd, job);
    }
    g_fd = fd;
    g_depth = 1;
    outermost_ = true;
    if (fd >= 0) {
        g_folder = sessionsFolder;
        // What a killed job began as one step is carried through before anything else.
        FinishUnfinishedReplace(sessionsFolder);
    }
}

std::string StationLock::Folder() {
    return g_depth > 0 && g_fd >= 0 ? g_folder : std::string();
}

StationLock::~StationLock() {
    if (--g_depth > 0 || !outermost_) return;
    if (g_fd >= 0) {
        // Emptied first, so a job that finds the file between our close and its lock reads
        // no stale name.
        WriteJob(g_fd, std::string());
        CloseLockFile(g_fd);
    }
    g_fd = -1;
    g_folder.clear();
}

bool StationLock::HeldHere() {
    return g_depth > 0;
}

std::chrono::milliseconds StationLockWait() {
    const char* text = std::getenv("KESTRUNE_LOCK_WAIT_SECONDS");
    if (text == nullptr || *text == '\0') return kStationLockWait;
    const std::optional<int64_t> seconds = WholeNumber(text, 86400);
    if (!seconds) return kStationLockWait;
    return std::chrono::seconds(*seconds);
}

}  // namespace kestrune
