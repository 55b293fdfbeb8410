// The play history records what airs, when it airs: plays at their planned time, an hour built
// again in place of its earlier plays, nothing for a playlist never written, and every line it
// cannot read kept and named.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "building/BuildCommand.h"
#include "building/PlaylistBuilder.h"
#include "platform/KestruneError.h"
#include "sessions/SessionFile.h"
#include "rules/PlayHistoryFile.h"
#include "rules/RuleSettings.h"
#include "sessions/StationConfig.h"
#include "sessions/WeekRun.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::TestSong;
using testing::StationFixture;

int64_t At(int year, int month, int day, int hour, int minute, int second) {
    return CalendarSeconds({year, month, day, hour, minute, second, 0});
}

TEST(PlayHistoryChain, ABuildFollowsOnlyThePlaysThatRunIntoIt) {
    const int64_t now = At(2026, 12, 9, 20, 4, 0);
    const auto play = [](int64_t start, int32_t seconds) {
        return PlayedSong{start, seconds, "a", "t", "", "/f.mp3"};
    };
    const struct {
        const char* what;
        std::vector<PlayedSong> songs;
        int64_t start;
    } cases[] = {
        {"no plays", {}, now},
        {"plays long over", {play(now - 7200, 200), play(now - 7000, 200)}, now},
        {"one running into now", {play(now - 100, 300)}, now + 200},
        {"a chain, out of order in the file",
         {play(now + 200, 100), play(now - 100, 300), play(now + 300, 50)},
         now + 350},
        {"a line years ahead", {play(At(2099, 1, 1, 0, 0, 0), 200)}, now},
        {"builds planned for later today", {play(now + 3 * 3600, 60), play(now + 5 * 3600, 60)},
         now + 5 * 3600 + 60},
        {"a chain, then more than a day, then more",
         {play(now, 60), play(now + 60 + 86401, 60)},
         now + 60},
    };
    for (const auto& c : cases) EXPECT_EQ(ChainedStart(c.songs, now), c.start) << c.what;
}

TEST(PlayHistoryLines, LinesThatAreNoPlayAreKeptAsTheyStand) {
    const std::string text =
        "2026-12-08 04:00:00\t200\tAna\tOne\t\t/a.mp3\r\n"
        "junk that is no play\r\n"
        "2026-12-08 04:03:20\t-1\tBo\tTwo\t\t/b.mp3\r\n";
    const std::vector<HistoryLine> lines = ReadHistoryLines(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].song);
    EXPECT_FALSE(lines[1].song);
    EXPECT_FALSE(lines[2].song);
    EXPECT_EQ(FormatHistoryLines(lines), text);
    EXPECT_EQ(UnreadHistoryLineText("/st/play_history.txt", 2, "bad\x1b[2Jline"),
              "Line 2 of /st/play_history.txt is not a play and is kept as it is: bad [2Jline");
    // What a tag brings is cleaned before it is recorded: no field can break the line.
    const PlayedSong song = PlayOf(0, 1, "Art\r\nist", "Ti\x1btle", "Al\tbum", "/x\n.mp3");
    EXPECT_EQ(FormatPlayedSong(song), "1970-01-01 00:00:00\t1\tArt  ist\tTi tle\tAl bum\t/x .mp3");
}

// A station keeping a play history, with one category of distinct artists and an hour session.
struct HistoryStation : StationFixture {
    StationFolders folders;
    HistoryStation() {
        dir.Write("kestrune.ini", "[Rules]\r\nhistory=1\r\n");
        context.settingsFiles = dir / "kestrune.ini";
        folders.sessions = dir.Path();
        context.historyFolder = &folders.sessions;
        context.rules = ReadRuleSettings(context.settingsFiles);
        std::vector<TestSong> songs;
        for (int i = 0; i < 40; ++i)
            songs.push_back({600, "Artist " + std::to_string(i), "Song " + std::to_string(i)});
        const std::string list = Playlist("music.m3u", songs);
        dir.Write("hour.cwt", FormatLines({list, "#", list, "##", "60", "###",
                                           dir / "out/hour.m3u", "####", "001", "3"}));
        std::filesystem::create_directories(dir / "out");
    }
    std::vector<PlayedSong> Plays() const {
        return ParsePlayHistory(dir.Read("play_history.txt"));
    }
};

TEST(PlayHistoryWeek, PlaysAreAtTheHoursOwnTimeAndAnHourBuiltAgainReplacesThem) {
    HistoryStation f;
    f.clock.now = {2026, 12, 9, 20, 4, 0, 0};  // the run is two days after the days it builds
    WeekGrid grid;
    grid.Set(0, 7, "hour.cwt");
    grid.Set(0, 8, "hour.cwt");
    BuildWeekDays(f.context, grid, f.dir / "week.kwg", {2026, 12, 7}, 1);
    const std::vector<PlayedSong> first = f.Plays();
    ASSERT_EQ(first.size(), 12u);
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i].start, At(2026, 12, 7, 7, 0, 0) + 600 * static_cast<int64_t>(i)) << i;

    // The same day again: the same hours, each in place of its earlier plays.
    BuildWeekDays(f.context, grid, f.dir / "week.kwg", {2026, 12, 7}, 1);
    const std::vector<PlayedSong> again = f.Plays();
    ASSERT_EQ(again.size(), 12u);
    for (size_t i = 0; i < again.size(); ++i) EXPECT_EQ(again[i].start, first[i].start) << i;
    // What the hours placed the second time is what the history holds.
    const LineList hour7 = f.Lines(f.dir / "out/hour_2026-12-07_07.m3u");
    ASSERT_EQ(hour7.size(), 6u);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(again[i].file, hour7[i]);
}

TEST(PlayHistoryBuild, NothingIsRecordedForAPlaylistThatIsNotWritten) {
    HistoryStation f;
    f.dir.Write("play_history.txt", "2026-12-06 10:00:00\t200\tOld\tSong\t\t/x.mp3\r\n");
    const std::string before = f.dir.Read("play_history.txt");
    LoadSession(f.dir / "hour.cwt", f.context);
    f.session.SetOutputFile(f.dir / "no-such-folder/hour.m3u");
    ASSERT_TRUE(btBuildPlaylistClick(f.context));
    EXPECT_EQ(f.dir.Read("play_history.txt"), before) << "not on air yet";
    EXPECT_THROW(btAcceptFinalPlaylistClick(f.context), KestruneError);
    EXPECT_EQ(f.dir.Read("play_history.txt"), before) << "the playlist was not written";

    f.session.SetOutputFile(f.dir / "out/hour.m3u");
    ASSERT_TRUE(btAcceptFinalPlaylistClick(f.context));
    // The old line was beyond every window: it goes at this write.
    const std::vector<PlayedSong> plays = f.Plays();
    ASSERT_EQ(plays.size(), 6u);
    EXPECT_EQ(plays[0].file, f.session.lbFinalPlaylist[0]);
}

TEST(PlayHistoryBuild, AFutureLineMovesNothingAndAnUnreadLineIsNamedOnceAndKept) {
    HistoryStation f;
    f.clock.now = {2026, 12, 9, 20, 4, 0, 0};
    f.dir.Write("play_history.txt",
                "2099-01-01 00:00:00\t200\tFar\tAhead\t\t/far.mp3\r\n"
                "not a play at all\r\n");
    LoadSession(f.dir / "hour.cwt", f.context);
    ASSERT_TRUE(btBuildPlaylistClick(f.context));
    ASSERT_TRUE(btAcceptFinalPlaylistClick(f.context));
    const LineList lines = f.Lines(f.dir / "play_history.txt");
    ASSERT_EQ(lines.size(), 2u + 6u);
    EXPECT_EQ(lines[0].substr(0, 19), "2099-01-01 00:00:00");
    EXPECT_EQ(lines[1], "not a play at all");
    EXPECT_EQ(lines[2].substr(0, 19), "2026-12-09 20:04:00");
    const std::string named = UnreadHistoryLineText(f.dir / "play_history.txt", 2,
                                                    "not a play at all");
    EXPECT_EQ(std::count(f.view.Problems().begin(), f.view.Problems().end(), named), 1)
        << "named once, not once for every song";
}

}  // namespace
}  // namespace kestrune
