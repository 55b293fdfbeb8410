#pragma once
// The station's lock around the part of a command that writes the station's files (not around
// its closing message, which may wait on a user for as long as it likes).

#include <optional>
#include <string>

#include "building/BuildContext.h"
#include "platform/StationLock.h"

namespace kestrune {

class StationJob {
public:
    // `job` says what it is to a job that has to wait for it ("build of morning.m3u"). Without
    // the station's sessions folder (a test's bare context) nothing is locked.
    StationJob(BuildContext& context, const std::string& job) {
        if (context.historyFolder == nullptr || context.historyFolder->empty()) return;
        lock_.emplace(*context.historyFolder, job, StationLockWait(),
                      [&context](const std::string& text) { context.view.ShowStatus(text); });
    }

private:
    std::optional<StationLock> lock_;
};

}  // namespace kestrune
