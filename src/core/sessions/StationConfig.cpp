#include "sessions/StationConfig.h"

#include "output/FinalPlaylistFile.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/SettingsSection.h"

namespace kestrune {

std::string ConfigFilePath(const std::string& executablePath) {
    const std::string name = ExtractFileName(executablePath);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return executablePath + ".ini";
    return executablePath.substr(0, executablePath.size() - (name.size() - dot)) + ".ini";
}

ConfigValues ReadConfig(const SettingsFiles& files, const std::string& startFolder) {
    const SettingsSection section(files, kConfigSection);
    ConfigValues values;
    values.playlistsdir = section.Text("playlistsdir").value_or(JoinPath(startFolder, "Playlists"));
    values.sessionsdir = section.Text("sessionsdir").value_or(JoinPath(startFolder, "Sessions"));
    return values;
}

void WriteConfig(const SettingsFiles& files, const std::string& playlists,
                 const std::string& sessions) {
    const std::string iniPath = files.FileFor(kConfigSection);
    WriteIniValue(iniPath, kConfigSection, "playlistsdir", playlists);
    WriteIniValue(iniPath, kConfigSection, "sessionsdir", sessions);
}

StationFolders StartUp(const SettingsFiles& files, const std::string& startFolder,
                       BuildSession& session, SortedList& schedule) {
    StationFolders folders;
    folders.start = startFolder;
    if (startFolder.empty()) return folders;
    const ConfigValues config = ReadConfig(files, startFolder);
    folders.playlists = config.playlistsdir;
    folders.sessions = config.sessionsdir;
    folders.schedule = startFolder;
    folders.demoMp3 = JoinPath(startFolder, "Demo_MP3's");
    // Links in these folders are written through only to files inside them.
    SetStationFolders({folders.start, folders.playlists, folders.sessions});
    session.output = ReadOutputOptions(files);

    const std::string preload = JoinPath(startFolder, kStartupPlaylistsFile);
    if (FileExists(preload)) {
        LineList lines;
        LoadList(preload, lines);
        session.lbMasterPlaylists.Clear();
        for (const std::string& line : lines) session.lbMasterPlaylists.Add(line);
    }
    const std::string scheduleFile = JoinPath(startFolder, kScheduleFile);
    if (FileExists(scheduleFile)) {
        LineList lines;
        LoadList(scheduleFile, lines);
        for (const std::string& line : lines) schedule.Add(line);
    }
    return folders;
}

}  // namespace kestrune
