#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/LineList.h"
#include "support/CliRunner.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::LastLine;
using testing::RunCli;
using testing::TestSong;
using testing::StationFixture;

// A station of two categories and a session over them; answers the session's path.
std::string HandMadeStation(StationFixture& f, const std::string& name, bool textLog) {
    std::vector<TestSong> music, spots;
    for (int i = 0; i < 25; ++i)
        music.push_back({170 + 7 * i, "Band " + std::to_string(i % 9),
                         name + " song " + std::to_string(i), 13 + i % 4});
    for (int i = 0; i < 6; ++i)
        spots.push_back(
            {30, "Sponsor " + std::to_string(i), name + " spot " + std::to_string(i), 12});
    const std::string musicList = f.Playlist(name + "-music.m3u", music);
    const std::string spotList = f.Playlist(name + "-spots.m3u", spots);
    f.dir.Write(name + ".cwt", FormatLines({musicList, spotList, "#", musicList, spotList,
                                            musicList, "##", "60", "###", f.dir / (name + ".m3u"),
                                            "####", textLog ? "111" : "001", "3"}));
    return f.dir / (name + ".cwt");
}

TEST(CliBuild, BuildsAnHourAndKeepsEveryCategoryLine) {
    StationFixture f;
    const std::string session = HandMadeStation(f, "hour", true);
    const LineList musicBefore = f.Lines(f.dir / "hour-music.m3u");
    const auto result = RunCli({"build", session, "--seed", "42"}, f.dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(LastLine(result.out).substr(0, 36), "Playlist is complete and is exactly ");
    const LineList playlist = f.Lines(f.dir / "hour.m3u");
    EXPECT_GT(playlist.size(), 15u);
    const LineList log = f.Lines(f.dir / "hour.m3u.txt");
    EXPECT_EQ(log[0].substr(0, 19), "Playlist generated ");
    EXPECT_EQ(log.size(), 5u + playlist.size() + 3u);
    const LineList musicAfter = f.Lines(f.dir / "hour-music.m3u");
    EXPECT_TRUE(std::is_permutation(musicAfter.begin(), musicAfter.end(), musicBefore.begin(),
                                    musicBefore.end()));
    EXPECT_NE(musicAfter, musicBefore);
}

TEST(CliBuild, TheSameSeedGivesTheSameHour) {
    StationFixture a, b;
    const std::string sessionA = HandMadeStation(a, "hour", true);
    const std::string sessionB = HandMadeStation(b, "hour", true);
    // The second station's files hold the first's lines: same songs, other folder.
    b.dir.Write("hour-music.m3u", a.dir.Read("hour-music.m3u"));
    b.dir.Write("hour-spots.m3u", a.dir.Read("hour-spots.m3u"));
    ASSERT_EQ(RunCli({"build", sessionA, "--seed", "7"}, a.dir.Path()).exitCode, 0);
    ASSERT_EQ(RunCli({"build", sessionB, "--seed", "7"}, b.dir.Path()).exitCode, 0);
    EXPECT_EQ(a.dir.Read("hour.m3u"), b.dir.Read("hour.m3u"));
    LineList logA = a.Lines(a.dir / "hour.m3u.txt"), logB = b.Lines(b.dir / "hour.m3u.txt");
    logA.erase(logA.begin());  // the date line
    logB.erase(logB.begin());
    EXPECT_EQ(logA, logB);
    EXPECT_EQ(a.dir.Read("hour-music.m3u"), b.dir.Read("hour-music.m3u"));
}

TEST(CliBuild, ChecksAndErrorsGiveTheirExitStatus) {
    StationFixture f;
    f.dir.Write("empty.cwt", "a.m3u\r\n#\r\n##\r\n60\r\n###\r\nout.m3u\r\n####\r\n000\r\n");
    auto result = RunCli({"build", "empty.cwt"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("You must build a template or format"), std::string::npos);

    f.dir.Write("letters.cwt",
                "a.m3u\r\n#\r\na.m3u\r\n##\r\nabc\r\n###\r\nout.m3u\r\n####\r\n000\r\n");
    result = RunCli({"build", "letters.cwt"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "'abc' is not a valid integer value");

    result = RunCli({"build", "missing.cwt"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "Cannot open file missing.cwt");

    result = RunCli({"build"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("usage"), std::string::npos);
}

TEST(CliBuild, AShortBuildIsWrittenAndExitsOneSayingWhatIsMissing) {
    StationFixture f;
    // A song gone (half the list: not a library away) and a song without playing time.
    f.dir.Write("silent.mp3", "");
    f.dir.Write("gone.m3u", FormatLines({f.dir / "gone.mp3", f.dir / "silent.mp3"}));
    f.dir.Write("short.cwt", FormatLines({f.dir / "gone.m3u", "#", f.dir / "gone.m3u", "##", "60",
                                          "###", f.dir / "short.m3u", "####", "001", "3"}));
    const auto result = RunCli({"build", "short.cwt"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    // The file without audio is refused by the reader, and named in the closing summary.
    EXPECT_NE(result.err.find("The playlist is 1:00:00 short of the desired 1:00:00.\n"),
              std::string::npos);
    EXPECT_EQ(LastLine(result.err),
              "Passed over 1 file that could not be read: " + (f.dir / "silent.mp3") + ".");
    EXPECT_NE(result.err.find("Playlist written to " + (f.dir / "short.m3u")), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(f.dir / "short.m3u")) << "what was built is written";
    EXPECT_EQ(LastLine(result.out).substr(0, 33), "The playlist cannot be completed:");
}

TEST(Cli, HelpAndVersionFollowTheConventions) {
    StationFixture f;
    for (const std::string option : {"--help", "-h"}) {
        const auto help = RunCli({option}, f.dir.Path());
        EXPECT_EQ(help.exitCode, 0) << option;
        EXPECT_EQ(help.out.substr(0, 27), "usage: kestrune-cli VERB [A") << option;
        for (const char* verb : {"probe", "build", "schedule", "demo", "quicklist", "tags"})
            EXPECT_NE(help.out.find(std::string("\n  ") + verb), std::string::npos) << verb;
        EXPECT_EQ(help.err, "") << option;
    }
    const auto version = RunCli({"--version"}, f.dir.Path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "kestrune-cli (Kestrune) " KESTRUNE_VERSION "\n");
    // A wrong call still goes to standard error with status 2.
    const auto wrong = RunCli({"--helpme"}, f.dir.Path());
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err.substr(0, 36), "kestrune-cli: unknown verb: --helpme");
}

TEST(CliSchedule, RunsEveryScheduledSessionOnce) {
    StationFixture f;
    const std::string a = HandMadeStation(f, "a", true);
    const std::string b = HandMadeStation(f, "b", false);
    const std::string c = HandMadeStation(f, "c", false);
    f.dir.Write("auto_build.cws", FormatLines({c, a, b}));
    const auto result = RunCli({"schedule", "--seed", "3"}, f.dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(LastLine(result.out),
              "Entire schedule has completed and will run again in 24 hours.");
    for (const std::string name : {"a.m3u", "b.m3u", "c.m3u"})
        EXPECT_GT(f.Lines(f.dir / name).size(), 10u) << name;
    // The session that asks for a text log gets one, of its own build only.
    const LineList log = f.Lines(f.dir / "a.m3u.txt");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) {
                                return line.rfind("Playlist generated ", 0) == 0;
                            }),
              1);
    // The header, a line per song of the playlist beside it, three per hour divider.
    const auto dividers = std::count(log.begin(), log.end(), std::string(53, '-'));
    EXPECT_EQ(log.size(), 5 + f.Lines(f.dir / "a.m3u").size() + 3 * static_cast<size_t>(dividers));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "b.m3u.txt")) << "b does not ask for one";

    // A session that places nothing: not written (the last good playlist stays), named on
    // standard error, the run goes on and the tool exits 1.
    f.dir.Write("gone.m3u", (f.dir / "gone.mp3") + "\r\n");
    f.dir.Write("b-short.cwt", FormatLines({f.dir / "gone.m3u", "#", f.dir / "gone.m3u", "##", "30",
                                            "###", f.dir / "b-short.m3u", "####", "001", "3"}));
    f.dir.Write("short.cws", FormatLines({a, f.dir / "b-short.cwt", c}));
    std::filesystem::remove(f.dir / "c.m3u");
    const auto fellShort = RunCli({"schedule", "short.cws"}, f.dir.Path());
    EXPECT_EQ(fellShort.exitCode, 1);
    // (The rules the other sessions broke follow it there.)
    EXPECT_NE(fellShort.err.find((f.dir / "b-short.cwt") +
                                 ": The playlist is 0:30:00 short of the desired 0:30:00. "
                                 "Nothing was placed; " + (f.dir / "b-short.m3u") +
                                 " was not written.\n"),
              std::string::npos)
        << fellShort.err;
    EXPECT_EQ(LastLine(fellShort.out),
              "Entire schedule has completed and will run again in 24 hours.");
    EXPECT_FALSE(std::filesystem::exists(f.dir / "b-short.m3u"));
    EXPECT_GT(f.Lines(f.dir / "c.m3u").size(), 10u) << "the run went on";

    // A broken second session: the first is written, the run stops with the error.
    std::filesystem::remove(f.dir / "a.m3u");
    std::filesystem::remove(f.dir / "c.m3u");
    f.dir.Write("b.cwt", "cut short\r\n");
    f.dir.Write("other.cws", FormatLines({a, b, c}));
    const auto broken = RunCli({"schedule", "other.cws"}, f.dir.Path());
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_EQ(LastLine(broken.err), "List index out of bounds (1)");
    EXPECT_TRUE(std::filesystem::exists(f.dir / "a.m3u"));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "c.m3u"));
}

TEST(CliDemo, WritesThePlaylistsAndTheSessionThatBuilds) {
    StationFixture f;
    std::filesystem::create_directories(f.dir / "Playlists");
    std::filesystem::create_directories(f.dir / "Sessions");
    f.dir.Write("Sessions/master_template.cfg", "demo_current.m3u\r\ndemo_jingles.m3u\r\n");
    auto result = RunCli({"demo"}, f.dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string session = f.dir / "Sessions/demo_current_hit_radio_format_1hour.cwt";
    const LineList lines = f.Lines(session);
    EXPECT_EQ(lines.front(), f.dir / "Playlists/demo_commercials.m3u");
    EXPECT_EQ(f.Lines(f.dir / "Playlists/demo_oldies.m3u").size(), 10u);

    std::filesystem::remove(f.dir / "Sessions/master_template.cfg");
    result = RunCli({"demo"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "Cannot open file " + (f.dir / "Sessions/master_template.cfg"));
}

}  // namespace
}  // namespace kestrune
