#include <gtest/gtest.h>

#include "platform/KestruneError.h"
#include "rules/ArtistNames.h"
#include "rules/CaseFolding.h"
#include "rules/PlayHistoryFile.h"
#include "rules/RotationSettings.h"
#include "rules/RuleSettings.h"
#include "rules/SeparationRules.h"

namespace kestrune {
namespace {

TEST(ArtistNames, LooseMatchingSplitsCreditsAndFoldsCase) {
    using Keys = std::vector<std::string>;
    const struct {
        const char* credit;
        Keys loose;
    } cases[] = {
        {"Tin Can Band", {"tin can band"}},
        {"  The  Beatles ", {"beatles"}},
        {"The The", {"the"}},
        {"Ana Lee feat. Bo", {"ana lee", "bo"}},
        {"Ana Lee Ft. Bo", {"ana lee", "bo"}},
        {"ana lee featuring BO", {"ana lee", "bo"}},
        {"Ana Lee & Bo and Cy", {"ana lee", "bo", "cy"}},
        {"Ana Lee with The Bo vs. Cy", {"ana lee", "bo", "cy"}},
        {"Ana x Bo, Cy", {"ana", "bo", "cy"}},
        {"Ana, x Bo", {"ana", "bo"}},
        {"Bo & Bo", {"bo"}},
        {"Xavier", {"xavier"}},
        {"", {""}},
        {" & ", {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArtistKeys(c.credit, ArtistMatching::Loose), c.loose) << c.credit;
        EXPECT_EQ(ArtistKeys(c.credit, ArtistMatching::Exact), Keys{c.credit}) << c.credit;
    }
    EXPECT_EQ(CompareForm("  Greatest   Hits ", ArtistMatching::Loose), "greatest hits");
    EXPECT_EQ(CompareForm("  Greatest   Hits ", ArtistMatching::Exact), "  Greatest   Hits ");
}

// Letter case in every script is folded; accents are not taken away.
TEST(ArtistNames, LooseMatchingFoldsCaseInEveryScriptAndKeepsAccents) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"Zo\xC3\xAB Marchetti", "ZO\xC3\x8B MARCHETTI", true},  // Zoë, ZOË
        {"Zo\xC3\xAB Marchetti", "Zoe Marchetti", false},        // the accent counts
        {"\xC3\x89" "dith", "\xC3\xA9" "DITH", true},                   // Édith, éDITH
        {"Stra\xC3\x9F" "e", "STRA\xE1\xBA\x9E" "E", true},         // ß and capital ẞ
        {"\xCE\xA3\xCF\x89\xCE\xBA\xCF\x81\xCE\xAC\xCF\x84\xCE\xB7\xCF\x82",  // Σωκράτης
         "\xCE\xA3\xCE\xA9\xCE\x9A\xCE\xA1\xCE\x86\xCE\xA4\xCE\x97\xCE\xA3", true},  // ΣΩΚΡΆΤΗΣ
        {"\xCE\x86\xCE\xBD\xCE\xBD\xCE\xB1", "\xCE\x91\xCE\xBD\xCE\xBD\xCE\xB1", false},  // Άννα, Αννα
        {"\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0", "\xD1\x91\xD0\x9B\xD0\x9A\xD0\x90", true},  // Ёлка, ёЛКА
        {"\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0", "\xD0\x95\xD0\xBB\xD0\xBA\xD0\xB0", false},  // Ёлка, Елка
        {"\xD0\x91\xD0\xB8-2", "\xD0\xB1\xD0\x98-2", true},          // Би-2, бИ-2
        {"K\xC3\xB6lsch", "\xE2\x84\xAA\xC3\x96LSCH", true},       // Kelvin sign K folds to k
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArtistKeys(c.a, ArtistMatching::Loose) == ArtistKeys(c.b, ArtistMatching::Loose),
                  c.same)
            << c.a << " / " << c.b;
        EXPECT_NE(ArtistKeys(c.a, ArtistMatching::Exact), ArtistKeys(c.b, ArtistMatching::Exact));
    }
    // A credit in another script still parts at its joiners, and "The" still goes.
    EXPECT_EQ(ArtistKeys("THE \xD0\x9A\xD0\x98\xD0\x9D\xD0\x9E feat. \xCE\x9D\xCE\x91\xCE\xA3", ArtistMatching::Loose),
              (std::vector<std::string>{"\xD0\xBA\xD0\xB8\xD0\xBD\xD0\xBE", "\xCE\xBD\xCE\xB1\xCF\x83"}));
    // Bytes that are no UTF-8 stay as they are.
    EXPECT_EQ(CompareForm("Caf\xE9 ABC", ArtistMatching::Loose), "caf\xE9 abc");
}

TEST(CaseFolding, SimpleFoldingOfSingleCharacters) {
    const std::pair<char32_t, char32_t> cases[] = {
        {U'A', U'a'},          {U'z', U'z'},         {0x00C0, 0x00E0},  // À
        {0x0100, 0x0101},      {0x0101, 0x0101},     {0x0178, 0x00FF},  // Ā ā Ÿ
        {0x03A3, 0x03C3},      {0x03C2, 0x03C3},     {0x0386, 0x03AC},  // Σ ς Ά
        {0x0401, 0x0451},      {0x042F, 0x044F},     {0x0410, 0x0430},  // Ё Я А
        {0x1E9E, 0x00DF},      {0x00DF, 0x00DF},     {0x212A, U'k'},    // ẞ ß Kelvin
        {0x0130, 0x0130},      {0x10400, 0x10428},   {0x13F8, 0x13F0},  // İ stays; Deseret; Cherokee
        {0x1F88, 0x1F80},      {0x4E2D, 0x4E2D},     {0xFF21, 0xFF41},  // ᾈ; 中; fullwidth A
    };
    for (const auto& [from, to] : cases)
        EXPECT_EQ(static_cast<uint32_t>(SimpleCaseFold(from)), static_cast<uint32_t>(to))
            << std::hex << static_cast<uint32_t>(from);
}

TEST(RuleSettings, DefaultsWhenAbsentAndEveryKeyRoundTrips) {
    EXPECT_TRUE(ParseRuleSettings("").AllDefault());
    EXPECT_TRUE(ParseRuleSettings("[Config]\r\nplaylistsdir=/x\r\n").AllDefault());
    RuleSettings all;
    all.titleHours = 4;
    all.albumHours = 12;
    all.artistMatching = ArtistMatching::Loose;
    all.exempt = {"demo_jingles.m3u", "demo_commercials.m3u"};
    all.performanceComplement = true;
    all.history = true;
    all.relax = Relax::LeastRecent;
    const std::string kept = "[Config]\r\nplaylistsdir=/x\r\n";
    const std::string text = WithRuleSettings(kept, all);
    EXPECT_EQ(text.substr(0, kept.size()), kept);
    EXPECT_NE(text.find("exempt=demo_jingles.m3u;demo_commercials.m3u\r\n"), std::string::npos);
    EXPECT_EQ(ParseRuleSettings(text), all);
    EXPECT_TRUE(ParseRuleSettings(WithRuleSettings(text, RuleSettings{})).AllDefault());

    const RuleSettings odd = ParseRuleSettings(
        "[rules]\nTITLE_HOURS=-2\nalbum_hours=\nartist_matching=fuzzy\nexempt= a.m3u "
        ";;b.m3u;\nhistory=yes\n");
    EXPECT_EQ(odd.titleHours, 0);
    EXPECT_EQ(odd.artistMatching, ArtistMatching::Exact);
    EXPECT_EQ(odd.exempt, (std::vector<std::string>{"a.m3u", "b.m3u"}));
    EXPECT_FALSE(odd.history);
    // Hours that cannot be used keep the default and are named; they stop nothing.
    std::vector<std::string> problems;
    const RuleSettings wrong = ParseRuleSettings(
        "[Rules]\nalbum_hours=three\ntitle_hours=9000\nhistory=1\n", &problems, "/s/k.ini");
    EXPECT_EQ(wrong.albumHours, 0);
    EXPECT_EQ(wrong.titleHours, 0);
    EXPECT_TRUE(wrong.history);
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "/s/k.ini, [Rules] title_hours=9000: not a whole number of hours from "
                            "0 to 8760; the default 0 is used.",
                            "/s/k.ini, [Rules] album_hours=three: not a whole number of hours from "
                            "0 to 8760; the default 0 is used."}));
    EXPECT_TRUE(IsExemptSlot(all, "/station/Playlists/demo_jingles.m3u"));
    EXPECT_FALSE(IsExemptSlot(all, "/station/Playlists/demo_current.m3u"));
}

SongFacts Song(const std::string& artist, const std::string& title = "t",
               const std::string& album = "", const std::string& genre = "Pop") {
    return SongFacts{180, artist, title, album, genre};
}

// The history as (minutes before the candidate, song); the candidate starts at 10,000 hours.
constexpr int64_t kNow = 36000000;

PlayHistory HistoryOf(const std::vector<std::pair<int, SongFacts>>& songs,
                      ArtistMatching matching = ArtistMatching::Exact) {
    PlayHistory history(matching);
    for (const auto& [minutesBefore, song] : songs) history.Add(song, kNow - minutesBefore * 60);
    return history;
}

TEST(SeparationRules, EachRuleInItsOrderWithItsWindow) {
    RuleSet rules;
    rules.artistWindow = 3 * 3600;
    rules.titleWindow = 6 * 3600;
    rules.albumWindow = 2 * 3600;
    rules.genre = true;
    const struct {
        const char* what;
        std::vector<std::pair<int, SongFacts>> history;
        SongFacts candidate;
        std::optional<Rule> rule;
        int64_t elapsed;
    } cases[] = {
        {"nothing heard", {}, Song("A"), std::nullopt, 0},
        {"artist at the window's edge", {{180, Song("A")}}, Song("A", "u"), Rule::Artist, 10800},
        {"artist just outside",
         {{181, Song("A", "t", "", "Rock")}},
         Song("A", "u"),
         std::nullopt,
         0},
        {"the latest counts",
         {{170, Song("A")}, {72, Song("A", "v")}, {3, Song("B", "w", "", "Rock")}},
         Song("A", "u"),
         Rule::Artist,
         72 * 60},
        {"case matters when exact", {{10, Song("a", "x", "", "Rock")}}, Song("A"), std::nullopt, 0},
        {"title by the same artist",
         {{300, Song("A", "Song")}},
         Song("A", "Song"),
         Rule::Title,
         18000},
        {"title by another artist",
         {{30, Song("B", "Song", "", "Rock")}},
         Song("A", "Song"),
         std::nullopt,
         0},
        {"album", {{100, Song("B", "x", "Hits")}}, Song("A", "y", "Hits"), Rule::Album, 6000},
        {"no album never matches",
         {{100, Song("B", "x", "", "Rock")}},
         Song("A", "y", ""),
         std::nullopt,
         0},
        {"genre after the song before", {{4, Song("B")}}, Song("A"), Rule::Genre, -1},
        {"genre unknown from history",
         {{4, Song("B", "x", "", "")}},
         Song("A", "t", "", ""),
         std::nullopt,
         0},
    };
    for (const auto& c : cases) {
        const auto brk = FirstBreak(rules, HistoryOf(c.history), c.candidate, kNow);
        ASSERT_EQ(brk.has_value(), c.rule.has_value()) << c.what;
        if (!brk) continue;
        EXPECT_EQ(brk->rule, *c.rule) << c.what;
        EXPECT_EQ(brk->elapsed, c.elapsed) << c.what;
    }
}

// Fresh hours: not in a clock hour in which the song played on one of the days before; the
// weakest rule, so the first to give way.
TEST(SeparationRules, AFreshHourKeepsASongOutOfTheHourItPlayedInTheDaysBefore) {
    RuleSet rules;
    rules.hourDays = 2;
    const int64_t start = kNow + 25 * 60;  // 25 minutes into an hour
    const struct {
        const char* what;
        int minutesBefore;  // of the hour's start
        SongFacts played;
        int64_t elapsed;  // -1: no break
    } cases[] = {
        {"the same hour the day before", 1400, Song("A", "T"), 86400},
        {"the same hour two days before", 2840, Song("A", "T"), 172800},
        {"three days before", 4300, Song("A", "T"), -1},
        {"the hour after, the day before", 1370, Song("A", "T"), -1},
        {"earlier in this same hour", -5, Song("A", "T"), -1},
        {"another title of the artist", 1400, Song("A", "U"), -1},
    };
    for (const auto& c : cases) {
        const auto brk = FirstBreak(rules, HistoryOf({{c.minutesBefore, c.played}}), Song("A", "T"),
                                    start);
        ASSERT_EQ(brk.has_value(), c.elapsed >= 0) << c.what;
        if (!brk) continue;
        EXPECT_EQ(brk->rule, Rule::FreshHour) << c.what;
        EXPECT_EQ(brk->elapsed, c.elapsed) << c.what;
    }
    const auto brk = FirstBreak(rules, HistoryOf({{1400, Song("A", "T")}}), Song("A", "T"), start);
    ASSERT_TRUE(brk);
    EXPECT_EQ(BreakLine(*brk), "Rule broken: title 'T' by 'A' in the same hour 1 day ago (fresh hours 2 days)");
    RuleBreak genre;
    genre.rule = Rule::Genre;
    EXPECT_TRUE(SmallerBreak(*brk, genre));
    EXPECT_EQ(ParseRotationSettings("[Rotation]\r\nhour_days=3\r\n").hourDays, 3);
    std::vector<std::string> problems;
    EXPECT_EQ(ParseRotationSettings("[Rotation]\r\nhour_days=week\r\n", &problems).hourDays, 0);
    EXPECT_EQ(problems.size(), 1u);
}

TEST(SeparationRules, PerformanceComplementCountsAndRuns) {
    RuleSet rules;
    rules.performanceComplement = true;
    const SongFacts a1 = Song("A", "1", "Album"), b = Song("B", "2", "Other");
    const struct {
        const char* what;
        std::vector<std::pair<int, SongFacts>> history;
        SongFacts candidate;
        ComplementLimit limit;
        int count;
    } cases[] = {
        {"two of an album in a row",
         {{20, a1}, {10, Song("C", "3", "Album")}},
         Song("D", "4", "Album"),
         ComplementLimit::AlbumRun,
         3},
        {"three of an album in 3 hours",
         {{170, a1},
          {100, b},
          {60, Song("C", "3", "Album")},
          {40, b},
          {30, Song("E", "5", "Album")},
          {5, b}},
         Song("D", "4", "Album"),
         ComplementLimit::AlbumCount,
         4},
        {"the oldest falls out",
         {{181, a1},
          {100, b},
          {60, Song("C", "3", "Album")},
          {40, b},
          {30, Song("E", "5", "Album")},
          {5, b}},
         Song("D", "4", "Album"),
         ComplementLimit::None,
         0},
        {"three by one artist in a row",
         {{30, Song("A", "x")}, {20, Song("A", "y")}, {10, Song("A", "z")}},
         Song("A", "w"),
         ComplementLimit::ArtistRun,
         4},
        {"four by one artist in 3 hours",
         {{150, Song("A", "x")},
          {120, b},
          {90, Song("A", "y")},
          {60, Song("A", "z")},
          {30, b},
          {20, Song("A", "v")},
          {10, b}},
         Song("A", "w"),
         ComplementLimit::ArtistCount,
         5},
        {"three in a row is allowed",
         {{20, Song("A", "y")}, {10, Song("A", "z")}},
         Song("A", "w"),
         ComplementLimit::None,
         0},
    };
    for (const auto& c : cases) {
        const auto brk = FirstBreak(rules, HistoryOf(c.history), c.candidate, kNow);
        if (c.limit == ComplementLimit::None) {
            EXPECT_FALSE(brk) << c.what;
            continue;
        }
        ASSERT_TRUE(brk) << c.what;
        EXPECT_EQ(brk->limit, c.limit) << c.what;
        EXPECT_EQ(brk->count, c.count) << c.what;
    }
}

TEST(SeparationRules, LooseArtistsCountEachNameOfACredit) {
    RuleSet rules;
    rules.artistWindow = 3600;
    const auto history = HistoryOf({{30, Song("The Ana Lee feat. Bo")}}, ArtistMatching::Loose);
    EXPECT_TRUE(FirstBreak(rules, history, Song("bo"), kNow));
    EXPECT_TRUE(FirstBreak(rules, history, Song("ANA LEE & Cy"), kNow));
    EXPECT_FALSE(FirstBreak(rules, history, Song("Cy"), kNow));
    rules.artistWindow = 0;
    rules.titleWindow = 3600;
    EXPECT_TRUE(FirstBreak(rules, history, Song("Bo", " T "), kNow));
}

TEST(SeparationRules, BreaksReadAsTheOperatorSeesThem) {
    RuleBreak brk;
    brk.subject = "Tin Can Band";
    brk.elapsed = 4320;
    brk.window = 10800;
    EXPECT_EQ(BreakLine(brk),
              "Rule broken: artist 'Tin Can Band' again after 1:12:00 (window 3 hours)");
    EXPECT_EQ(PlacedBreakLine(12, 2590, brk),
              "song 12 at 0:43:10: Rule broken: artist 'Tin Can Band' again after 1:12:00 (window "
              "3 hours)");
    brk.elapsed = -1;
    brk.window = 3600;
    EXPECT_EQ(DescribeBreak(brk),
              "artist 'Tin Can Band' again (heard in an earlier build; window 1 hour)");
    RuleBreak title = brk;
    title.rule = Rule::Title;
    title.subject = "Song";
    title.artist = "A";
    title.elapsed = 60;
    EXPECT_EQ(DescribeBreak(title), "title 'Song' by 'A' again after 0:01:00 (window 1 hour)");
    RuleBreak complement;
    complement.rule = Rule::PerformanceComplement;
    complement.subject = "Hits";
    complement.limit = ComplementLimit::AlbumRun;
    complement.count = 3;
    EXPECT_EQ(DescribeBreak(complement),
              "performance complement: 3 tracks of album 'Hits' in a row");
    RuleBreak genre;
    genre.rule = Rule::Genre;
    genre.subject = "Pop";
    EXPECT_EQ(DescribeBreak(genre), "genre 'Pop' twice in a row");
    // Later rules are smaller breaks; within a rule, the one heard longer ago.
    EXPECT_TRUE(SmallerBreak(genre, brk));
    RuleBreak older = title;
    older.elapsed = 600;
    EXPECT_TRUE(SmallerBreak(older, title));
    EXPECT_FALSE(SmallerBreak(title, older));
}

TEST(PlayHistoryFile, LinesTimesAndTrimming) {
    EXPECT_EQ(CalendarSeconds({1970, 1, 1, 0, 0, 0, 0}), 0);
    EXPECT_EQ(CalendarText(CalendarSeconds({2026, 12, 8, 4, 3, 10, 0})), "2026-12-08 04:03:10");
    EXPECT_EQ(CalendarText(CalendarSeconds({2024, 2, 29, 23, 59, 59, 0}) + 1),
              "2024-03-01 00:00:00");
    EXPECT_EQ(ParseCalendarText("2023-02-29 00:00:00"), std::nullopt);
    EXPECT_EQ(ParseCalendarText("2026-12-08 24:00:00"), std::nullopt);
    EXPECT_EQ(ParseCalendarText("2026-12-08T04:00:00"), std::nullopt);

    const int64_t start = CalendarSeconds({2026, 12, 8, 4, 0, 0, 0});
    const PlayedSong song{start, 245, "Ana\tLee", "Song", "", "/m/a b.mp3"};
    EXPECT_EQ(FormatPlayedSong(song), "2026-12-08 04:00:00\t245\tAna Lee\tSong\t\t/m/a b.mp3");
    const std::string text = WithPlayedSong(
        WithPlayedSong("", song), PlayedSong{start + 245, 200, "B", "T", "Al", "/m/b.mp3"});
    const auto songs =
        ParsePlayHistory("junk line\r\n" + text + "2026-12-08 04:00:00\t-1\ta\tb\tc\td\r\n");
    ASSERT_EQ(songs.size(), 2u);
    EXPECT_EQ(songs[0].artist, "Ana Lee");
    EXPECT_EQ(songs[1], (PlayedSong{start + 245, 200, "B", "T", "Al", "/m/b.mp3"}));
    EXPECT_EQ(FormatPlayHistory(songs), text);
    EXPECT_EQ(EndOfHistory(songs), start + 445);
    EXPECT_EQ(RecentPlays(songs, start + 3600, 3600).size(), 2u);
    EXPECT_EQ(RecentPlays(songs, start + 3601, 3600).size(), 1u);
    EXPECT_EQ(EndOfHistory({}), std::nullopt);
}

}  // namespace
}  // namespace kestrune
