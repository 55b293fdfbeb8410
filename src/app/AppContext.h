#pragma once
// What the pages and option windows of the program share: the station's model, the view of a
// running command, the prompts, and the one handler that every command runs under.

#include <atomic>
#include <functional>
#include <string>

#include "AppPrompts.h"
#include "building/BuildContext.h"
#include "sessions/Scheduler.h"
#include "sessions/StationConfig.h"

namespace kestrune::app {

struct AppContext {
    BuildSession& session;
    BuildView& view;
    AppPrompts& prompts;
    BuildContext& build;
    StationFolders& folders;
    Scheduler& scheduler;
    SaveQuestion& sdSaveSessions;  // the session save dialog; its proposal lasts
    SaveQuestion& sdSavePlaylist;  // the playlist save dialog (output file, quick list)
    SettingsFiles settings;        // the station's kestrune.ini, then the program's
    // Set by Esc while a command that can stop runs; the builds' reader setup looks at it.
    std::atomic<bool>& stopRequest;
    // Runs a command: an error ends it and is shown in the error box; the program goes on.
    std::function<void(const std::function<void()>&)> run;
    // Brings a page to front: 0 build, 1 scheduling, 2 list creator, 3 week grid, 4 on air,
    // 5 rotation.
    std::function<void(int)> showPage;
    // The model changed outside the page that shows it (a loaded session, a demo, a run).
    std::function<void()> refreshAll;
};

}  // namespace kestrune::app
