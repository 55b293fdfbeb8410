#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "onair/AsPlayedLog.h"
#include "support/LocalTime.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"
#include "support/TimeZone.h"

namespace kestrune {
namespace {

using testing::LastLine;
using testing::RunCli;
using testing::TempDir;

// 2026-12-09 06:00 on this machine's clock, as the on-air script and the tool both take it.
int64_t SixLocal() { return testing::LocalMomentMs(2026, 12, 9, 6); }

// A station whose 06:00 hour (or the hours named) plans a, b and c, 100 s each.
struct AiredStation {
    TempDir dir;
    std::string hour;
    explicit AiredStation(const std::vector<std::string>& hours = {"2026-12-09_06"}) {
        std::filesystem::create_directories(dir / "Playlists");
        std::filesystem::create_directories(dir / "Sessions");
        std::string list = "#EXTM3U\r\n";
        for (const char* name : {"a", "b", "c"})
            list += std::string("#EXTINF:100,Artist - ") + name + "\r\n" + Song(name) + "\r\n";
        for (const std::string& name : hours)
            dir.Write("Playlists/onair_" + name + ".m3u8", list);
        hour = dir / ("Playlists/onair_" + hours.front() + ".m3u8");
    }
    std::string Song(const std::string& name) const { return dir / ("Music/" + name + ".mp3"); }
    // "start" and "end" lines for songs aired at the given seconds after `top` (06:00), 90 s
    // each.
    void Aired(const std::vector<std::pair<std::string, int>>& plays,
               int64_t top = SixLocal()) const {
        std::string log = "# Kestrune as-played log\n";
        for (const auto& [name, at] : plays) {
            const int64_t start = top + at * 1000;
            const bool filler = name[0] == 'j';
            log += FormatUtcStamp(start) + "\tstart\t" + (filler ? "filler" : "plan") + "\t" +
                   Song(name) + "\tArtist\t" + name + "\t" +
                   (filler ? dir / "Playlists/jingles.m3u" : hour) + "\n";
            log += FormatUtcStamp(start + 90000) + "\tend\t90.000\tended\t" + Song(name) + "\n";
        }
        dir.Write("Sessions/aired.txt", log);
    }
};

TEST(CliAired, AnHourThatAiredAsPlannedExitsZero) {
    AiredStation s;
    s.Aired({{"a", 0}, {"b", 100}, {"c", 201}});
    const auto result = RunCli({"aired", "--from", "2026-12-09"}, s.dir.Path());
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("2026-12-09 06:00  "), std::string::npos) << result.out;
    EXPECT_EQ(LastLine(result.out),
              "1 hour: 3 planned, 3 aired; 0 never aired, 0 not planned, 0 late");
}

TEST(CliAired, AnItemTakenOutOfTheRunningListAndAFillerAreNamed) {
    AiredStation s;
    // b was taken out by hand: c came at b's time; a jingle filled the end of the hour.
    s.Aired({{"a", 0}, {"c", 100}, {"j1", 3500}});
    const auto result =
        RunCli({"aired", "--from", "2026-12-09", "--to", "2026-12-09", "--station",
                s.dir.Path()},
               "/");
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("  never aired  " + s.Song("b") + " (planned 06:01:40)"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("  late         " + s.Song("c") +
                              " (planned 06:03:20, aired 06:01:40, -100 s)"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("  not planned  " + s.Song("j1") + " (filler, aired 06:58:20)"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(LastLine(result.out),
              "1 hour: 3 planned, 3 aired; 1 never aired, 1 not planned, 1 late");
    // A wider window for lateness lets c pass.
    const auto lenient = RunCli({"aired", "--from", "2026-12-09", "--late", "120"}, s.dir.Path());
    EXPECT_EQ(LastLine(lenient.out),
              "1 hour: 3 planned, 3 aired; 1 never aired, 1 not planned, 0 late");
}

// Berlin's clock changes of 2026. On 29 March 02:00 never comes: its playlist has no air and is
// passed over. On 25 October 02:00 comes twice (00:00 and 01:00 UTC): each pass is an hour of its
// own with the list from its top, the second marked "again", and a time in it names its zone.
TEST(CliAired, TheHourTheClockSkipsHasNoAirAndTheHourItShowsTwiceIsTwoHours) {
    const testing::ScopedTimeZone berlin("Europe/Berlin");
    {
        AiredStation s({"2026-10-25_02"});
        // The first pass airs a, b, c; the second a, c (b taken out), then a jingle.
        s.Aired({{"a", 0}, {"b", 100}, {"c", 200}, {"a", 3600}, {"c", 3700}, {"j1", 3800}},
                testing::UtcMs(2026, 10, 25, 0));
        const auto result = RunCli({"aired", "--from", "2026-10-25"}, s.dir.Path());
        EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
        EXPECT_NE(result.out.find("2026-10-25 02:00  " + s.hour + ": 3 planned, 3 aired\n"),
                  std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("2026-10-25 02:00 again  " + s.hour + ": 3 planned, 3 aired\n"),
                  std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("  never aired  " + s.Song("b") + " (planned 02:01:40 CET)"),
                  std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("  not planned  " + s.Song("j1") +
                                  " (filler, aired 02:03:20 CET)"),
                  std::string::npos)
            << result.out;
        EXPECT_EQ(LastLine(result.out),
                  "2 hours: 6 planned, 6 aired; 1 never aired, 1 not planned, 1 late");
    }
    // The 03:00 list airs from 01:00 UTC, where the clock jumps; 02:00's never does.
    AiredStation s({"2026-03-29_03", "2026-03-29_02"});
    s.Aired({{"a", 0}, {"b", 100}, {"c", 200}}, testing::UtcMs(2026, 3, 29, 1));
    const auto result = RunCli({"aired", "--from", "2026-03-29"}, s.dir.Path());
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out.find(" 02:00"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("2026-03-29 03:00  " + s.hour + ": 3 planned, 3 aired\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(LastLine(result.out),
              "1 hour: 3 planned, 3 aired; 0 never aired, 0 not planned, 0 late");
}

TEST(CliAired, WrongCallsAndAMissingLogAreErrors) {
    AiredStation s;
    EXPECT_EQ(RunCli({"aired"}, s.dir.Path()).exitCode, 2);
    EXPECT_EQ(RunCli({"aired", "--from", "2026-13-01"}, s.dir.Path()).exitCode, 2);
    EXPECT_EQ(RunCli({"aired", "--from", "2026-12-09", "--to", "2026-12-08"}, s.dir.Path())
                  .exitCode,
              2);
    EXPECT_EQ(RunCli({"aired", "--from", "2026-12-09", "--late", "x"}, s.dir.Path()).exitCode,
              2);
    const auto missing = RunCli({"aired", "--from", "2026-12-09"}, s.dir.Path());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("Cannot open file"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace kestrune
