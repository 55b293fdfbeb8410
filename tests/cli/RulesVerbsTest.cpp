#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/LineList.h"
#include "support/CliRunner.h"
#include "support/Station.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::LastLine;
using testing::RunCli;
using testing::RunCliCopy;
using testing::TestSong;
using testing::StationFixture;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The demo station of the build tree in a folder of its own, its session set to `options` (the
// flags line) and `minutes`.
std::string DemoStation(StationFixture& f, const std::string& options, const std::string& minutes) {
    const fs::path source = KESTRUNE_DEMO_STATION_PATH;
    fs::copy(source / "Demo_MP3's", f.dir / "Demo_MP3's", fs::copy_options::recursive);
    fs::create_directories(f.dir / "Sessions");
    fs::create_directories(f.dir / "Playlists");
    fs::copy_file(source / "Sessions/master_template.cfg", f.dir / "Sessions/master_template.cfg");
    EXPECT_EQ(RunCli({"demo"}, f.dir.Path()).exitCode, 0);
    const std::string session = f.dir / "Sessions/demo_current_hit_radio_format_1hour.cwt";
    LineList lines = f.Lines(session);
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] == "##") lines[i + 1] = minutes;
        if (lines[i] == "####") lines[i + 1] = options;
    }
    SaveList(session, lines);
    return session;
}

// Builds made today, before there were rules, from the demo station with a fixed seed: with
// every rule at its default the same bytes come out (the log's first line holds the date).
TEST(CliRulesOff, TheDemoStationBuildsByteForByteAsBefore) {
    const struct {
        const char* options;
        const char* minutes;
        const char* seed;
    } cases[] = {{"101", "60", "42"}, {"111", "180", "7"}};
    for (const auto& c : cases) {
        StationFixture f;
        const std::string session = DemoStation(f, c.options, c.minutes);
        const auto result = RunCli({"build", session, "--seed", c.seed, "--strict"}, f.dir.Path());
        const std::string name = std::string("demo-") + c.options + "-" + c.minutes;
        const std::string golden = std::string(KESTRUNE_TEST_DATA) + "/rules-off/" + name;
        const std::string output = f.dir / "Playlists/demo_current_hit_radio_format_1hr.m3u";
        std::string log = FileText(output + ".txt");
        log.erase(0, log.find('\n') + 1);
        ASSERT_FALSE(FileText(golden + ".m3u").empty()) << golden;
        EXPECT_EQ(Replaced(FileText(output), f.dir.Path(), "@STATION@"), FileText(golden + ".m3u"))
            << name;
        EXPECT_EQ(Replaced(log, f.dir.Path(), "@STATION@"), FileText(golden + ".txt")) << name;
        // The dupe check that could not find another artist is named all the same, and --strict
        // makes it count.
        const bool broke = result.err.find("Rule broken: artist") != std::string::npos;
        EXPECT_EQ(result.exitCode, broke ? 3 : 0) << result.err;
        EXPECT_EQ(LastLine(result.out).find("Rules broken: ") != std::string::npos, broke);
    }
}

TEST(CliCheck, NamesEveryBreakOfAnyPlaylistWithItsPlace) {
    StationFixture f;
    f.Playlist("songs.m3u", {{200, "Ana", "One", 13, "Hits"},
                             {200, "Bo", "Two", 13, "Hits"},
                             {200, "The Ana", "Three", 13, "Hits"}});
    f.dir.Write("other.m3u",
                "#EXTM3U\r\n#EXTINF:200,Ana - One\r\nsongs/Ana - One (Hits).mp3\r\n\r\n"
                "#EXTINF:200,Bo - Two\r\n" +
                    f.dir /
                        "songs/Bo - Two (Hits).mp3\n"
                        "songs/../songs/The Ana - Three (Hits).mp3\n");
    auto result = RunCli({"check", "other.m3u"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 0) << result.err;  // "The Ana" is another artist when exact
    EXPECT_EQ(result.out, "3 songs, 0:10:00, no rule broken\n");

    result = RunCli(
        {"check", f.dir / "other.m3u", "--performance-complement", "--album-hours", "1"}, "/");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "song 2 at 0:03:20: Rule broken: album 'Hits' again after 0:03:20 (window 1 hour)\n"
              "song 3 at 0:06:40: Rule broken: album 'Hits' again after 0:03:20 (window 1 hour)\n"
              "3 songs, 0:10:00, 2 rules broken\n");
    result = RunCli({"check", "other.m3u", "--performance-complement", "--artist-hours", "0"},
                    f.dir.Path());
    EXPECT_EQ(LastLine(result.out), "3 songs, 0:10:00, 1 rule broken");
    EXPECT_NE(result.out.find("song 3 at 0:06:40: Rule broken: performance complement: 3 tracks of "
                              "album 'Hits' in a row"),
              std::string::npos);

    for (const std::vector<std::string>& wrong : {std::vector<std::string>{"check"},
                                                  {"check", "other.m3u", "--title-hours"},
                                                  {"check", "other.m3u", "--title-hours", "-1"},
                                                  {"check", "other.m3u", "--loud"}})
        EXPECT_EQ(RunCli(wrong, f.dir.Path()).exitCode, 2) << wrong.back();
    EXPECT_EQ(LastLine(RunCli({"check", "none.m3u"}, f.dir.Path()).err),
              "Cannot open file none.m3u");
}

TEST(CliCheck, NamesTheWindowsASessionsClockCannotHoldAsWarnings) {
    StationFixture f;
    const std::string session = DemoStation(f, "101", "60");
    f.dir.Write("kestrune.ini", "[Rules]\r\ntitle_hours=200\r\n");
    auto result = RunCli({"check", "--session", session}, f.dir.Path());
    // Warnings: they leave the status as it is.
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("title_hours=200 cannot hold for demo_"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("album_hours"), std::string::npos) << result.err;
    // A window every category keeps: nothing is said.
    f.dir.Write("kestrune.ini", "[Rules]\r\ntitle_hours=1\r\n");
    result = RunCli({"check", "--session", session}, f.dir.Path());
    EXPECT_EQ(result.err.find("cannot hold"), std::string::npos) << result.err;
    // The hours of the options count for this run.
    result = RunCli({"check", "--album-hours", "300", "--session", session}, f.dir.Path());
    EXPECT_NE(result.err.find("album_hours=300 cannot hold for demo_"), std::string::npos)
        << result.err;
    EXPECT_EQ(RunCli({"check", "--session"}, f.dir.Path()).exitCode, 2);
}

TEST(CliRules, StrictBuildsAndSchedulesExitThreeAfterWriting) {
    StationFixture f;
    // A copy of the tool with a configuration file of its own.
    fs::create_directories(f.dir / "bin");
    fs::copy_file(KESTRUNE_CLI_PATH, f.dir / "bin/kestrune-cli");
    f.dir.Write("bin/kestrune.ini", "[Rules]\r\nartist_matching=loose\r\n");
    const std::string program = f.dir / "bin/kestrune-cli";
    const std::string music =
        f.Playlist("music.m3u", {{200, "Ana", "One", 13}, {200, "Ana", "Two", 17}});
    f.dir.Write("rules.cwt", FormatLines({music, "#", music, "##", "6", "###", f.dir / "out.m3u",
                                          "####", "101", "3"}));
    f.dir.Write("auto_build.cws", FormatLines({f.dir / "rules.cwt"}));
    for (const bool strict : {false, true}) {
        std::vector<std::string> build = {"build", "rules.cwt"};
        if (strict) build.push_back("--strict");
        auto result = RunCliCopy(program, build, f.dir.Path());
        EXPECT_EQ(result.exitCode, strict ? 3 : 0) << result.err;
        EXPECT_NE(result.err.find("1 rule broken:\n  song 2 at 0:03:20: Rule broken: artist 'Ana' "
                                  "again after 0:03:20 (window 3 hours)"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(f.Lines(f.dir / "out.m3u").size(), 2u);
        const LineList log = f.Lines(f.dir / "out.m3u.txt");
        EXPECT_EQ(log.back(), "Rule broken: artist 'Ana' again after 0:03:20 (window 3 hours)");
        fs::remove(f.dir / "out.m3u");

        std::vector<std::string> schedule = {"schedule"};
        if (strict) schedule.push_back("--strict");
        result = RunCliCopy(program, schedule, f.dir.Path());
        EXPECT_EQ(result.exitCode, strict ? 3 : 0) << result.err;
        EXPECT_EQ(f.Lines(f.dir / "out.m3u").size(), 2u);
    }
}

}  // namespace
}  // namespace kestrune
