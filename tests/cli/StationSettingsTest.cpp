// kestrune-cli with a station folder's own kestrune.ini over the program's, and --station DIR
// from another folder: the tool run through another path builds with the station's rules.

#include <gtest/gtest.h>

#include <filesystem>

#include "onair/AsPlayedLog.h"
#include "platform/LineList.h"
#include "support/CliRunner.h"
#include "support/LocalTime.h"
#include "support/Station.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::CliResult;
using testing::LastLine;
using testing::RunCliCopy;
using testing::StationFixture;

constexpr const char* kNoFile = "No configuration file was read (looked for ";

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// A copy of the tool in bin/ (its own kestrune.ini beside it), a station folder and the folder
// a caller runs it from.
struct TwoPlaces : StationFixture {
    std::string program = dir / "bin/kestrune-cli";
    std::string station = dir / "station";
    std::string caller = dir / "caller";
    TwoPlaces() {
        for (const char* folder : {"bin", "station", "caller"}) fs::create_directories(dir / folder);
        fs::copy_file(KESTRUNE_CLI_PATH, program);
    }
    void Settings(const std::string& programIni, const std::string& stationIni) const {
        fs::remove(dir / "bin/kestrune.ini");
        fs::remove(dir / "station/kestrune.ini");
        if (!programIni.empty()) dir.Write("bin/kestrune.ini", programIni);
        if (!stationIni.empty()) dir.Write("station/kestrune.ini", stationIni);
    }
    CliResult Run(const std::vector<std::string>& arguments, const std::string& folder) const {
        return RunCliCopy(program, arguments, folder);
    }
};

TEST(CliStationSettings, TheStationsRulesWinOverTheProgramsFromAnyFolder) {
    TwoPlaces p;
    const std::string list =
        p.Playlist("caller/hits.m3u", {{200, "Ana", "One", 13, "Hits"}, {200, "Bo", "Two", 13, "Hits"}});
    const std::string broken = "song 2 at 0:03:20: Rule broken: album 'Hits' again after 0:03:20 ";
    const struct {
        const char* programIni;
        const char* stationIni;
        bool fromCaller;  // --station from the caller's folder, the playlist named from there
        std::string out;
    } cases[] = {
        {"[Rules]\r\nalbum_hours=5\r\n", "", false, broken + "(window 5 hours)\n"},
        {"[Rules]\r\nalbum_hours=5\r\n", "[Rules]\r\nalbum_hours=2\r\n", false,
         broken + "(window 2 hours)\n"},
        {"[Rules]\r\nalbum_hours=5\r\n", "[Rules]\r\nalbum_hours=2\r\n", true,
         broken + "(window 2 hours)\n"},
        // Key by key: what the station does not set is the program's.
        {"[Rules]\r\nalbum_hours=5\r\n", "[Rules]\r\ntitle_hours=1\r\n", true,
         broken + "(window 5 hours)\n"},
        {"[Rules]\r\nalbum_hours=5\r\n", "[Rules]\r\nalbum_hours=0\r\n", true, ""},
        {"", "[Rules]\r\nalbum_hours=3\r\n", true, broken + "(window 3 hours)\n"},
    };
    for (const auto& c : cases) {
        p.Settings(c.programIni, c.stationIni);
        const CliResult result =
            c.fromCaller ? p.Run({"check", "--station", p.station, "hits.m3u"}, p.caller)
                         : p.Run({"check", list}, p.station);
        const std::string what = std::string(c.programIni) + " | " + c.stationIni;
        EXPECT_EQ(result.exitCode, c.out.empty() ? 0 : 1) << what << result.err;
        EXPECT_EQ(result.out, c.out + (c.out.empty() ? "2 songs, 0:06:40, no rule broken\n"
                                                     : "2 songs, 0:06:40, 1 rule broken\n"))
            << what;
        EXPECT_EQ(result.err.find(kNoFile), std::string::npos) << what << result.err;
    }
    // The same station copied elsewhere takes its rules along.
    fs::copy(p.station, p.dir / "copy");
    const CliResult copy = p.Run({"check", "--station", "../copy", "hits.m3u"}, p.caller);
    EXPECT_EQ(LastLine(copy.out), "2 songs, 0:06:40, 1 rule broken");
    EXPECT_NE(copy.out.find("(window 3 hours)"), std::string::npos) << copy.out;
}

TEST(CliStationSettings, ABuildFromElsewhereRunsInTheStationAndSaysWhenNoFileWasRead) {
    TwoPlaces p;
    const std::string music = p.Playlist("music.m3u", {{200, "Ana", "One"}, {200, "Bo", "Two"}});
    // The output is named relative to the station: it lands there only when the run is in it.
    const std::string session =
        FormatLines({music, "#", music, "##", "6", "###", "out.m3u", "####", "001", "3"});
    p.dir.Write("caller/hour.cwt", session);
    p.dir.Write("station/hour.cwt", session);
    p.dir.Write("station/auto_build.cws", FormatLines({p.station + "/hour.cwt"}));

    CliResult result = p.Run({"build", "hour.cwt", "--station", p.station, "--seed", "1"}, p.caller);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(p.Lines(p.station + "/out.m3u").size(), 2u);
    EXPECT_FALSE(fs::exists(p.caller + "/out.m3u"));
    // No file anywhere: said once, naming both places, and the build goes on.
    EXPECT_EQ(Count(result.err, kNoFile), 1u) << result.err;
    EXPECT_NE(result.err.find(kNoFile + p.station + "/kestrune.ini, " + (p.dir / "bin/kestrune.ini") +
                              "): every setting is its default.\n"),
              std::string::npos)
        << result.err;

    fs::remove(p.station + "/out.m3u");
    p.Settings("", "[Timing]\r\nfill=walk\r\n");
    result = p.Run({"schedule", "--station", p.station}, "/");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(p.Lines(p.station + "/out.m3u").size(), 2u);
    EXPECT_EQ(result.err.find(kNoFile), std::string::npos) << result.err;

    // A station that is not there stops the verb before anything.
    result = p.Run({"schedule", "--station", (p.dir / "none")}, p.caller);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "Cannot open file " + (p.dir / "none") + "\n");
}

// 2026-12-09 06:00 on this machine's clock.
int64_t SixLocal() { return testing::LocalMomentMs(2026, 12, 9, 6); }

TEST(CliStationSettings, AiredAndReportFindTheConfiguredFolders) {
    TwoPlaces p;
    for (const char* folder : {"station/Air", "station/Lists"}) fs::create_directories(p.dir / folder);
    const std::string song = p.dir / "Music/a.mp3";  // gone: the log's artist and title stand in
    const std::string hour = p.station + "/Lists/onair_2026-12-09_06.m3u8";
    p.dir.Write("station/Lists/onair_2026-12-09_06.m3u8",
                "#EXTM3U\r\n#EXTINF:100,Artist - a\r\n" + song + "\r\n");
    p.dir.Write("station/Air/aired.txt",
                "# Kestrune as-played log\n" + FormatUtcStamp(SixLocal()) + "\tstart\tplan\t" +
                    song + "\tArtist\ta\t" + hour + "\n" + FormatUtcStamp(SixLocal() + 90000) +
                    "\tend\t90.000\tended\t" + song + "\n");
    p.dir.Write("caller/access.log", "");
    p.Settings("[Report]\r\nservice=Program Radio\r\n",
               "[Config]\r\nplaylistsdir=" + p.station + "/Lists\r\nsessionsdir=" + p.station +
                   "/Air\r\n[Report]\r\nservice=Station Radio\r\n");

    CliResult result = p.Run({"aired", "--from", "2026-12-09", "--station", p.station}, p.caller);
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "2026-12-09 06:00  " + hour + ": 1 planned, 1 aired\n"
                          "1 hour: 1 planned, 1 aired; 0 never aired, 0 not planned, 0 late\n");

    result = p.Run({"report", "--from", "2026-12-09", "--format", "soundexchange", "rou.txt",
                    "--access-log", "access.log", "--station", p.station},
                   p.caller);
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    // Files named on the command line are the caller's.
    EXPECT_EQ(result.out, p.caller + "/rou.txt: 1 row, 1 play (0 plays of exempt songs), "
                                     "0 performances\n");
    const LineList rows = p.Lines(p.caller + "/rou.txt");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], "Station Radio\tA\tArtist\ta\t\t\t\t0");
}

TEST(CliStationSettings, TheSettingsVerbListsTheFilesAndWhereEachSettingComesFrom) {
    TwoPlaces p;
    p.Settings("[Rules]\r\ntitle_hours=9\r\nalbum_hours=4\r\n",
               "[Rules]\r\ntitle_hours=2\r\n[Output]\r\nextinf=1\r\n");
    CliResult result = p.Run({"settings", "--station", "../station"}, p.caller);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string stationIni = p.station + "/kestrune.ini";
    const std::string programIni = (p.dir / "bin/kestrune.ini");
    EXPECT_EQ(result.out, "Station: " + p.station +
                              "\nConfiguration files, each key from the first that holds it:\n"
                              "  " + stationIni + ": read\n"
                              "  " + programIni + ": read\n"
                              "3 settings in force:\n"
                              "  [Rules] title_hours=2  (" + stationIni + ")\n"
                              "  [Output] extinf=1  (" + stationIni + ")\n"
                              "  [Rules] album_hours=4  (" + programIni + ")\n");
    EXPECT_EQ(result.err, "");

    p.Settings("", "");
    result = p.Run({"settings"}, p.station);
    EXPECT_EQ(LastLine(result.out), "0 settings in force: every one is its default");
    EXPECT_NE(result.out.find("  " + programIni + ": not found\n"), std::string::npos);
    EXPECT_EQ(Count(result.err, kNoFile), 1u);
    EXPECT_EQ(p.Run({"settings", "extra"}, p.station).exitCode, 2);
}

}  // namespace
}  // namespace kestrune
