#pragma once
// Everything a command of the build page works with besides the model itself.

#include <optional>
#include <string>

#include "building/BuildSession.h"
#include "building/BuildView.h"
#include "building/Prompts.h"
#include "building/ShuffleList.h"
#include "platform/Clock.h"

namespace kestrune {

struct StationFolders;

struct BuildContext {
    BuildSession& session;
    BuildView& view;
    Prompts& prompts;
    ShuffleSeeds& seeds;
    const Clock& clock;
    // Where a build finds its separation rules: the configuration file, read at every build,
    // and the station's folders (the play history lives in the sessions folder). Without them
    // every rule keeps its default.
    std::string iniPath = std::string();
    const StationFolders* folders = nullptr;
    // When the build will air (an hour of a week grid); none: now, or after the plays of the
    // history that run on into now.
    std::optional<LocalDateTime> plannedStart = std::nullopt;
};

}  // namespace kestrune
