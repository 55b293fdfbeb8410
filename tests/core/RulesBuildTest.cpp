#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "building/PlaylistBuilder.h"
#include "building/PlaysToRecord.h"
#include "mpgtools/MPGTools.h"
#include "onair/AsPlayedLog.h"
#include "support/LocalTime.h"
#include "platform/TimeTexts.h"
#include "rules/PlayHistoryFile.h"
#include "rules/SeparationRules.h"
#include "sessions/StationConfig.h"
#include "support/TagLibSetup.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::TestSong;
using testing::StationFixture;

constexpr int kPop = 13;
constexpr int kRock = 17;

// A station whose builds read their rules from its own configuration file.
struct RulesStation : StationFixture {
    StationFolders folders;
    explicit RulesStation(const std::string& rules) {
        dir.Write("kestrune.ini", "[Rules]\r\n" + rules);
        context.settingsFiles = dir / "kestrune.ini";
        context.rules = ReadRuleSettings(context.settingsFiles);
        folders.sessions = dir.Path();
        context.historyFolder = &folders.sessions;
        session.fDMCA.cbDupeCheck = false;
    }
    // One slot over one playlist whose start order is `songs`; builds `minutes`.
    void BuildOne(const std::vector<TestSong>& songs, int minutes) {
        const std::string list = ShuffledPlaylist("music.m3u", songs, 0);
        session.lbMasterPlaylists.Add(list);
        session.lbClockwheelTemplate = {list};
        session.ComboBox1 = std::to_string(minutes);
        BuildPlaylist(context);
    }
    LineList BreakLines() const {
        LineList lines;
        for (const std::string& line : session.mTextOutput)
            if (line.rfind("Rule broken: ", 0) == 0) lines.push_back(line);
        return lines;
    }
};

TEST(RulesBuild, EachRuleBreaksOnceWhenNoSongCanKeepIt) {
    const struct {
        const char* rules;
        bool dupe, genre;
        std::vector<TestSong> songs;
        const char* broken;
    } cases[] = {
        {"history=0\r\nrelax=off\r\ntitle_hours=0\r\nexempt=none.m3u\r\n",
         true,
         false,
         {{200, "Ana", "One", kPop}, {200, "Ana", "Two", kRock}},
         "Rule broken: artist 'Ana' again after 0:03:20 (window 3 hours)"},
        {"title_hours=2\r\n",
         false,
         false,
         {{200, "Ana", "One", kPop, "Live"}, {200, "Ana", "One", kRock, "Studio"}},
         "Rule broken: title 'One' by 'Ana' again after 0:03:20 (window 2 hours)"},
        {"album_hours=1\r\n",
         false,
         false,
         {{200, "Ana", "One", kPop, "Hits"}, {200, "Bo", "Two", kRock, "Hits"}},
         "Rule broken: album 'Hits' again after 0:03:20 (window 1 hour)"},
        {"performance_complement=1\r\n",
         false,
         false,
         {{200, "Ana", "One", kPop, "Hits"},
          {200, "Bo", "Two", kRock, "Hits"},
          {200, "Cy", "Three", kPop, "Hits"}},
         "Rule broken: performance complement: 3 tracks of album 'Hits' in a row"},
        {"artist_matching=loose\r\n",
         false,
         true,
         {{200, "Ana", "One", kPop}, {200, "Bo", "Two", kPop}},
         "Rule broken: genre 'Pop' twice in a row"},
    };
    for (const auto& c : cases) {
        RulesStation f(c.rules);
        f.session.fDMCA.cbDupeCheck = c.dupe;
        f.session.fGenre.cbGenreCheck = c.genre;
        f.BuildOne(c.songs, static_cast<int>(c.songs.size()) * 3);
        EXPECT_EQ(f.session.lbFinalPlaylist.size(), c.songs.size()) << c.rules;
        EXPECT_EQ(f.BreakLines(), LineList{c.broken}) << c.rules;
        ASSERT_EQ(f.session.lbRuleBreaks.size(), 1u) << c.rules;
        EXPECT_EQ(f.session.lbRuleBreaks[0],
                  "song " + std::to_string(c.songs.size()) + " at " +
                      PlayingTimeText(200 * static_cast<int>(c.songs.size() - 1)) + ": " +
                      c.broken);
        // The break follows its song's line, and the closing status counts it.
        const auto at =
            std::find(f.session.mTextOutput.begin(), f.session.mTextOutput.end(), c.broken);
        EXPECT_NE((at - 1)->find(c.songs.back().title), std::string::npos) << c.rules;
        EXPECT_EQ(f.view.Count(c.broken), 1) << c.rules;
        EXPECT_NE(f.view.Status().find(". Rules broken: 1."), std::string::npos) << f.view.Status();
    }
}

// The final playlist replayed through the rules: every break the rules find is one the build
// named, at its place, and no other.
LineList ReplayedBreaks(const LineList& playlist, const RuleSet& rules,
                        const std::vector<bool>& exempt) {
    PlayHistory history(rules.matching);
    TMPEGAudio reader{testing::TagLibSetup()};
    LineList found;
    int64_t start = 0;
    for (size_t i = 0; i < playlist.size(); ++i) {
        reader.SetFileName(playlist[i]);
        const SongFacts song{reader.MPEGFileInfo.Duration, reader.GetArtist(), reader.GetTitle(),
                             reader.MPEGFileInfo.Album, reader.GetGenreText()};
        if (!exempt[i]) {
            if (const auto brk = FirstBreak(rules, history, song, start))
                found.push_back(PlacedBreakLine(static_cast<long long>(i + 1), start, *brk));
            history.Add(song, start);
        }
        start += song.seconds;
    }
    return found;
}

TEST(RulesBuild, FeaturedArtistsAndExemptJingles) {
    std::vector<TestSong> music;
    const char* artists[] = {"Ana feat. Bo", "Bo",  "Cy & Di", "The Di", "Eve", "Fay",
                             "Gus",          "Hal", "Ida",     "Jo",     "Kai", "Lu"};
    for (int i = 0; i < 12; ++i)
        music.push_back({230, artists[i], "Song " + std::to_string(i), i % 2 ? kPop : kRock});
    std::vector<TestSong> jingles;
    for (int i = 0; i < 4; ++i)
        jingles.push_back({15, "", "Jingle " + std::to_string(i), 0, "", false});

    for (const bool exempt : {true, false}) {
        RulesStation f(
            std::string("artist_matching=loose\r\ntitle_hours=3\r\nperformance_complement=1\r\n") +
            (exempt ? "exempt=jingles.m3u\r\n" : ""));
        f.session.fDMCA.cbDupeCheck = true;
        const std::string songs = f.ShuffledPlaylist("music.m3u", music, 1);
        const std::string stings = f.ShuffledPlaylist("jingles.m3u", jingles, 0);
        f.session.lbMasterPlaylists.Add(songs);
        f.session.lbMasterPlaylists.Add(stings);
        f.session.lbClockwheelTemplate = {songs, stings};
        f.session.ComboBox1 = "30";
        BuildPlaylist(f.context);
        ASSERT_EQ(f.session.lbFinalPlaylist.size(), 15u);

        RuleSet rules;
        rules.artistWindow = 3 * 3600;
        rules.titleWindow = 3 * 3600;
        rules.performanceComplement = true;
        rules.matching = ArtistMatching::Loose;
        std::vector<bool> isJingle;
        for (size_t i = 0; i < 15; ++i) isJingle.push_back(exempt && i % 2 == 1);
        EXPECT_EQ(ReplayedBreaks(f.session.lbFinalPlaylist, rules, isJingle),
                  f.session.lbRuleBreaks);
        if (exempt) {
            // Ten artists apart from Bo (in "Ana feat. Bo") and Di (in "Cy & Di"): eight songs
            // hold without a break.
            EXPECT_TRUE(f.session.lbRuleBreaks.empty()) << f.session.lbRuleBreaks[0];
        } else {
            // Without the exemption every jingle after the first is "Unknown Artist" again.
            EXPECT_EQ(f.session.lbRuleBreaks.size(), 6u);
            EXPECT_NE(f.session.lbRuleBreaks[0].find("artist 'Unknown Artist' again after 0:04:05"),
                      std::string::npos);
        }
    }
}

TEST(RulesBuild, LeastRecentRelaxPlacesTheArtistHeardLongestAgo) {
    // After Ana, Bo and Cy the top song (Cy) and the one song the search reaches (Ana) break
    // the artist rule; relaxed, the walk takes Ana, heard longer ago.
    const std::vector<TestSong> songs = {{200, "Ana", "1", kPop}, {200, "Bo", "2", kPop},
                                         {200, "Cy", "3", kPop},  {200, "Cy", "4", kPop},
                                         {200, "Ana", "6", kPop}, {200, "Bo", "5", kPop}};
    for (const bool relaxed : {false, true}) {
        RulesStation f(relaxed ? "relax=least_recent\r\n" : "title_hours=1\r\n");
        f.session.fDMCA.cbDupeCheck = true;
        f.BuildOne(songs, 12);
        ASSERT_EQ(f.session.lbFinalPlaylist.size(), 4u);
        EXPECT_EQ(f.session.lbFinalPlaylist[3], f.SongPath(songs[relaxed ? 4 : 3]));
        EXPECT_EQ(
            f.BreakLines(),
            LineList{relaxed ? "Rule broken: artist 'Ana' again after 0:10:00 (window 3 hours)"
                             : "Rule broken: artist 'Cy' again after 0:03:20 (window 3 hours)"});
    }
}

// With a rule set and no history the Dupe Checker still remembers the artists of the builds
// before in the run: one rule's setting never switches another off.
TEST(RulesBuild, TheArtistsOfTheBuildBeforeStillCountWithoutAHistory) {
    RulesStation f("exempt=jingles.m3u\r\n");
    f.session.fDMCA.cbDupeCheck = true;
    f.session.fDMCA.ComboBox1 = "3";
    const std::vector<TestSong> songs = {{1200, "Ana", "0", kPop}, {1200, "Ana", "1", kRock},
                                         {1200, "Bo", "2", kPop},  {1200, "Ana", "3", kRock},
                                         {1200, "Ana", "4", kPop}};
    f.BuildOne(songs, 20);
    f.BuildOne(songs, 20);  // the same order again: Ana on top
    EXPECT_EQ(f.session.lbFinalPlaylist, (LineList{f.SongPath(songs[0]), f.SongPath(songs[2])}));
    f.BuildOne({{1200, "Ana", "0", kPop}}, 20);  // nothing else: the break is named
    EXPECT_EQ(f.BreakLines().back(),
              "Rule broken: artist 'Ana' again (heard in an earlier build; window 3 hours)");
}

TEST(RulesBuild, HistoryCarriesSeparationIntoTheNextBuild) {
    RulesStation f("history=1\r\n");
    f.session.fDMCA.cbDupeCheck = true;
    f.session.fDMCA.ComboBox1 = "1";
    const std::vector<TestSong> songs = {{1200, "Ana", "1", kPop},
                                         {1200, "Bo", "2", kPop},
                                         {1200, "Cy", "3", kPop},
                                         {1200, "Di", "4", kPop},
                                         {1200, "Eve", "5", kPop}};
    const std::string list = f.Playlist("music.m3u", songs);
    // Old lines beyond every window go at the next write; the build starts where they ended
    // when that is later than the clock.
    f.dir.Write("play_history.txt",
                "2026-12-06 10:00:00\t200\tOld\tSong\t\t/x.mp3\r\n"
                "2026-12-06 18:30:00\t200\tAna\tEarlier\t\t/e.mp3\r\n");
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.ComboBox1 = "20";
    BuildPlaylist(f.context);
    ASSERT_EQ(f.session.lbFinalPlaylist.size(), 1u);
    // Plays are recorded when the playlist is written, with the plays of every build in it.
    f.session.SetOutputFile(f.dir / "out.m3u");
    RecordPendingPlays(f.session);
    const PlayedSong first = ParsePlayHistory(f.dir.Read("play_history.txt")).back();
    EXPECT_EQ(first.start, CalendarSeconds({2026, 12, 6, 18, 33, 20, 0}));
    EXPECT_NE(first.artist, "Ana");  // Ana was heard 3:20 before the build's start

    BuildPlaylist(f.context);  // the next build follows on, twenty minutes later
    RecordPendingPlays(f.session);
    const std::vector<PlayedSong> kept = ParsePlayHistory(f.dir.Read("play_history.txt"));
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].artist, "Ana");
    EXPECT_EQ(kept[2].start, first.start + 1200);
    EXPECT_EQ(kept[2].seconds, 1200);
    EXPECT_EQ(kept[2].file, f.session.lbFinalPlaylist[1]);
    EXPECT_NE(kept[2].artist, first.artist);
    EXPECT_NE(kept[2].artist, "Ana");
    EXPECT_TRUE(f.session.lbRuleBreaks.empty());
}

TEST(RulesBuild, TheHistoryCountsWhatAiredWhereTheAsPlayedLogCoversTheHour) {
    RulesStation f("history=1\r\n");
    f.session.fDMCA.cbDupeCheck = true;
    f.session.fDMCA.ComboBox1 = "1";
    const std::vector<TestSong> songs = {{1200, "Ana", "1", kPop}, {1200, "Bo", "2", kPop},
                                         {1200, "Cy", "3", kPop}, {1200, "Di", "4", kPop}};
    // Bo was planned at 17:30, but Ana went out instead, until 18:00:30.
    f.dir.Write("play_history.txt", "2026-12-06 17:30:00\t1200\tBo\t2\t\t" +
                                        f.SongPath(songs[1]) + "\r\n");
    const int64_t aired = testing::LocalMomentMs(2026, 12, 6, 17) + 30 * 60000;
    f.dir.Write(kAsPlayedLogFile, FormatUtcStamp(aired) + "\tstart\tfiller\t" +
                                      f.SongPath(songs[0]) + "\tAna\t1\t/p/songs.m3u\n" +
                                      FormatUtcStamp(aired + 1830000) + "\tend\t1830.000\tended\t" +
                                      f.SongPath(songs[0]) + "\n");
    f.BuildOne(songs, 20);
    ASSERT_EQ(f.session.lbFinalPlaylist.size(), 1u);
    EXPECT_NE(f.session.lbFinalPlaylist[0], f.SongPath(songs[0]));  // Ana was heard at 17:30
    f.session.SetOutputFile(f.dir / "out.m3u");
    RecordPendingPlays(f.session);
    const std::vector<PlayedSong> kept = ParsePlayHistory(f.dir.Read("play_history.txt"));
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].start, CalendarSeconds({2026, 12, 6, 17, 30, 0, 0}));
    EXPECT_EQ(kept[0].seconds, 1830);
    EXPECT_EQ(kept[0].artist, "Ana");
    EXPECT_EQ(kept[1].file, f.session.lbFinalPlaylist[0]);
}

}  // namespace
}  // namespace kestrune
