#include <gtest/gtest.h>

#include <filesystem>

#include "platform/IniFile.h"
#include "platform/KestruneError.h"
#include "sessions/StationConfig.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::TempDir;

TEST(IniFile, FindsKeysWithoutRegardToCaseAndKeepsEveryOtherLine) {
    const std::string text =
        "; comment\r\n[Other]\r\nplaylistsdir=wrong\r\n\r\n[CONFIG]\r\n  PlaylistsDir = /srv/p \r\n"
        "unrelated=1\r\nsessionsdir=\r\n\r\n[Later]\r\nx=y\r\n";
    EXPECT_EQ(FindIniValue(text, "Config", "playlistsdir"), "/srv/p");
    EXPECT_EQ(FindIniValue(text, "config", "SESSIONSDIR"), "");
    EXPECT_EQ(FindIniValue(text, "Config", "x"), std::nullopt);
    EXPECT_EQ(FindIniValue(text, "Nowhere", "x"), std::nullopt);
    EXPECT_EQ(FindIniValue("[Config]\nsessionsdir=a=b\n", "Config", "sessionsdir"), "a=b");

    std::string replaced = text;
    replaced.replace(replaced.find("sessionsdir="), 12, "sessionsdir=/srv/s");
    EXPECT_EQ(SetIniValue(text, "Config", "sessionsdir", "/srv/s"), replaced);
    // A new key goes after the section's last entry; a new section at the end.
    EXPECT_EQ(SetIniValue("[Config]\nunrelated=1\n\n[Later]\n", "Config", "playlistsdir", "/p"),
              "[Config]\nunrelated=1\nplaylistsdir=/p\n\n[Later]\n");
    EXPECT_EQ(SetIniValue("", "Config", "playlistsdir", "/p"), "[Config]\r\nplaylistsdir=/p\r\n");
    EXPECT_EQ(SetIniValue("top=1\n", "Config", "playlistsdir", "/p"),
              "top=1\n[Config]\nplaylistsdir=/p\n");
}

TEST(StationConfig, DefaultsFollowTheStartFolderAndSavedValuesWin) {
    EXPECT_EQ(ConfigFilePath("/opt/kestrune/kestrune"), "/opt/kestrune/kestrune.ini");
    EXPECT_EQ(ConfigFilePath("E:\\Radio\\Kestrune.exe"), "E:\\Radio\\Kestrune.ini");

    TempDir dir;
    const std::string ini = dir / "kestrune.ini";
    ConfigValues values = ReadConfig(ini, "/srv/radio");
    EXPECT_EQ(values.playlistsdir, "/srv/radio/Playlists");
    EXPECT_EQ(values.sessionsdir, "/srv/radio/Sessions");
    EXPECT_FALSE(std::filesystem::exists(ini)) << "reading creates nothing";

    WriteConfig(ini, values.playlistsdir, "");
    EXPECT_EQ(dir.Read("kestrune.ini"),
              "[Config]\r\nplaylistsdir=/srv/radio/Playlists\r\nsessionsdir=\r\n");
    values = ReadConfig(ini, "/elsewhere");
    EXPECT_EQ(values.playlistsdir, "/srv/radio/Playlists");
    EXPECT_EQ(values.sessionsdir, "") << "an empty value stays empty";

    // A folder that takes no file: the key that could be written stays, the error names the file.
    const std::string nowhere = dir / "missing/kestrune.ini";
    try {
        WriteConfig(nowhere, "/a", "/b");
        FAIL() << "an unwritable file must be reported";
    } catch (const KestruneError& error) {
        EXPECT_EQ(error.what(), "Unable to write to " + nowhere);
    }
}

TEST(StationConfig, StartUpLoadsTheStartFilesOfTheStartFolder) {
    TempDir dir;
    BuildSession session;
    SortedList schedule;
    session.lbMasterPlaylists.Add("/old.m3u");
    dir.Write("delete_me.qpr", "/l/b.m3u\r\n/l/A.m3u\r\n");
    dir.Write("auto_build.cws", "/s/z.cwt\r\n/s/a.cwt\r\n");
    dir.Write("kestrune.ini", "[Config]\r\nsessionsdir=/custom/sessions\r\n");
    const StationFolders folders = StartUp(dir / "kestrune.ini", dir.Path(), session, schedule);
    EXPECT_EQ(folders.playlists, dir / "Playlists");
    EXPECT_EQ(folders.sessions, "/custom/sessions");
    EXPECT_EQ(folders.demoMp3, dir / "Demo_MP3's");
    EXPECT_EQ(folders.schedule, dir.Path());
    EXPECT_EQ(session.lbMasterPlaylists.Lines(), (LineList{"/l/A.m3u", "/l/b.m3u"}));
    EXPECT_EQ(schedule.Lines(), (LineList{"/s/a.cwt", "/s/z.cwt"}));

    // A root start folder doubles the separator, which the system accepts.
    BuildSession other;
    SortedList none;
    EXPECT_EQ(StartUp(dir / "none.ini", "/", other, none).playlists, "//Playlists");
    // No start folder: nothing read, nothing set.
    const StationFolders empty = StartUp(dir / "kestrune.ini", "", other, none);
    EXPECT_EQ(empty.playlists, "");
    EXPECT_EQ(empty.sessions, "");
}

}  // namespace
}  // namespace kestrune
