#pragma once
// Where the configuration file and the station folder are. A program folder keeps its
// configuration beside the program and works in the folder it was started in. Installed
// system-wide (its folder is not ours to write, or its data folder lies beside it), the
// configuration is the user's own, and a start from the desktop menu, which starts programs in
// the home folder, goes to the user's station folder instead of scattering files over home.
//
// The decisions are pure functions of `ProgramFacts`, so every case is testable; `PlaceStation`
// applies them to the disk.

#include <string>

#include "platform/SettingsFiles.h"

namespace kestrune {

inline constexpr const char* kConfigFileName = "kestrune.ini";
inline constexpr const char* kStationSection = "Station";
inline constexpr const char* kStationFolderKey = "folder";
inline constexpr const char* kDefaultStationFolderName = "Kestrune";

// What the start-up knows of the running program and its user.
struct ProgramFacts {
    std::string programPath;            // the running program's full path
    std::string localConfigFile;        // the configuration file beside the program
    bool programFolderWritable = true;  // the program's folder takes a new file
    std::string installedData;          // the installed data folder (.../share/kestrune), if any
    std::string configHome;             // $XDG_CONFIG_HOME (%APPDATA% on Windows); may be empty
    std::string home;                   // $HOME; may be empty
    std::string currentFolder;          // empty when it cannot be read
};

enum class StartedFrom {
    Folder,  // a terminal, a script, a file manager: the current folder is the station
    Menu,    // the desktop entry: the user's station folder
};

// The installed data folder that belongs to a program at `programPath`: "share/kestrune"
// beside the program's "bin" folder. Only a name; whether it exists is the caller's question.
std::string InstalledDataFolderFor(const std::string& programPath);

// True when the configuration belongs to the user rather than to the program folder.
bool UsesUserConfig(const ProgramFacts& facts);

// The configuration file: `localConfigFile`, or $XDG_CONFIG_HOME/kestrune/kestrune.ini
// (default ~/.config/kestrune/kestrune.ini). With neither variable set it stays beside the
// program, where reading still works and a write reports the file it could not write.
std::string ConfigFileFor(const ProgramFacts& facts);

// ~/Kestrune; empty without a home folder.
std::string DefaultStationFolder(const ProgramFacts& facts);

// The start folder: the current folder, or for a menu start the remembered station folder
// when it still exists, else ~/Kestrune (else, without a home, the current folder).
std::string StartFolderFor(const ProgramFacts& facts, StartedFrom from,
                           const std::string& rememberedFolder, bool rememberedExists);

// The running program's facts, read from the system; the configuration beside the program is
// "kestrune.ini" in its folder.
ProgramFacts ReadProgramFacts();

// The files a station's settings come from: the station folder's own "kestrune.ini" first
// (its keys win), then the program's configuration file `programFile`.
SettingsFiles StationSettingsFiles(const std::string& startFolder, const std::string& programFile);

struct StationPlaces {
    std::string iniPath;      // the program's configuration file
    std::string startFolder;  // the station
    SettingsFiles settings;   // the station's file, then `iniPath`
};

// Applies the rules for the desktop program or (never from the menu, never remembering) the
// command-line tool. The desktop program with a user configuration makes the configuration's
// folder, makes the default station folder on its first start with the installed demo station
// copied into it, and remembers its start folder for the next menu start. Throws the usual
// file errors when a folder cannot be made.
StationPlaces PlaceStation(const ProgramFacts& facts, StartedFrom from, bool remember);

// Makes `folder` with `Playlists/` and `Sessions/` in it and a copy of the demo station found
// in `demoSource` (when there is one). The folder appears whole or not at all: it is filled
// under a temporary name beside it, then renamed. Does nothing when `folder` exists.
void MakeStationFolder(const std::string& folder, const std::string& demoSource);

}  // namespace kestrune
