#pragma once
// Everything a command of the build page works with besides the model itself.

#include <optional>
#include <string>

#include "building/BuildSession.h"
#include "building/BuildView.h"
#include "building/Prompts.h"
#include "building/ShuffleList.h"
#include "mpgtools/ReaderSetup.h"
#include "platform/Clock.h"
#include "platform/SettingsFiles.h"
#include "rules/RotationSettings.h"
#include "rules/RuleSettings.h"
#include "timing/TimingSettings.h"

namespace kestrune {

class KeptRotations;

struct BuildContext {
    BuildSession& session;
    BuildView& view;
    Prompts& prompts;
    ShuffleSeeds& seeds;
    const Clock& clock;
    // The configuration files, for the commands that read or write settings; a build never
    // reads them: its caller hands it the settings below.
    SettingsFiles settingsFiles = SettingsFiles();
    // The station's sessions folder as it stands, where the play history lives; none: no
    // history file.
    const std::string* historyFolder = nullptr;
    RuleSettings rules = RuleSettings{};
    TimingSettings timing = TimingSettings{};
    RotationSettings rotation = RotationSettings{};
    // Under `order=rotate`, a job of many builds (a week) keeps its categories across them and
    // writes them itself; none: each build reads and writes its own.
    KeptRotations* rotations = nullptr;
    // When the build will air (an hour of a week grid); none: now, or after the plays of the
    // history that run on into now.
    std::optional<LocalDateTime> plannedStart = std::nullopt;
    // What the user is told of a build starts with it ("Tue 07: " for an hour of a week), so
    // that a message of a long run says which hour it is about; the hour's own text log does
    // not need it.
    std::string problemPrefix = std::string();
    // How the build's songs are read: the tag library, the [Library] settings, the error
    // question, the pump and the stop request. Every reader of the command is made from it.
    ReaderSetup reader = ReaderSetup{};
};

}  // namespace kestrune
