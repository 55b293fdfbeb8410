#include <gtest/gtest.h>

#include <filesystem>

#include "platform/IniFile.h"
#include "platform/KestruneError.h"
#include "sessions/StationPlaces.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

ProgramFacts Installed() {
    ProgramFacts facts;
    facts.programPath = "/usr/bin/kestrune";
    facts.localConfigFile = "/usr/bin/kestrune.ini";
    facts.programFolderWritable = false;
    facts.installedData = "/usr/share/kestrune";
    facts.home = "/home/ann";
    facts.currentFolder = "/home/ann";
    return facts;
}

ProgramFacts ProgramFolder() {
    ProgramFacts facts = Installed();
    facts.programPath = "/srv/radio/kestrune";
    facts.localConfigFile = "/srv/radio/kestrune.ini";
    facts.programFolderWritable = true;
    facts.installedData.clear();
    facts.currentFolder = "/srv/radio";
    return facts;
}

TEST(StationPlaces, InstalledDataLiesBesideTheBinFolder) {
    EXPECT_EQ(InstalledDataFolderFor("/usr/bin/kestrune"), "/usr/share/kestrune");
    EXPECT_EQ(InstalledDataFolderFor("/usr/local/bin/kestrune-cli"),
              "/usr/local/share/kestrune");
    EXPECT_EQ(InstalledDataFolderFor("/kestrune"), "/share/kestrune");
    EXPECT_EQ(InstalledDataFolderFor(""), "");
}

TEST(StationPlaces, ConfigurationIsBesideAWritableProgramFolderElseTheUsers) {
    struct Case {
        const char* what;
        ProgramFacts facts;
        const char* configHome;
        const char* home;
        const char* expected;
    };
    ProgramFacts readOnlyFolder = ProgramFolder();
    readOnlyFolder.programFolderWritable = false;
    ProgramFacts rootInstalled = Installed();
    rootInstalled.programFolderWritable = true;  // root may write /usr/bin, but it is not ours
    const Case cases[] = {
        {"program folder", ProgramFolder(), "/x", "/home/ann", "/srv/radio/kestrune.ini"},
        {"installed", Installed(), "", "/home/ann", "/home/ann/.config/kestrune/kestrune.ini"},
        {"installed, XDG", Installed(), "/cfg", "/home/ann", "/cfg/kestrune/kestrune.ini"},
        {"XDG with a slash", Installed(), "/cfg/", "/home/ann", "/cfg/kestrune/kestrune.ini"},
        {"relative XDG is ignored", Installed(), "cfg", "/home/ann",
         "/home/ann/.config/kestrune/kestrune.ini"},
        {"root's install", rootInstalled, "", "/root", "/root/.config/kestrune/kestrune.ini"},
        {"read-only folder", readOnlyFolder, "", "/home/ann",
         "/home/ann/.config/kestrune/kestrune.ini"},
        {"home is the root", Installed(), "", "/", "/.config/kestrune/kestrune.ini"},
        {"no home, no XDG", Installed(), "", "", "/usr/bin/kestrune.ini"},
        {"no home, XDG", Installed(), "/cfg", "", "/cfg/kestrune/kestrune.ini"},
    };
    for (Case c : cases) {
        c.facts.configHome = c.configHome;
        c.facts.home = c.home;
        EXPECT_EQ(ConfigFileFor(c.facts), c.expected) << c.what;
    }
}

TEST(StationPlaces, MenuStartsInTheRememberedStationElseKestruneInHome) {
    struct Case {
        const char* what;
        StartedFrom from;
        const char* home;
        const char* remembered;
        bool rememberedExists;
        const char* expected;
    };
    const Case cases[] = {
        {"terminal", StartedFrom::Folder, "/home/ann", "/srv/radio", true, "/tmp/work"},
        {"menu, first start", StartedFrom::Menu, "/home/ann", "", false, "/home/ann/Kestrune"},
        {"menu, remembered", StartedFrom::Menu, "/home/ann", "/srv/radio", true, "/srv/radio"},
        {"menu, remembered gone", StartedFrom::Menu, "/home/ann", "/srv/radio", false,
         "/home/ann/Kestrune"},
        {"menu, no home", StartedFrom::Menu, "", "", false, "/tmp/work"},
    };
    for (const Case& c : cases) {
        ProgramFacts facts = Installed();
        facts.home = c.home;
        facts.currentFolder = "/tmp/work";
        EXPECT_EQ(StartFolderFor(facts, c.from, c.remembered, c.rememberedExists), c.expected)
            << c.what;
    }
}

// A home folder and an installed data folder with a small demo station, on disk.
struct InstalledOnDisk {
    TempDir dir;
    ProgramFacts facts = Installed();

    InstalledOnDisk() {
        fs::create_directories(dir / "home");
        fs::create_directories(dir / "share/kestrune/demo/Demo_MP3's");
        fs::create_directories(dir / "share/kestrune/demo/Sessions");
        dir.Write("share/kestrune/demo/Demo_MP3's/Oldie_1.mp3", "frames");
        dir.Write("share/kestrune/demo/Sessions/master_template.cfg", "slots\r\n");
        facts.installedData = dir / "share/kestrune";
        facts.home = dir / "home";
        facts.currentFolder = dir / "home";
    }
    std::string Ini() const { return dir / "home/.config/kestrune/kestrune.ini"; }
};

TEST(StationPlaces, FirstMenuStartMakesTheStationWithTheDemoAndRemembersIt) {
    InstalledOnDisk disk;
    const StationPlaces places = PlaceStation(disk.facts, StartedFrom::Menu, true);
    EXPECT_EQ(places.startFolder, disk.dir / "home/Kestrune");
    EXPECT_EQ(places.iniPath, disk.Ini());
    EXPECT_EQ(disk.dir.Read("home/Kestrune/Demo_MP3's/Oldie_1.mp3"), "frames");
    EXPECT_EQ(disk.dir.Read("home/Kestrune/Sessions/master_template.cfg"), "slots\r\n");
    EXPECT_TRUE(fs::is_directory(disk.dir / "home/Kestrune/Playlists"));
    EXPECT_EQ(ReadIniValue(disk.Ini(), kStationSection, kStationFolderKey), places.startFolder);
    // Nothing else lands in home: no half-made folder, no files of the station.
    std::vector<std::string> inHome;
    for (const auto& entry : fs::directory_iterator(disk.dir / "home"))
        inHome.push_back(entry.path().filename().string());
    std::sort(inHome.begin(), inHome.end());
    EXPECT_EQ(inHome, (std::vector<std::string>{".config", "Kestrune"}));

    // What the user changed in the station survives the next start.
    disk.dir.Write("home/Kestrune/Sessions/master_template.cfg", "mine\r\n");
    PlaceStation(disk.facts, StartedFrom::Menu, true);
    EXPECT_EQ(disk.dir.Read("home/Kestrune/Sessions/master_template.cfg"), "mine\r\n");
}

TEST(StationPlaces, TerminalStartUsesItsFolderAndTheMenuFollowsIt) {
    InstalledOnDisk disk;
    fs::create_directories(disk.dir / "radio");
    disk.facts.currentFolder = disk.dir / "radio";
    EXPECT_EQ(PlaceStation(disk.facts, StartedFrom::Folder, true).startFolder,
              disk.dir / "radio");
    EXPECT_FALSE(fs::exists(disk.dir / "home/Kestrune")) << "a terminal start makes no station";

    disk.facts.currentFolder = disk.dir / "home";
    EXPECT_EQ(PlaceStation(disk.facts, StartedFrom::Menu, true).startFolder, disk.dir / "radio");
    EXPECT_FALSE(fs::exists(disk.dir / "home/Kestrune"));

    // The remembered station is gone: back to ~/Kestrune, which is then remembered.
    fs::remove_all(disk.dir / "radio");
    EXPECT_EQ(PlaceStation(disk.facts, StartedFrom::Menu, true).startFolder,
              disk.dir / "home/Kestrune");
    EXPECT_EQ(ReadIniValue(disk.Ini(), kStationSection, kStationFolderKey),
              disk.dir / "home/Kestrune");
}

TEST(StationPlaces, TheToolAndTheProgramFolderWriteNothing) {
    InstalledOnDisk disk;
    // The command-line tool: the user's configuration, read only; the current folder.
    StationPlaces places = PlaceStation(disk.facts, StartedFrom::Folder, false);
    EXPECT_EQ(places.iniPath, disk.Ini());
    EXPECT_EQ(places.startFolder, disk.dir / "home");
    EXPECT_FALSE(fs::exists(disk.dir / "home/.config"));

    // A program folder keeps its configuration beside the program; the first run makes no file.
    ProgramFacts folder = ProgramFolder();
    folder.localConfigFile = disk.dir / "kestrune.ini";
    folder.currentFolder = disk.dir / "home";
    places = PlaceStation(folder, StartedFrom::Folder, true);
    EXPECT_EQ(places.iniPath, disk.dir / "kestrune.ini");
    EXPECT_EQ(places.startFolder, disk.dir / "home");
    EXPECT_FALSE(fs::exists(disk.dir / "kestrune.ini"));
}

TEST(StationPlaces, AStationFolderAppearsWholeOrNotAtAll) {
    TempDir dir;
    // An earlier start that was killed half-way left its work behind: it is taken away.
    fs::create_directories(dir / ".Kestrune.making/Demo_MP3's");
    dir.Write(".Kestrune.making/Demo_MP3's/half.mp3", "x");
    MakeStationFolder(dir / "Kestrune", "");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"Kestrune"}));
    EXPECT_FALSE(fs::exists(dir / "Kestrune/Demo_MP3's")) << "no demo to copy, none made";
    EXPECT_TRUE(fs::is_directory(dir / "Kestrune/Sessions"));

    // A place that cannot take a folder (a file stands in the way) is reported by name.
    dir.Write("blocked", "");
    try {
        MakeStationFolder(dir / "blocked/Kestrune", "");
        FAIL() << "a folder that cannot be made must be reported";
    } catch (const KestruneError& error) {
        EXPECT_EQ(error.what(), "Cannot create file " + (dir / "blocked/Kestrune"));
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"Kestrune", "blocked"}));
}

}  // namespace
}  // namespace kestrune
