#pragma once
// The station's folders: the start folder (the current folder at start), the playlists and
// sessions folders of the configuration file, and the demo MP3 folder.

#include <string>

#include "building/BuildSession.h"
#include "platform/LineList.h"
#include "platform/SettingsFiles.h"

namespace kestrune {

inline constexpr const char* kConfigSection = "Config";
inline constexpr const char* kStartupPlaylistsFile = "delete_me.qpr";
inline constexpr const char* kScheduleFile = "auto_build.cws";

struct StationFolders {
    std::string start;      // empty when the current folder could not be read
    std::string playlists;  // `playlistsdir`
    std::string sessions;   // `sessionsdir`
    std::string demoMp3;
    std::string schedule;  // where the schedule file is written
};

struct ConfigValues {
    std::string playlistsdir;
    std::string sessionsdir;
};

// The executable's path with ".ini" in place of its extension (it has none on Linux).
std::string ConfigFilePath(const std::string& executablePath);

// Each key's value, or its default under the start folder; an empty value stays empty.
ConfigValues ReadConfig(const SettingsFiles& files, const std::string& startFolder);

// Writes `playlistsdir`, then `sessionsdir`, into the file [Config] is written to; stops at
// the first that fails with "Unable to write to %s", the one written before it staying written.
void WriteConfig(const SettingsFiles& files, const std::string& playlists,
                 const std::string& sessions);

// The configuration part of the main window's creation: folders from the start folder and the
// configuration files, the start-up master playlists and the schedule list.
StationFolders StartUp(const SettingsFiles& files, const std::string& startFolder,
                       BuildSession& session, SortedList& schedule);

}  // namespace kestrune
