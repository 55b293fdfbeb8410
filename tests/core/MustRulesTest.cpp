#include <gtest/gtest.h>

#include <algorithm>

#include "building/PlaylistBuilder.h"
#include "rules/RuleSettings.h"
#include "rules/WindowsThatHold.h"
#include "support/Station.h"
#include "timing/TimingSettings.h"

namespace kestrune {
namespace {

using testing::StationFixture;
using testing::TestSong;

TEST(RuleSettings, MustNamesTheRulesThatNeverBreakAndNamesWhatIsNoRule) {
    const struct {
        const char* value;
        std::vector<Rule> must;
        std::vector<std::string> problems;
    } cases[] = {
        {"", {}, {}},
        {"artist,title", {Rule::Artist, Rule::Title}, {}},
        {" title , artist,,title", {Rule::Artist, Rule::Title}, {}},
        {"fresh_hour,genre,complement,album",
         {Rule::Album, Rule::PerformanceComplement, Rule::Genre, Rule::FreshHour},
         {}},
        {"performance_complement", {Rule::PerformanceComplement}, {}},
        {"artist,titel,Genre",
         {Rule::Artist},
         {"/s/k.ini, [Rules] must=artist,titel,Genre: 'titel' is not a rule (artist, title, "
          "album, complement, genre, fresh_hour); it is left out.",
          "/s/k.ini, [Rules] must=artist,titel,Genre: 'Genre' is not a rule (artist, title, "
          "album, complement, genre, fresh_hour); it is left out."}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> problems;
        const RuleSettings read = ParseRuleSettings(std::string("[Rules]\nmust=") + c.value + "\n",
                                                    &problems, "/s/k.ini");
        EXPECT_EQ(read.must, c.must) << c.value;
        EXPECT_EQ(problems, c.problems) << c.value;
        // Written back in the file's words, it reads the same; a must list alone is a setting.
        EXPECT_EQ(ParseRuleSettings(WithRuleSettings("", read)), read) << c.value;
        EXPECT_EQ(read.AllDefault(), c.must.empty()) << c.value;
    }
    RuleSettings both;
    both.must = {Rule::Artist, Rule::Title};
    EXPECT_NE(WithRuleSettings("", both).find("must=artist,title\r\n"), std::string::npos);
    EXPECT_TRUE(both.IsMust(Rule::Title));
    EXPECT_FALSE(both.IsMust(Rule::Album));
}

TEST(WindowsThatHold, NamesEachWindowACategoryComesRoundFasterThan) {
    RuleSettings rules;
    rules.titleHours = 6;
    rules.albumHours = 3;
    rules.exempt = {"jingles.m3u"};
    const struct {
        CategoryRound category;
        int64_t passSeconds;
        std::vector<std::string> lines;
    } cases[] = {
        {{"current.m3u", 24, 5},
         3600,
         {"title_hours=6 cannot hold for current.m3u: 24 songs at 5 an hour come round every "
          "4.8 h"}},
        {{"current.m3u", 12, 5},
         3600,
         {"title_hours=6 cannot hold for current.m3u: 12 songs at 5 an hour come round every "
          "2.4 h",
          "album_hours=3 cannot hold for current.m3u: 12 songs at 5 an hour come round every "
          "2.4 h"}},
        // Exactly as long as the window holds it.
        {{"gold.m3u", 30, 5}, 3600, {}},
        {{"gold.m3u", 30, 5}, 0, {}},
        // A 40-minute clock: its slots come round more often than once an hour; never rounded
        // up to the window.
        {{"gold.m3u", 17, 2},
         2400,
         {"title_hours=6 cannot hold for gold.m3u: 17 songs at 3 an hour come round every 5.6 h"}},
        {{"gold.m3u", 17, 2},
         2100,
         {"title_hours=6 cannot hold for gold.m3u: 17 songs at 3.4 an hour come round every "
          "4.9 h"}},
        {{"solo.m3u", 1, 1},
         3600,
         {"title_hours=6 cannot hold for solo.m3u: 1 song at 1 an hour comes round every 1.0 h",
          "album_hours=3 cannot hold for solo.m3u: 1 song at 1 an hour comes round every 1.0 h"}},
        {{"jingles.m3u", 3, 4}, 3600, {}},
        {{"empty.m3u", 0, 4}, 3600, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowsThatCannotHold(rules, {c.category}, c.passSeconds), c.lines)
            << c.category.name << " " << c.category.songs;
    EXPECT_TRUE(WindowsThatCannotHold(RuleSettings{}, {{"current.m3u", 1, 9}}).empty());
    // A pass of the template plays each slot's mean: three 4-minute songs and two 30-second
    // spots make 13 minutes; one category of unknown length leaves the pass unknown.
    EXPECT_EQ(PassSeconds({{"music.m3u", 40, 3, 240}, {"spots.m3u", 9, 2, 30}}), 780);
    EXPECT_EQ(PassSeconds({{"music.m3u", 40, 3, 240}, {"spots.m3u", 9, 2, 0}}), 0);
}

struct MustStation : StationFixture {
    explicit MustStation(const std::string& must) {
        context.rules.must = ParseMustList(must, nullptr);
        session.fDMCA.cbDupeCheck = true;
        session.fDMCA.ComboBox1 = "1";
    }
    std::string Category(const std::string& name, const std::vector<TestSong>& songs, int index) {
        const std::string list = ShuffledPlaylist(name, songs, index);
        session.lbMasterPlaylists.Add(list);
        return list;
    }
    long LinesStarting(const std::string& start) const {
        return std::count_if(session.mTextOutput.begin(), session.mTextOutput.end(),
                             [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    }
    long Placed(const std::string& artist) const {
        return std::count_if(session.mTextOutput.begin(), session.mTextOutput.end(),
                             [&](const std::string& line) {
                                 return line.find("  " + artist + " - ") != std::string::npos;
                             });
    }
};

std::vector<TestSong> ByOne(const std::string& artist, int count, int seconds = 200) {
    std::vector<TestSong> songs;
    for (int i = 0; i < count; ++i)
        songs.push_back({seconds, artist, artist + " Song " + std::to_string(i)});
    return songs;
}

TEST(MustRules, TheWalkPassesOverASlotWhoseSongsAllBreakAMustRuleAndNamesIt) {
    // One artist's category beside one of many artists; the artist apart for an hour.
    std::vector<TestSong> others;
    for (int i = 0; i < 6; ++i) others.push_back({200, "Other " + std::to_string(i), "Tune"});
    for (const auto& [must, rotate] : {std::pair{"", false}, {"artist", false}, {"artist", true}}) {
        MustStation f(must);
        // The rotation keeps its categories in memory through the build: a slot passed over
        // gives its category back whole.
        const std::string stationFolder = f.dir.Path();
        if (rotate) {
            f.context.rotation.order = RotationOrder::Rotate;
            f.context.historyFolder = &stationFolder;
        }
        const std::string solo = f.Category("solo.m3u", ByOne("Solo", 3), 0);
        f.session.lbClockwheelTemplate = {solo, f.Category("others.m3u", others, 1)};
        f.session.ComboBox1 = "20";
        const BuildOutcome outcome = BuildPlaylist(f.context);
        EXPECT_TRUE(outcome.reachedLength) << must;
        EXPECT_EQ(f.Lines(solo).size(), 3u) << rotate;
        if (*must == '\0') {
            // As a may rule, the artist comes again, and the break is named.
            EXPECT_GT(f.Placed("Solo"), 1);
            EXPECT_GT(f.session.lbRuleBreaks.size(), 0u);
            continue;
        }
        EXPECT_EQ(f.Placed("Solo"), 1);
        EXPECT_EQ(f.LinesStarting("Rule broken: "), 0);
        // The other category found the time: 1 + 5 songs of 3:20 make the 20 minutes.
        EXPECT_EQ(f.session.lbFinalPlaylist.size(), 6u);
        // Each pass after the first finds Solo within the hour and names it.
        ASSERT_EQ(f.session.lbRuleBreaks.size(), 4u);
        EXPECT_EQ(f.session.lbRuleBreaks[0],
                  "Slot 1 passed over at 0:06:40: every song of solo.m3u breaks a must rule "
                  "(artist 'Solo' again after 0:06:40 (window 1 hour))");
        EXPECT_EQ(f.session.lbRuleBreaks[3].substr(0, 31), "Slot 1 passed over at 0:16:40: ");
        EXPECT_EQ(f.LinesStarting("Slot 1 passed over at "), 4);
        EXPECT_NE(f.view.Status().find(" Slots passed over: 4."), std::string::npos)
            << f.view.Status();
    }
}

TEST(MustRules, AMustRuleGoesPastTheRoundToAMayBreakAndStopsWhereNothingKeepsIt) {
    // The same title twice by one artist: with the title a must rule and the artist a may one,
    // the artist's other song goes (its break named), never the title again.
    MustStation f("title");
    f.context.rules.titleHours = 2;
    f.session.lbClockwheelTemplate = {f.Category(
        "music.m3u",
        {{200, "Ana", "One", 255, "Live"}, {200, "Ana", "One", 255, "Studio"}, {200, "Ana", "Two"}},
        0)};
    f.session.ComboBox1 = "9";
    const BuildOutcome outcome = BuildPlaylist(f.context);
    EXPECT_FALSE(outcome.reachedLength);
    EXPECT_EQ(f.session.lbRuleBreaks,
              (LineList{"song 2 at 0:03:20: Rule broken: artist 'Ana' again after 0:03:20 "
                        "(window 1 hour)",
                        "Slot 1 passed over at 0:06:40: every song of music.m3u breaks a must "
                        "rule (title 'One' by 'Ana' again after 0:06:40 (window 2 hours))"}));
    // A build whose every slot is passed over ends; it does not go round for ever.
    EXPECT_EQ(outcome.status, kBuildCannotProgress);
}

TEST(MustRules, AMustRuleThatHoldsWhileTheHourStaysOnTime) {
    // Five currents at every other slot cannot keep a six-hour title window; the golds (twenty
    // artists, some of them the currents') can give the hour the time.
    std::vector<TestSong> currents, golds;
    for (int i = 0; i < 5; ++i)
        currents.push_back({180 + i * 23, "Cur " + std::to_string(i), "Hit " + std::to_string(i)});
    for (int i = 0; i < 20; ++i)
        golds.push_back({190 + (i * 37) % 110,
                         i < 4 ? "Cur " + std::to_string(i) : "Gold " + std::to_string(i),
                         "Oldie " + std::to_string(i)});
    size_t mayBreaks = 0;
    for (const char* must : {"", "artist,title"}) {
        MustStation f(must);
        f.context.timing = TimingSettings{FillMode::Exact, 2, 0};
        f.context.rules.titleHours = 6;
        const std::string current = f.Category("current.m3u", currents, 0);
        const std::string gold = f.Category("gold.m3u", golds, 1);
        f.session.lbClockwheelTemplate = {current, gold};
        f.session.ComboBox1 = "60";
        const BuildOutcome outcome = BuildPlaylist(f.context);
        if (*must == '\0') {
            mayBreaks = static_cast<size_t>(f.LinesStarting("Rule broken: "));
            continue;
        }
        EXPECT_TRUE(outcome.onTime) << f.view.Status();
        EXPECT_EQ(f.LinesStarting("Rule broken: "), 0) << f.view.Status();
        EXPECT_EQ(f.Placed("Cur 0"), 1);
        for (const std::string& line : f.session.lbRuleBreaks)
            EXPECT_NE(line.find(": every song of current.m3u breaks a must rule ("),
                      std::string::npos)
                << line;
        EXPECT_FALSE(f.session.lbRuleBreaks.empty());
    }
    EXPECT_GT(mayBreaks, 0u);
}

}  // namespace
}  // namespace kestrune
