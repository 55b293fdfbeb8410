// The week grid file, calendar dates, hour playlist names and building days from a grid.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "building/BuildCommand.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "sessions/Scheduler.h"
#include "sessions/WeekGrid.h"
#include "sessions/WeekRun.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::TestSong;
using testing::StationFixture;

TEST(WeekGrid, FormatsEveryHourAndReadsItBack) {
    WeekGrid grid;
    grid.Set(0, 0, "overnight.cwt");
    grid.Set(0, 7, "/st/Sessions/morning show.cwt");
    grid.Set(6, 23, "late, & <odd>.cwt");
    const std::string text = FormatWeekGrid(grid);
    const LineList lines = ParseLines(text);
    ASSERT_EQ(lines.size(), 3u + 168u);
    EXPECT_EQ(lines[3], "Mon 00 overnight.cwt");
    EXPECT_EQ(lines[4], "Mon 01");
    EXPECT_EQ(lines[10], "Mon 07 /st/Sessions/morning show.cwt");
    EXPECT_EQ(lines[3 + 24], "Tue 00");
    EXPECT_EQ(lines.back(), "Sun 23 late, & <odd>.cwt");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    std::string error;
    const auto back = ParseWeekGrid(text, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, grid);
}

TEST(WeekGrid, ReadsHandEditedFiles) {
    std::string error;
    const auto grid = ParseWeekGrid(
        "# my week\n\nsun 23 b.cwt\nMON 07 a b.cwt\r\nWed 12\nThu 13 \n#Fri 01 x\n", error);
    ASSERT_TRUE(grid) << error;
    EXPECT_EQ(grid->At(6, 23), "b.cwt");
    EXPECT_EQ(grid->At(0, 7), "a b.cwt");
    EXPECT_EQ(grid->At(2, 12), "");
    EXPECT_EQ(grid->At(3, 13), "");
    EXPECT_EQ(grid->At(4, 1), "");
    int named = 0;
    for (const std::string& cell : grid->cells) named += cell.empty() ? 0 : 1;
    EXPECT_EQ(named, 2);
}

TEST(WeekGrid, NamesTheFirstWrongLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"Mon 24 a.cwt", "line 1: there is no hour \"Mon 24\" in a week"},
        {"# x\nFoo 07 a.cwt", "line 2: there is no hour \"Foo 07\" in a week"},
        {"Mon 7 a.cwt", "line 1: there is no hour \"Mon 7\" in a week"},
        {"Mon 007 a.cwt", "line 1: there is no hour \"Mon 007\" in a week"},
        {"Mon-07 a.cwt", "line 1: there is no hour \"Mon-07\" in a week"},
        {"Mon", "line 1: there is no hour \"Mon\" in a week"},
        {" Mon 07 a.cwt", "line 1: there is no hour \" Mon\" in a week"},
        {"Tue 07 a.cwt\nTue 07 b.cwt", "line 2: Tue 07 is given twice"},
        {"tue 07\nTUE 07 b.cwt", "line 2: Tue 07 is given twice"},
    };
    for (const auto& [text, message] : cases) {
        std::string error;
        EXPECT_FALSE(ParseWeekGrid(text, error)) << text;
        EXPECT_EQ(error, message) << text;
    }
}

TEST(WeekGrid, LoadNamesTheFileAndTheLine) {
    testing::TempDir dir;
    dir.Write("bad.kwg", "Mon 25 a.cwt\n");
    try {
        LoadWeekGrid(dir / "bad.kwg");
        FAIL();
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()),
                  dir / "bad.kwg" + ", line 1: there is no hour \"Mon 25\" in a week");
    }
    WeekGrid grid;
    grid.Set(3, 3, "x.cwt");
    SaveWeekGrid(dir / "good.kwg", grid);
    EXPECT_EQ(LoadWeekGrid(dir / "good.kwg"), grid);
}

// Editors save with a byte-order mark; the first line is read all the same, and every hour
// knows its line for the messages that name it.
TEST(WeekGrid, AByteOrderMarkIsNoPartOfTheFirstLine) {
    std::string error;
    const auto grid = ParseWeekGrid("\xEF\xBB\xBFMon 07 a.cwt\r\n# note\r\nTue 08 b.cwt\r\n", error);
    ASSERT_TRUE(grid) << error;
    EXPECT_EQ(grid->At(0, 7), "a.cwt");
    EXPECT_EQ(grid->LineOf(0, 7), 1);
    EXPECT_EQ(grid->LineOf(1, 8), 3);
    EXPECT_EQ(grid->LineOf(2, 0), 0);
    // Only at the very start is it a mark.
    EXPECT_FALSE(ParseWeekGrid("Mon 07 a.cwt\n\xEF\xBB\xBFTue 08 b.cwt\n", error));
    EXPECT_EQ(error.substr(0, 8), "line 2: ");
}

TEST(CalendarDates, ParseOnlyRealDates) {
    EXPECT_EQ(ParseCalendarDate("2026-12-09"), (CalendarDate{2026, 12, 9}));
    EXPECT_EQ(ParseCalendarDate("2024-02-29"), (CalendarDate{2024, 2, 29}));
    for (const char* wrong : {"2026-02-29", "1900-02-29", "2026-13-01", "2026-00-10", "2026-04-31",
                              "2026-12-9", "26-12-09", "2026/12/09", "2026-12-09x", "",
                              "0000-01-01", "tomorrow", "2026-1a-09"})
        EXPECT_FALSE(ParseCalendarDate(wrong)) << wrong;
    EXPECT_TRUE(ParseCalendarDate("2000-02-29"));
}

TEST(CalendarDates, WeekdaysAndDaysAcrossMonthsAndYears) {
    EXPECT_EQ(WeekdayOf({2026, 12, 9}), 2);  // a Wednesday
    EXPECT_EQ(WeekdayOf({2026, 12, 7}), 0);
    EXPECT_EQ(WeekdayOf({2000, 1, 1}), 5);   // a Saturday
    EXPECT_EQ(WeekdayOf({1970, 1, 1}), 3);
    EXPECT_EQ(AddDays({2026, 12, 31}, 1), (CalendarDate{2027, 1, 1}));
    EXPECT_EQ(AddDays({2024, 2, 28}, 1), (CalendarDate{2024, 2, 29}));
    EXPECT_EQ(AddDays({2023, 2, 28}, 1), (CalendarDate{2023, 3, 1}));
    EXPECT_EQ(AddDays({2026, 3, 1}, -1), (CalendarDate{2026, 2, 28}));
    // Day by day over four years: each step the next weekday and the next date in the text.
    CalendarDate date{2023, 1, 1};
    for (int i = 0; i < 4 * 366; ++i) {
        const CalendarDate next = AddDays(date, 1);
        ASSERT_EQ(WeekdayOf(next), (WeekdayOf(date) + 1) % 7);
        ASSERT_GT(DateText(next), DateText(date));
        ASSERT_EQ(ParseCalendarDate(DateText(next)), next);
        date = next;
    }
}

TEST(WeekGrid, HourPlaylistsAreNamedAfterTheOutputFile) {
    const CalendarDate date{2026, 12, 9};
    EXPECT_EQ(HourPlaylistPath("/x/morning.m3u8", date, 7), "/x/morning_2026-12-09_07.m3u8");
    EXPECT_EQ(HourPlaylistPath("/x/a.b/noext", date, 23), "/x/a.b/noext_2026-12-09_23");
    EXPECT_EQ(HourPlaylistPath("/x/.hidden", date, 0), "/x/.hidden_2026-12-09_00");
    EXPECT_EQ(HourPlaylistPath("out.tar.pls", date, 12), "out.tar_2026-12-09_12.pls");
    EXPECT_EQ(SessionPathInGrid("a.cwt", "/st/Sessions/week.kwg"), "/st/Sessions/a.cwt");
    EXPECT_EQ(SessionPathInGrid("/o/a.cwt", "/st/Sessions/week.kwg"), "/o/a.cwt");
}

// A station with one category of many short songs of distinct artists and one-hour sessions.
struct WeekStation : StationFixture {
    WeekStation() {
        std::vector<TestSong> songs;
        for (int i = 0; i < 60; ++i)
            songs.push_back({600, "Artist " + std::to_string(i), "Song " + std::to_string(i)});
        const std::string list = Playlist("music.m3u", songs);
        dir.Write("hour.cwt", FormatLines({list, "#", list, "##", "60", "###",
                                           dir / "out/hour.m3u8", "####", "001", "3"}));
        std::filesystem::create_directories(dir / "out");
    }
};

TEST(WeekRun, BuildsEveryNamedHourInOrderWithADayLog) {
    WeekStation station;
    WeekGrid grid;
    grid.Set(WeekdayOf({2026, 12, 9}), 7, "hour.cwt");
    grid.Set(WeekdayOf({2026, 12, 9}), 8, "hour.cwt");
    grid.Set(WeekdayOf({2026, 12, 10}), 0, "hour.cwt");
    const WeekRunReport report = BuildWeekDays(station.context, grid, station.dir / "week.kwg",
                                               {2026, 12, 9}, 2);
    const std::string out = station.dir / "out/";
    EXPECT_EQ(report.playlists,
              (std::vector<std::string>{out + "hour_2026-12-09_07.m3u8",
                                        out + "hour_2026-12-09_08.m3u8",
                                        out + "hour_2026-12-10_00.m3u8"}));
    EXPECT_EQ(report.textLogs, (std::vector<std::string>{out + "week_2026-12-09.txt",
                                                         out + "week_2026-12-10.txt"}));
    EXPECT_TRUE(report.missingSessions.empty());
    // Six ten-minute songs an hour. The artists played carry from hour to hour and over
    // midnight: after its first song (which the builder places before it checks anything), no
    // hour repeats an artist of the hours before it.
    std::set<std::string> earlier;
    size_t songs = 0;
    for (const std::string& playlist : report.playlists) {
        const LineList lines = station.Lines(playlist);
        ASSERT_EQ(lines[0], "#EXTM3U");
        std::vector<std::string> artists;
        for (const std::string& line : lines)
            if (line.rfind("#EXTINF:600,", 0) == 0)
                artists.push_back(line.substr(12, line.find(" - ") - 12));
        ASSERT_EQ(artists.size(), 6u) << playlist;
        for (size_t i = 1; i < artists.size(); ++i)
            EXPECT_EQ(earlier.count(artists[i]), 0u) << playlist << " song " << i;
        earlier.insert(artists.begin(), artists.end());
        songs += artists.size();
    }
    EXPECT_EQ(songs, 18u);
    // Each hour's block of the day log: the build's header as it is, then the hour it is.
    const struct {
        const char* day;
        std::vector<std::string> hours;
    } days[] = {{"2026-12-09", {"Hour: Wed 2026-12-09 07:00", "Hour: Wed 2026-12-09 08:00"}},
                {"2026-12-10", {"Hour: Thu 2026-12-10 00:00"}}};
    for (const auto& day : days) {
        const LineList log = station.Lines(out + "week_" + day.day + ".txt");
        std::vector<std::string> named;
        for (size_t i = 0; i < log.size(); ++i) {
            if (log[i].rfind("Playlist generated", 0) != 0) continue;
            ASSERT_LT(i + 5, log.size());
            EXPECT_EQ(LineList(log.begin() + i + 1, log.begin() + i + 5),
                      (LineList{"Start Time  Artist - \"Title\"", " ",
                                "------------ ALL HOURS DIVIDED BY DOTTED LINE ------------", " "}));
            named.push_back(log[i + 5]);
        }
        EXPECT_EQ(named, day.hours) << day.day;
    }
}

TEST(WeekRun, AMissingSessionIsNamedAndTheRestBuilt) {
    WeekStation station;
    WeekGrid grid;
    grid.Set(0, 5, "hour.cwt");
    grid.Set(0, 6, "gone.cwt");
    grid.Set(0, 7, "hour.cwt");
    const WeekRunReport report = BuildWeekDays(station.context, grid, station.dir / "week.kwg",
                                               {2026, 12, 7}, 1);
    EXPECT_EQ(report.playlists.size(), 2u);
    EXPECT_EQ(report.missingSessions,
              (std::vector<std::string>{"Mon 06: " + station.dir / "gone.cwt"}));
}

TEST(WeekRun, AnOutputFolderThatIsNotThereStopsBeforeAnyBuild) {
    WeekStation station;
    const std::string musicBefore = station.dir.Read("music.m3u");
    station.dir.Write("elsewhere.cwt",
                      FormatLines({station.dir / "music.m3u", "#", station.dir / "music.m3u",
                                   "##", "60", "###", station.dir / "nowhere/x.m3u", "####",
                                   "000"}));
    WeekGrid grid;
    grid.Set(0, 1, "hour.cwt");
    grid.Set(1, 2, "elsewhere.cwt");
    try {
        BuildWeekDays(station.context, grid, station.dir / "week.kwg", {2026, 12, 7}, 2);
        FAIL();
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file " + station.dir / "nowhere/x_2026-12-08_02.m3u");
    }
    EXPECT_TRUE(station.dir.Names().size() > 0);
    EXPECT_TRUE(std::filesystem::is_empty(station.dir / "out"));
    EXPECT_EQ(station.dir.Read("music.m3u"), musicBefore);
}

// A grid line naming a file that is no session stops the run before anything is written, and
// the error says which line of which grid named which file.
TEST(WeekRun, AFileThatIsNoSessionIsNamedWithItsGridLine) {
    WeekStation station;
    station.dir.Write("notes.txt", "just a note\r\n");
    station.dir.Write("week.kwg", "# week\r\nMon 05 hour.cwt\r\nMon 06 notes.txt\r\n");
    const WeekGrid grid = LoadWeekGrid(station.dir / "week.kwg");
    try {
        BuildWeekDays(station.context, grid, station.dir / "week.kwg", {2026, 12, 7}, 1);
        FAIL();
    } catch (const KestruneError& error) {
        EXPECT_EQ(std::string(error.what()),
                  station.dir / "week.kwg" + ", line 3 (Mon 06): " + station.dir / "notes.txt" +
                      " cannot be read as a session: List index out of bounds (1)");
    }
    EXPECT_TRUE(std::filesystem::is_empty(station.dir / "out"));
}

// An hour build would refuse is passed over; an hour that places nothing keeps the playlist it
// had. Each is named by its day and hour.
TEST(WeekRun, ShortEmptyAndRefusedHoursAreNamedAndNoEmptyPlaylistIsWritten) {
    WeekStation station;
    const std::string music = station.dir / "music.m3u";
    station.dir.Write("gone.m3u", (station.dir / "gone.mp3") + "\r\n");
    const std::string gone = station.dir / "gone.m3u";
    const auto session = [&](const std::string& name, const std::string& list,
                             const std::string& out) {
        station.dir.Write(name, FormatLines({list, "#", list, "##", "60", "###", out, "####",
                                             "000"}));
    };
    session("empty.cwt", gone, station.dir / "out/empty.m3u");
    session("onto.cwt", music, music);
    const std::string kept = station.dir / "out/empty_2026-12-08_07.m3u";
    station.dir.Write("out/empty_2026-12-08_07.m3u", "/last/good/hour.mp3\r\n");
    WeekGrid grid;
    grid.Set(1, 7, "empty.cwt");
    grid.Set(1, 8, "onto.cwt");
    grid.Set(1, 9, "hour.cwt");
    const std::string musicBefore = station.dir.Read("music.m3u");
    const WeekRunReport report =
        BuildWeekDays(station.context, grid, station.dir / "week.kwg", {2026, 12, 8}, 1);
    std::vector<std::string> named;
    for (const ShortSession& hour : report.shortHours) named.push_back(ShortSessionText(hour));
    EXPECT_EQ(named, (std::vector<std::string>{
                         "Tue 07: The playlist is 1:00:00 short of the desired 1:00:00. Nothing "
                         "was placed; " + kept + " was not written.",
                         "Tue 08 was passed over: " + OutputIsCategoryMessage(music)}));
    EXPECT_EQ(station.dir.Read("out/empty_2026-12-08_07.m3u"), "/last/good/hour.mp3\r\n");
    EXPECT_EQ(ParseLines(station.dir.Read("music.m3u")).size(), ParseLines(musicBefore).size());
    EXPECT_EQ(report.playlists,
              std::vector<std::string>{station.dir / "out/hour_2026-12-08_09.m3u8"});
}

// The clock skips an hour in spring and repeats one in autumn; the grid's days keep their 24
// wall-clock hours, so those days get the same playlists as any other.
TEST(WeekRun, DaysWhenTheClockChangesHaveTheirTwentyFourHours) {
    for (const CalendarDate day : {CalendarDate{2026, 3, 29}, CalendarDate{2026, 10, 25},
                                   CalendarDate{2026, 3, 8}, CalendarDate{2026, 11, 1}}) {
        WeekStation station;
        WeekGrid grid;
        for (int hour = 0; hour < kHoursInDay; ++hour) grid.Set(WeekdayOf(day), hour, "hour.cwt");
        const WeekRunReport report =
            BuildWeekDays(station.context, grid, station.dir / "g.kwg", day, 1);
        ASSERT_EQ(report.playlists.size(), 24u);
        EXPECT_EQ(report.playlists[2], HourPlaylistPath(station.dir / "out/hour.m3u8", day, 2));
    }
}

}  // namespace
}  // namespace kestrune

namespace kestrune {
namespace {

class IdleTimer : public AutoBuildTimer {
public:
    void Start(int64_t milliseconds) override { interval = milliseconds; }
    void Stop() override {}
    bool IsOn() const override { return false; }
    int64_t Interval() const override { return interval; }
    int64_t interval = 0;
};

// The schedule takes a grid like a session: its run builds the next day's hours.
TEST(WeekRun, TheScheduleBuildsTheNextDayOfAGrid) {
    WeekStation station;
    station.clock.now = {2026, 12, 6, 21, 0, 0, 0};  // a Sunday evening
    WeekGrid grid;
    grid.Set(0, 6, "hour.cwt");  // Monday 06
    grid.Set(0, 7, "gone.cwt");
    grid.Set(6, 6, "hour.cwt");  // Sunday: today, not built
    SaveWeekGrid(station.dir / "week.KWG", grid);
    IdleTimer timer;
    Scheduler scheduler(timer);
    scheduler.AddSessions({station.dir / "week.KWG"});
    scheduler.timerAutoBuildTimer(station.context, nullptr);
    EXPECT_TRUE(std::filesystem::exists(station.dir / "out/hour_2026-12-07_06.m3u8"));
    EXPECT_FALSE(std::filesystem::exists(station.dir / "out/hour_2026-12-06_06.m3u8"));
    EXPECT_TRUE(std::filesystem::exists(station.dir / "out/week_2026-12-07.txt"));
    EXPECT_EQ(station.view.Count("Session not found, hour passed over: Mon 07: "), 1);
    EXPECT_EQ(timer.interval, kOneDay);
}

}  // namespace
}  // namespace kestrune
