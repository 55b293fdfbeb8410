#pragma once
// One job at a time writes a station's files: every command that writes them holds an advisory
// lock on a file in the sessions folder ("station.lock"), which also tells what job holds it.
// A second job waits for the first, then gives up without changing anything. Within one process
// the lock is held once; a command inside a command (a run of builds) takes it again freely.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace kestrune {

inline constexpr const char* kStationLockFile = "station.lock";
inline constexpr std::chrono::milliseconds kStationLockWait{60000};

// "The station's lock file PATH is a symbolic link: without the lock ... nothing was changed."
std::string NotALockFileText(const std::string& path, const std::string& what);
// "Waiting for the build of morning.cwt to finish..."
std::string WaitingForJobText(const std::string& job);
// "The build of morning.cwt did not finish within 60 seconds; nothing was changed."
std::string StationBusyText(const std::string& job, std::chrono::milliseconds waited);

class StationLock {
public:
    // Takes the lock of the station whose sessions folder is given, for `job` ("build of
    // morning.cwt"). While another process holds it, `waiting` is told once what it waits for,
    // and the lock is tried again until `wait` has passed: then KestruneError with
    // StationBusyText. A folder where no lock file can be made (read-only, gone) leaves the job
    // unlocked: it could not write the station's files there either.
    StationLock(const std::string& sessionsFolder, const std::string& job,
                std::chrono::milliseconds wait,
                const std::function<void(const std::string&)>& waiting);
    ~StationLock();
    StationLock(const StationLock&) = delete;
    StationLock& operator=(const StationLock&) = delete;

    // Whether this process holds a station's lock now.
    static bool HeldHere();
    // The sessions folder whose lock this process holds; empty when it holds none.
    static std::string Folder();

private:
    bool outermost_ = false;
};

// The wait of this process's locks: kStationLockWait, or the whole seconds of the environment
// variable KESTRUNE_LOCK_WAIT_SECONDS where it is set (for tests and impatient scripts).
std::chrono::milliseconds StationLockWait();

}  // namespace kestrune
