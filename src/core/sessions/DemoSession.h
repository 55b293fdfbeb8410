#pragma once
// The demo: seven category playlists over the demo MP3 files and a ready one-hour session.

#include <string>
#include <vector>

#include "building/BuildContext.h"
#include "sessions/StationConfig.h"

namespace kestrune {

struct DemoCategory {
    const char* mp3Prefix;     // "Oldie_" ...
    const char* playlistName;  // "demo_oldies.m3u" ...
};

// In the order they are written.
const std::vector<DemoCategory>& DemoCategories();

inline constexpr const char* kDemoTemplateFile = "master_template.cfg";
inline constexpr const char* kDemoOutputFile = "demo_current_hit_radio_format_1hr.m3u";
inline constexpr const char* kDemoSessionName = "demo_current_hit_radio_format_1hour.cwt";

// The ten lines of one demo playlist.
LineList DemoPlaylistLines(const std::string& demoMp3Folder, const DemoCategory& category);

// Writes the playlists, puts the demo session into the model and offers to save it through
// the session save dialog (which then proposes the demo's name). False when the save did not
// happen (a check failed or the user cancelled).
bool LoadDemoSession2Click(BuildContext& context, const StationFolders& folders,
                           SaveQuestion& sessionDialog);

}  // namespace kestrune
