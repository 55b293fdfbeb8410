#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "onair/AsPlayedLog.h"
#include "onair/PlanAgainstAir.h"
#include "output/Extinf.h"
#include "output/PlaylistWriter.h"

namespace kestrune {
namespace {

constexpr int64_t kSix = 1765260000000;  // 2025-12-09T06:00:00.000Z

TEST(AsPlayedLog, UtcStampsReadAndWrite) {
    struct Case {
        const char* text;
        std::optional<int64_t> ms;
    };
    const Case cases[] = {
        {"2025-12-09T06:00:00.000Z", kSix},
        {"2025-12-09T06:00:00Z", kSix},
        {"2025-12-09T06:01:02.345Z", kSix + 62345},
        {"1970-01-01T00:00:00.000Z", 0},
        {"2024-02-29T23:59:59.999Z", 1709251199999},
        {"2025-02-29T00:00:00.000Z", std::nullopt},  // no such day
        {"2025-12-09T24:00:00.000Z", std::nullopt},
        {"2025-12-09 06:00:00.000Z", std::nullopt},
        {"2025-12-09T06:00:00.000", std::nullopt},  // local time: not ours
        {"2025-12-09T06:00:00.1Z", std::nullopt},
        {"2025-12-09T06:0x:00.000Z", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseUtcStamp(c.text), c.ms) << c.text;
        if (c.ms && std::string(c.text).size() == 24) {
            EXPECT_EQ(FormatUtcStamp(*c.ms), c.text);
        }
    }
    EXPECT_EQ(FormatUtcStamp(-1), "1969-12-31T23:59:59.999Z");
}

TEST(AsPlayedLog, StartsAndEndsPairByFileAndCutLinesAreCounted) {
    const std::string text =
        "# Kestrune as-played log: UTC time, then\n"
        "2025-12-09T06:00:00.100Z\tstart\tplan\t/m/a.mp3\tArtist A\tSong A\t/p/h06.m3u8\n"
        "2025-12-09T06:03:00.200Z\tend\t180.100\tended\t/m/a.mp3\n"
        "2025-12-09T06:03:00.200Z\tstart\tplan\t/m/b.mp3\t\t\t/p/h06.m3u8\r\n"
        "an odd line\n"
        "2025-12-09T06:04:00.000Z\tend\t1.000\tended\t/m/nothing.mp3\n"  // ends nothing
        "2025-12-09T06:59:59.000Z\tend\t60.000\tfaded\t/m/b.mp3\n"
        "2025-12-09T07:00:00.000Z\tstart\tfiller\t/m/j.mp3\tJingles\tJingle\t/p/j.m3u\n"
        "2025-12-09T07:00:05.000Z\tstart\tplan\t/m/c.mp3\tC\tSong";  // cut by a crash
    const AsPlayedLog log = ParseAsPlayedLog(text);
    ASSERT_EQ(log.items.size(), 3u);
    EXPECT_EQ(log.items[0], (AiredItem{kSix + 100, "plan", "/m/a.mp3", "Artist A", "Song A",
                                       "/p/h06.m3u8", kSix + 180200, "ended"}));
    EXPECT_EQ(log.items[1].file, "/m/b.mp3");
    EXPECT_EQ(log.items[1].artist, "");
    EXPECT_EQ(log.items[1].endMs, kSix + 3599000);
    EXPECT_EQ(log.items[1].how, "faded");
    EXPECT_EQ(log.items[2].kind, "filler");
    EXPECT_FALSE(log.items[2].endMs);
    EXPECT_EQ(log.unreadLines, 3);
}

TEST(AsPlayedLog, AnEndClosesTheLatestOpenPlayOfItsFile) {
    const std::string text =
        "2025-12-09T06:00:00.000Z\tstart\tfiller\t/m/j.mp3\tJ\tJ\t/p/j.m3u\n"
        "2025-12-09T06:00:03.000Z\tend\t3.000\tended\t/m/j.mp3\n"
        "2025-12-09T06:00:03.000Z\tstart\tfiller\t/m/j.mp3\tJ\tJ\t/p/j.m3u\n"
        "2025-12-09T06:00:06.000Z\tend\t3.000\tcut\t/m/j.mp3\n";
    const AsPlayedLog log = ParseAsPlayedLog(text);
    ASSERT_EQ(log.items.size(), 2u);
    EXPECT_EQ(log.items[0].endMs, kSix + 3000);
    EXPECT_EQ(log.items[0].how, "ended");
    EXPECT_EQ(log.items[1].endMs, kSix + 6000);
    EXPECT_EQ(log.items[1].how, "cut");
    EXPECT_EQ(log.unreadLines, 0);
}

// A log turned round (tac), two logs merged, lines shuffled: the same items, closed by the same
// ends, as the log in order. A jingle that follows itself ends and starts in one millisecond.
TEST(AsPlayedLog, AnyOrderOfTheLinesGivesTheSameItems) {
    std::vector<std::string> lines;
    for (int i = 0; i < 200; ++i) {
        const std::string file = i % 5 == 0 ? "/m/j.mp3" : "/m/s" + std::to_string(i % 7) + ".mp3";
        const int64_t start = kSix + i * 3000;
        const std::string kind = i % 5 == 0 ? "filler" : "plan";
        lines.push_back(FormatUtcStamp(start) + "\tstart\t" + kind + "\t" + file + "\tA\tT\t/p/x.m3u\n");
        if (i % 11 != 3)  // some never end in the log
            lines.push_back(FormatUtcStamp(start + 3000) + "\tend\t3.000\tended\t" + file + "\n");
    }
    auto join = [](const std::vector<std::string>& parts) {
        std::string text;
        for (const std::string& part : parts) text += part;
        return text;
    };
    const AsPlayedLog inOrder = ParseAsPlayedLog(join(lines));
    ASSERT_EQ(inOrder.items.size(), 200u);
    EXPECT_EQ(inOrder.unreadLines, 0);
    std::vector<std::string> reversed(lines.rbegin(), lines.rend());
    std::vector<std::string> shuffled = lines;
    std::mt19937 random(7);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    for (const auto& [name, text] : std::vector<std::pair<const char*, std::string>>{
             {"reversed", join(reversed)}, {"shuffled", join(shuffled)}}) {
        const AsPlayedLog read = ParseAsPlayedLog(text);
        EXPECT_EQ(read.items, inOrder.items) << name;
        EXPECT_EQ(read.unreadLines, 0) << name;
    }
    // An end dated decades on closes nothing (its length would be no play's) and is counted.
    const AsPlayedLog far = ParseAsPlayedLog(
        lines[0] + "2061-01-01T00:00:00.000Z\tend\t9.000\tended\t/m/j.mp3\n");
    EXPECT_FALSE(far.items[0].endMs);
    EXPECT_EQ(far.unreadLines, 1);
}

// The writer ends its lines with LF; a log copied through another system may have CR LF or CR
// alone. Every form reads alike, and a line cut by a crash is counted once in each.
TEST(AsPlayedLog, EveryKindOfLineEndReadsAlike) {
    const std::vector<std::string> lines = {
        "# Kestrune as-played log",
        "2025-12-09T06:00:00.100Z\tstart\tplan\t/m/a.mp3\tArtist A\tSong A\t/p/h06.m3u8",
        "",
        "2025-12-09T06:03:00.200Z\tend\t180.100\tended\t/m/a.mp3",
        "2025-12-09T06:03:00.200Z\tstart\tfiller\t/m/j.mp3\tJ\tJingle\t/p/j.m3u",
        "not a line of the log",
        "2025-12-09T06:03:05.000Z\tend\t4.800\tcut\t/m/j.mp3",
    };
    const std::string cut = "2025-12-09T06:03:05.000Z\tstart\tplan\t/m/b.mp3\tB";
    std::optional<AsPlayedLog> first;
    for (const char* end : {"\n", "\r\n", "\r"}) {
        std::string text;
        for (const std::string& line : lines) text += line + end;
        const AsPlayedLog whole = ParseAsPlayedLog(text);
        const AsPlayedLog crashed = ParseAsPlayedLog(text + cut);
        ASSERT_EQ(whole.items.size(), 2u) << ::testing::PrintToString(end);
        EXPECT_EQ(whole.items[0].endMs, kSix + 180200);
        EXPECT_EQ(whole.items[1].how, "cut");
        EXPECT_EQ(whole.unreadLines, 1) << ::testing::PrintToString(end);
        EXPECT_EQ(crashed.items, whole.items) << ::testing::PrintToString(end);
        EXPECT_EQ(crashed.unreadLines, 2) << ::testing::PrintToString(end);
        if (first) {
            EXPECT_EQ(whole.items, first->items) << ::testing::PrintToString(end);
        }
        first = whole;
    }
}

TEST(HourPlaylists, PatternNamesTheHour) {
    EXPECT_EQ(HourPlaylistPath("/s/Playlists/onair_%Y-%m-%d_%H.m3u8", 2026, 3, 7, 6),
              "/s/Playlists/onair_2026-03-07_06.m3u8");
    EXPECT_EQ(HourPlaylistPath("%H%M-100%%-%q-%", 2026, 12, 9, 23), "2300-100%-%q-%");
    EXPECT_EQ(HourPlaylistPath("onair_%H%M.m3u8", 2026, 12, 9, 23, 7), "onair_2307.m3u8");
}

TEST(HourPlaylists, PlannedStartsFollowTheLengths) {
    const std::string timed =
        "#EXTM3U\r\n#EXTINF:180,A - One\r\n/m/a.mp3\r\n#EXTINF:20,B - Two\r\n/m/b.mp3\r\n"
        "\r\n#EXTINF:5,C\r\n/m/c.mp3\r\n";
    const std::vector<PlannedItem> items = PlannedItems(timed, kSix);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].file, "/m/a.mp3");
    EXPECT_EQ(items[0].startMs, kSix);
    EXPECT_EQ(items[0].title, "A - One");
    EXPECT_EQ(items[2].title, "C");
    EXPECT_EQ(items[1].startMs, kSix + 180000);
    EXPECT_EQ(items[2].startMs, kSix + 200000);
    // A plain list (or one item without its length): the order is known, the times are not.
    for (const char* text : {"/m/a.mp3\n/m/b.mp3\n", "#EXTINF:180,A\n/m/a.mp3\n/m/b.mp3\n",
                             "#EXTINF:x,A\n/m/a.mp3\n", "#EXTINF:-1,A\n/m/a.mp3\n"}) {
        const std::vector<PlannedItem> plain = PlannedItems(text, kSix);
        ASSERT_FALSE(plain.empty()) << text;
        EXPECT_EQ(plain[0].file, "/m/a.mp3");
        EXPECT_EQ(plain[0].title, std::string(text).find("#EXTINF") == 0 ? "A" : "") << text;
        for (const PlannedItem& item : plain) EXPECT_FALSE(item.startMs) << text;
    }
}

TEST(HourPlaylists, EveryReaderTakesAnExtinfLineAlike) {
    struct Case {
        const char* line;
        bool extinf;
        int32_t seconds;
        const char* text;
    };
    const Case cases[] = {
        {"#EXTINF:180,A - One", true, 180, "A - One"},
        {"#EXTINF:-1,Live", true, -1, "Live"},  // players' "length unknown"
        {"#EXTINF:12.5,HLS part", true, 12, "HLS part"},
        {"#EXTINF:-1 tvg-id=\"x\",Station", true, -1, "Station"},
        {"#EXTINF:240 tvg-id=\"x\",Song", true, 240, "Song"},
        {"#EXTINF:abc,T", true, -1, "T"},
        {"#EXTINF:1234567890,T", true, -1, "T"},  // beyond nine digits: no length
        {"#EXTINF:60", true, 60, ""},
        {"#EXTINF:", true, -1, ""},
        {"#EXTINFO:60,T", false, 0, ""},
        {"#extinf:60,T", false, 0, ""},
    };
    for (const Case& c : cases) {
        const std::optional<Extinf> read = ParseExtinf(c.line);
        ASSERT_EQ(read.has_value(), c.extinf) << c.line;
        EXPECT_EQ(IsExtinfLine(c.line), c.extinf) << c.line;
        if (!read) continue;
        EXPECT_EQ(read->seconds, c.seconds) << c.line;
        EXPECT_EQ(read->text, c.text) << c.line;
        // The M3U reader and the plan agree with it.
        const std::string list = std::string(c.line) + "\r\n/m/a.mp3\r\n";
        const PlaylistEntries entries = WriterForPath("x.m3u8").ReadBack(list);
        ASSERT_EQ(entries.size(), 1u) << c.line;
        EXPECT_EQ(entries[0].seconds, std::max(0, c.seconds)) << c.line;
        EXPECT_EQ(PlannedItems(list, kSix)[0].startMs.has_value(), c.seconds >= 0) << c.line;
    }
}

// One hour's plan of three items (0 s, 100 s, 200 s) against what aired.
TEST(PlanAgainstAir, EachDifferenceIsNamed) {
    const std::string list = "/p/h06.m3u8";
    const HourPlan plan{list, kSix, kSix + 3600000,
                        {{"/m/a.mp3", kSix, "A"}, {"/m/b.mp3", kSix + 100000, "B"},
                         {"/m/c.mp3", kSix + 200000, "C"}}};
    auto plays = [&](const char* file, int64_t atSeconds, const char* kind = "plan",
                     std::string from = std::string()) {
        return AiredItem{kSix + atSeconds * 1000, kind, file, "", "", from.empty() ? list : from,
                         std::nullopt, ""};
    };
    using K = AirDifferenceKind;
    struct Case {
        const char* what;
        std::vector<AiredItem> aired;
        std::vector<AirDifference> differences;
        int airedInHour;
        std::optional<int64_t> reached = std::nullopt;  // where the log stops
    };
    const Case cases[] = {
        {"all on time", {plays("/m/a.mp3", 0), plays("/m/b.mp3", 101), plays("/m/c.mp3", 199)},
         {}, 3},
        {"the last cut by the hour before it came",
         {plays("/m/a.mp3", 0), plays("/m/b.mp3", 100)},
         {{K::NeverAired, "/m/c.mp3", kSix + 200000, std::nullopt, ""}}, 2},
        {"one taken out of the running list",
         {plays("/m/a.mp3", 0), plays("/m/c.mp3", 100)},
         {{K::NeverAired, "/m/b.mp3", kSix + 100000, std::nullopt, ""},
          {K::Late, "/m/c.mp3", kSix + 200000, kSix + 100000, ""}},
         2},
        {"a filler and an item of another list",
         {plays("/m/a.mp3", 0), plays("/m/b.mp3", 100), plays("/m/c.mp3", 200),
          plays("/m/j.mp3", 300, "filler", "/p/j.m3u"), plays("/m/a.mp3", 310, "plan", "/p/x")},
         {{K::NotPlanned, "/m/j.mp3", std::nullopt, kSix + 300000, "filler"},
          {K::NotPlanned, "/m/a.mp3", std::nullopt, kSix + 310000, "plan"}},
         5},
        {"the list played twice from its top",
         {plays("/m/a.mp3", 0), plays("/m/b.mp3", 100), plays("/m/c.mp3", 200),
          plays("/m/a.mp3", 300)},
         {{K::NotPlanned, "/m/a.mp3", std::nullopt, kSix + 300000, "plan"}}, 4},
        {"late by more than ten seconds",
         {plays("/m/a.mp3", 11), plays("/m/b.mp3", 110), plays("/m/c.mp3", 189)},
         {{K::Late, "/m/a.mp3", kSix, kSix + 11000, ""},
          {K::Late, "/m/c.mp3", kSix + 200000, kSix + 189000, ""}},
         3},
        {"plays outside the hour do not count",
         {plays("/m/a.mp3", -5), plays("/m/b.mp3", 3600)},
         {{K::NeverAired, "/m/a.mp3", kSix, std::nullopt, ""},
          {K::NeverAired, "/m/b.mp3", kSix + 100000, std::nullopt, ""},
          {K::NeverAired, "/m/c.mp3", kSix + 200000, std::nullopt, ""}},
         0},
        {"the hour on air: what is left is still planned",
         {plays("/m/a.mp3", 0)},
         {{K::Planned, "/m/b.mp3", kSix + 100000, std::nullopt, ""},
          {K::Planned, "/m/c.mp3", kSix + 200000, std::nullopt, ""}},
         1, kSix + 150000},
        {"an hour the log has not reached",
         {},
         {{K::Planned, "/m/a.mp3", kSix, std::nullopt, ""},
          {K::Planned, "/m/b.mp3", kSix + 100000, std::nullopt, ""},
          {K::Planned, "/m/c.mp3", kSix + 200000, std::nullopt, ""}},
         0, kSix - 1},
        {"passed over before one that aired: missed, hour on air or not",
         {plays("/m/a.mp3", 0), plays("/m/c.mp3", 100)},
         {{K::NeverAired, "/m/b.mp3", kSix + 100000, std::nullopt, ""},
          {K::Late, "/m/c.mp3", kSix + 200000, kSix + 100000, ""}},
         2, kSix + 150000},
        {"the log past the hour's end: what is left never aired",
         {plays("/m/a.mp3", 0)},
         {{K::NeverAired, "/m/b.mp3", kSix + 100000, std::nullopt, ""},
          {K::NeverAired, "/m/c.mp3", kSix + 200000, std::nullopt, ""}},
         1, kSix + 3600000},
    };
    for (const Case& c : cases) {
        const HourOnAir hour = CompareHour(plan, c.aired, 10000, c.reached);
        EXPECT_EQ(hour.planned, 3) << c.what;
        EXPECT_EQ(hour.aired, c.airedInHour) << c.what;
        EXPECT_EQ(hour.differences, c.differences) << c.what;
        // Side by side: each difference is a line of its own; a matched pair is one line.
        size_t planned = 0, aired = 0, named = 0;
        for (const AirLine& line : hour.lines) {
            planned += line.planned ? 1 : 0;
            aired += line.aired ? 1 : 0;
            if (line.difference) {
                EXPECT_EQ(*line.difference, c.differences[named++].kind) << c.what;
            }
            if (line.planned && line.aired) {
                EXPECT_EQ(line.planned->file, line.aired->file) << c.what;
            }
        }
        EXPECT_EQ(planned, 3u) << c.what;
        EXPECT_EQ(static_cast<int>(aired), c.airedInHour) << c.what;
        EXPECT_EQ(named, c.differences.size()) << c.what;
    }
}

}  // namespace
}  // namespace kestrune
