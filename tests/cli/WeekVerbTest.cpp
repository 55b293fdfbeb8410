#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/LineList.h"
#include "support/CliRunner.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::RunCli;
using testing::TestSong;
using testing::StationFixture;

struct CliWeekStation : StationFixture {
    CliWeekStation() {
        std::vector<TestSong> songs;
        for (int i = 0; i < 40; ++i)
            songs.push_back({300, "Artist " + std::to_string(i), "Song " + std::to_string(i)});
        const std::string list = Playlist("music.m3u", songs);
        std::filesystem::create_directories(dir / "Sessions");
        dir.Write("Sessions/hour.cwt", FormatLines({list, "#", list, "##", "60", "###",
                                                    dir / "Out/onair.m3u8", "####", "000"}));
        std::filesystem::create_directories(dir / "Out");
    }
};

TEST(CliWeek, BuildsOnePlaylistPerHourAndADayLog) {
    CliWeekStation f;
    std::string grid = "# two hours a day\r\n";
    for (const char* day : {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"})
        grid += std::string(day) + " 06 hour.cwt\r\n" + day + " 07 hour.cwt\r\n";
    f.dir.Write("Sessions/week.kwg", grid);
    const auto result =
        RunCli({"week", "Sessions/week.kwg", "--from", "2026-12-09", "--days", "2", "--seed", "3"},
               f.dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> expected{
        "onair_2026-12-09_06.m3u8", "onair_2026-12-09_07.m3u8", "onair_2026-12-10_06.m3u8",
        "onair_2026-12-10_07.m3u8", "week_2026-12-09.txt",      "week_2026-12-10.txt"};
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(f.dir / "Out"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
    const LineList hour = f.Lines(f.dir / "Out/onair_2026-12-09_06.m3u8");
    EXPECT_EQ(hour[0], "#EXTM3U");
    EXPECT_EQ(hour.size(), 1u + 2u * 12u);
    EXPECT_NE(result.err.find("4 playlists written"), std::string::npos);
}

TEST(CliWeek, BadInputIsRefusedClearly) {
    CliWeekStation f;
    f.dir.Write("Sessions/week.kwg", "Mon 06 hour.cwt\r\n");
    f.dir.Write("Sessions/late.kwg", "Mon 06 hour.cwt\r\nMon 24 hour.cwt\r\n");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {{"week", "Sessions/week.kwg", "--from", "09.12.2026"}, 2,
         "--from must be a date YYYY-MM-DD, not \"09.12.2026\""},
        {{"week", "Sessions/week.kwg", "--from", "2026-02-30"}, 2, "--from must be a date"},
        {{"week", "Sessions/week.kwg"}, 2, "week needs --from YYYY-MM-DD"},
        {{"week", "Sessions/week.kwg", "--from", "2026-12-07", "--days", "0"}, 2,
         "--days must be a whole number from 1 to 366"},
        {{"week", "Sessions/week.kwg", "--from", "2026-12-07", "--days", "10000"}, 2,
         "--days must be a whole number from 1 to 366"},
        {{"week", "Sessions/week.kwg", "--from", "2026-12-07", "--days", "-1"}, 2,
         "--days must be a whole number from 1 to 366"},
        {{"week", "--from", "2026-12-07"}, 2, "week needs one grid file"},
        {{"week", "Sessions/late.kwg", "--from", "2026-12-07"}, 2,
         "line 2: there is no hour \"Mon 24\" in a week"},
        {{"week", "Sessions/none.kwg", "--from", "2026-12-07"}, 2, "Cannot open file"},
    };
    for (const Case& c : cases) {
        const auto result = RunCli(c.args, f.dir.Path());
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args.back();
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(f.dir / "Out"));
}

TEST(CliWeek, AMissingSessionIsNamedAndTheOtherHoursBuilt) {
    CliWeekStation f;
    f.dir.Write("Sessions/week.kwg", "Mon 05 hour.cwt\r\nMon 06 gone.cwt\r\nMon 07 hour.cwt\r\n");
    const auto result =
        RunCli({"week", "Sessions/week.kwg", "--from", "2026-12-07", "--days", "1"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Session not found, hour passed over: Mon 06: "),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(std::filesystem::exists(f.dir / "Out/onair_2026-12-07_05.m3u8"));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "Out/onair_2026-12-07_06.m3u8"));
    EXPECT_TRUE(std::filesystem::exists(f.dir / "Out/onair_2026-12-07_07.m3u8"));
}

TEST(CliWeek, AnOutputFolderThatCannotBeWrittenLeavesNothingHalfWritten) {
    CliWeekStation f;
    f.dir.Write("Sessions/week.kwg", "Mon 05 hour.cwt\r\n");
    std::filesystem::remove_all(f.dir / "Out");
    const auto result =
        RunCli({"week", "Sessions/week.kwg", "--from", "2026-12-07", "--days", "1"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(testing::LastLine(result.err),
              "Cannot create file " + f.dir / "Out/onair_2026-12-07_05.m3u8");
}

// The exit status says what a station must act on: a timing miss alone is named with its hour
// and exits 0 (3 with --strict); a music library away stops the week before anything is written
// (exit 2), as it stops a build.
TEST(CliWeek, TheExitSaysWhatTheStationMustActOn) {
    StationFixture f;
    std::filesystem::create_directories(f.dir / "bin");
    std::filesystem::copy_file(KESTRUNE_CLI_PATH, f.dir / "bin/kestrune-cli");
    f.dir.Write("bin/kestrune.ini", "[Timing]\r\nfill=exact\r\n");
    const std::string program = f.dir / "bin/kestrune-cli";
    // Seven-minute songs in their own folder: eight are four minutes early, nine three late.
    std::vector<TestSong> songs;
    for (int i = 0; i < 12; ++i)
        songs.push_back({420, "Artist " + std::to_string(i), "Song " + std::to_string(i)});
    const std::string list = f.Playlist("music.m3u", songs);
    std::filesystem::create_directories(f.dir / "Out");
    f.dir.Write("hour.cwt", FormatLines({list, "#", list, "##", "60", "###", f.dir / "Out/a.m3u",
                                         "####", "000"}));
    f.dir.Write("week.kwg", "Mon 06 hour.cwt\r\n");
    for (const bool strict : {false, true}) {
        std::vector<std::string> args = {"week", "week.kwg", "--from", "2026-12-07", "--days", "1"};
        if (strict) args.push_back("--strict");
        const auto result = testing::RunCliCopy(program, args, f.dir.Path());
        EXPECT_EQ(result.exitCode, strict ? 3 : 0) << result.err;
        EXPECT_NE(result.err.find("Mon 06: Hour ends 0:0"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("Hours off the hour: Mon 06 (+"), std::string::npos)
            << result.err;
    }

    // The songs' folder gone (a drive unmounted): nothing changes, no hour is written.
    std::filesystem::remove_all(f.dir / "Out");
    std::filesystem::create_directories(f.dir / "Out");
    const std::string before = f.dir.Read("music.m3u");
    std::filesystem::remove_all(std::filesystem::path(f.SongPath(songs[0])).parent_path());
    const auto away = testing::RunCliCopy(
        program, {"week", "week.kwg", "--from", "2026-12-07", "--days", "1"}, f.dir.Path());
    EXPECT_EQ(away.exitCode, 2) << away.err;
    EXPECT_NE(away.err.find("cannot be reached; nothing was changed."), std::string::npos)
        << away.err;
    EXPECT_EQ(f.dir.Read("music.m3u"), before);
    EXPECT_TRUE(std::filesystem::is_empty(f.dir / "Out"));
}

}  // namespace
}  // namespace kestrune
