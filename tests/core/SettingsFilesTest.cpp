// A station's own kestrune.ini over the program's: key by key on reading, a section written
// where the next read finds it, each section in one write.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileTrace.h"
#include "platform/KestruneError.h"
#include "platform/SettingsFiles.h"
#include "platform/SettingsSection.h"
#include "rules/RuleSettings.h"
#include "sessions/StationConfig.h"
#include "sessions/StationPlaces.h"
#include "tags/LibrarySettings.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// A station folder and a program folder, each with or without its kestrune.ini.
struct TwoFiles {
    TempDir dir;
    std::string station = dir / "station/kestrune.ini";
    std::string program = dir / "program/kestrune.ini";
    TwoFiles(const std::string& stationText, const std::string& programText) {
        fs::create_directories(dir / "station");
        fs::create_directories(dir / "program");
        if (!stationText.empty()) dir.Write("station/kestrune.ini", stationText);
        if (!programText.empty()) dir.Write("program/kestrune.ini", programText);
    }
    SettingsFiles Files() const { return StationSettingsFiles(dir / "station", program); }
};

TEST(SettingsFiles, EachKeyComesFromTheFirstFileThatHoldsIt) {
    const struct {
        const char* station;
        const char* program;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"[Rules]\r\ntitle_hours=2\r\n", "[Rules]\r\ntitle_hours=9\r\n", "title_hours", "2"},
        {"[rules]\r\nTITLE_HOURS=2\r\n", "[Rules]\r\ntitle_hours=9\r\n", "title_hours", "2"},
        // Only what the station sets: the rest is the program's.
        {"[Rules]\r\ntitle_hours=2\r\n", "[Rules]\r\nalbum_hours=9\r\n", "album_hours", "9"},
        {"[Timing]\r\nfill=exact\r\n", "[Rules]\r\nalbum_hours=9\r\n", "album_hours", "9"},
        // A key set empty is set: it hides the program's.
        {"[Rules]\r\nexempt=\r\n", "[Rules]\r\nexempt=a.m3u\r\n", "exempt", ""},
        {"", "[Rules]\r\nexempt=a.m3u\r\n", "exempt", "a.m3u"},
        {"[Rules]\r\nexempt=b.m3u\r\n", "", "exempt", "b.m3u"},
        {"", "", "exempt", std::nullopt},
    };
    for (const auto& c : cases) {
        const TwoFiles f(c.station, c.program);
        EXPECT_EQ(SettingsSection(f.Files(), "Rules").Text(c.key), c.value)
            << c.station << " | " << c.program;
        EXPECT_EQ(f.Files().NoneRead(), std::string(c.station).empty() &&
                                            std::string(c.program).empty());
    }
    // The readers see the same: the station's rules over the program's.
    const TwoFiles f("[Rules]\r\ntitle_hours=2\r\n",
                     "[Rules]\r\ntitle_hours=9\r\nalbum_hours=4\r\nhistory=1\r\n");
    const RuleSettings rules = ReadRuleSettings(f.Files());
    EXPECT_EQ(rules.titleHours, 2);
    EXPECT_EQ(rules.albumHours, 4);
    EXPECT_TRUE(rules.history);
}

TEST(SettingsFiles, AStationInTheProgramsFolderIsOneFileAskedOnce) {
    TempDir dir;
    dir.Write("kestrune.ini", "[Rules]\r\ntitle_hours=2\r\n");
    fs::create_directory_symlink(dir.Path(), dir / "link");
    const SettingsFiles same = StationSettingsFiles(dir / "link", dir / "kestrune.ini");
    EXPECT_EQ(same.Paths(), std::vector<std::string>{dir / "link/kestrune.ini"});
    // Without a start folder, the program's file alone.
    EXPECT_EQ(StationSettingsFiles("", dir / "kestrune.ini").Paths(),
              std::vector<std::string>{dir / "kestrune.ini"});
    EXPECT_EQ(SettingsFiles("").Paths().size(), 0u);
    EXPECT_TRUE(SettingsFiles("").NoneRead());
}

TEST(SettingsFiles, AProblemNamesTheFileTheValueCameFrom) {
    const TwoFiles f("[Rules]\r\ntitle_hours=lots\r\n", "[Rules]\r\nalbum_hours=many\r\n");
    std::vector<std::string> problems;
    const RuleSettings rules = ReadRuleSettings(f.Files(), &problems);
    EXPECT_EQ(rules, RuleSettings{});
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].rfind(f.station + ", [Rules] title_hours=lots: ", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind(f.program + ", [Rules] album_hours=many: ", 0), 0u) << problems[1];
}

TEST(SettingsFiles, ASectionIsWrittenWhereTheNextReadFindsIt) {
    // The station's file holds [Rules]: a save of the rules goes there, the program's file is
    // left as it was; [Timing], which it does not hold, goes to the program's as always.
    const std::string programText = "[Rules]\r\ntitle_hours=9\r\n";
    const TwoFiles f("[Rules]\r\ntitle_hours=2\r\n", programText);
    RuleSettings rules;
    rules.albumHours = 5;
    WriteRuleSettings(f.Files(), rules);
    EXPECT_EQ(f.dir.Read("program/kestrune.ini"), programText);
    EXPECT_EQ(ReadRuleSettings(f.Files()), rules);
    EXPECT_EQ(f.Files().FileFor("Timing"), f.program);
    EXPECT_EQ(f.Files().FileFor("rules"), f.station);

    // No file yet: the program's is made, as before there were station files.
    const TwoFiles empty("", "");
    WriteConfig(empty.Files(), "/p", "/s");
    EXPECT_FALSE(fs::exists(empty.station));
    EXPECT_EQ(empty.dir.Read("program/kestrune.ini"),
              "[Config]\r\nplaylistsdir=/p\r\nsessionsdir=/s\r\n");
    EXPECT_EQ(ReadConfig(empty.Files(), "/radio").sessionsdir, "/s");
}

TEST(SettingsFiles, TheLibrarySaveIsOneWriteOfBothKeys) {
    const TwoFiles f("", "[Config]\r\nplaylistsdir=/p\r\n[Library]\r\ntags=id3v1\r\n");
    FileTrace trace;
    SetFileTrace(&trace);
    WriteLibrarySettings(f.Files(), LibrarySettings{false, true});
    SetFileTrace(nullptr);
    int writes = 0;
    for (const FileEvent& event : trace) writes += event.op == FileOp::ReplaceWhole ? 1 : 0;
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(f.dir.Read("program/kestrune.ini"),
              "[Config]\r\nplaylistsdir=/p\r\n[Library]\r\ntags=all\r\nformats=mp3\r\n");
    const LibrarySettings read = ReadLibrarySettings(f.Files());
    EXPECT_FALSE(read.id3v1Only);
    EXPECT_TRUE(read.mp3Only);
}

TEST(SettingsFiles, AFailedSectionWriteNamesTheFileAndWritesNothing) {
    TempDir dir;
    const std::string nowhere = dir / "missing/kestrune.ini";  // its folder does not exist
    try {
        WriteLibrarySettings(SettingsFiles(nowhere), LibrarySettings{true, true});
        ADD_FAILURE() << "wrote into a folder that is not there";
    } catch (const KestruneError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + nowhere);
    }
    EXPECT_FALSE(fs::exists(nowhere));
}

TEST(SettingsFiles, SettingsInForceNameTheirFileOnceEach) {
    const TwoFiles f("[Rules]\r\ntitle_hours=2\r\n[Rules]\r\nalbum_hours=7\r\n",
                     "[RULES]\r\nTitle_Hours=9\r\nalbum_hours=4\r\n[Report]\r\nservice=Radio\r\n");
    const std::vector<SettingInForce> settings = SettingsInForce(f.Files());
    ASSERT_EQ(settings.size(), 3u);
    // The station's second [Rules] is never read: album_hours is the program's.
    EXPECT_EQ(settings[0].key, "title_hours");
    EXPECT_EQ(settings[0].value, "2");
    EXPECT_EQ(settings[0].path, f.station);
    EXPECT_EQ(settings[1].key, "album_hours");
    EXPECT_EQ(settings[1].value, "4");
    EXPECT_EQ(settings[1].path, f.program);
    EXPECT_EQ(settings[2].section, "Report");
    EXPECT_EQ(settings[2].value, "Radio");
    EXPECT_EQ(f.Files().StateOf(f.station), SettingsFileState::Read);
    EXPECT_EQ(f.Files().StateOf(f.dir / "none.ini"), SettingsFileState::Missing);
    EXPECT_EQ(NoSettingsFileText(StationSettingsFiles("/radio", "/opt/k/kestrune.ini")),
              "No configuration file was read (looked for /radio/kestrune.ini, "
              "/opt/k/kestrune.ini): every setting is its default.");
}

}  // namespace
}  // namespace kestrune
