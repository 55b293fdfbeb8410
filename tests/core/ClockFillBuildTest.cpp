#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <map>

#include "building/PlaylistBuilder.h"
#include "sessions/WeekRun.h"
#include "timing/SlotTime.h"
#include "timing/TimingSettings.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::TestSong;
using testing::StationFixture;

struct FillStation : StationFixture {
    std::map<std::string, int> seconds;  // of every song, by path

    explicit FillStation(int tolerance = 2, int overlap = 0) {
        context.timing = TimingSettings{FillMode::Exact, tolerance, overlap};
        session.fDMCA.cbDupeCheck = false;
    }
    std::string Category(const std::string& name, const std::vector<TestSong>& songs, int index) {
        for (const TestSong& song : songs) seconds[SongPath(song)] = song.seconds;
        const std::string list = ShuffledPlaylist(name, songs, index);
        session.lbMasterPlaylists.Add(list);
        return list;
    }
    // What the final playlist plays, each join's overlap taken off.
    int Heard(int overlap = 0) const {
        int total = 0;
        for (const std::string& path : session.lbFinalPlaylist) total += seconds.at(path) - overlap;
        return total;
    }
};

// Twenty songs of lengths between 3:00 and 4:59, no two alike.
std::vector<int> Twenty() {
    std::vector<int> lengths;
    for (int i = 0; i < 20; ++i) lengths.push_back(180 + (i * 37) % 120);
    return lengths;
}

std::vector<TestSong> Songs(const std::string& artist, const std::vector<int>& lengths) {
    std::vector<TestSong> songs;
    for (size_t i = 0; i < lengths.size(); ++i)
        songs.push_back({lengths[i], artist + " " + std::to_string(i), "Song " + std::to_string(i)});
    return songs;
}

TEST(ClockFillBuild, EndsWithinTheWindowOrNamesHowFarItMissed) {
    const struct {
        const char* what;
        std::vector<int> songs;
        int minutes, overlap;
        bool onTime;
        const char* miss;
    } cases[] = {
        // The walk alone would end at 20:20 with these, 20 s late.
        {"twenty minutes from songs of odd lengths",
         {245, 198, 301, 222, 187, 263, 214, 276, 191, 233, 208, 259}, 20, 0, true, ""},
        {"the overlap is taken off at every join", Twenty(), 20, 5, true, ""},
        {"nothing can land: one song too few, early",
         {420, 420, 420}, 10, 0, false, "Hour ends 0:03:01 early (window 2 s)"},
        {"nothing can land: the closest is late",
         {400, 400, 400, 400}, 12, 0, false, "Hour ends 0:01:20 late (window 2 s)"},
    };
    for (const auto& c : cases) {
        FillStation f(2, c.overlap);
        const std::string music = f.Category("music.m3u", Songs("A", c.songs), 0);
        f.session.lbClockwheelTemplate = {music};
        f.session.ComboBox1 = std::to_string(c.minutes);
        const BuildOutcome outcome = BuildPlaylist(f.context);
        const int error = f.Heard(c.overlap) - c.minutes * 60;
        EXPECT_EQ(outcome.onTime, c.onTime) << c.what;
        // The test's songs are 32 ms short of their whole seconds (the tag is not audio).
        const int64_t songs = static_cast<int64_t>(f.session.lbFinalPlaylist.size());
        EXPECT_NEAR(outcome.endErrorMs, int64_t{error} * 1000 - 32 * songs, 1) << c.what;
        if (c.onTime) {
            EXPECT_LE(std::abs(outcome.endErrorMs), 2000) << c.what;
            EXPECT_TRUE(f.session.lbRuleBreaks.empty()) << c.what;
            EXPECT_EQ(f.view.Status().rfind("Playlist is complete and is exactly 0:", 0), 0u)
                << c.what << ": " << f.view.Status();
            continue;
        }
        EXPECT_EQ(f.session.lbRuleBreaks, LineList{c.miss}) << c.what;
        EXPECT_NE(std::find(f.session.mTextOutput.begin(), f.session.mTextOutput.end(),
                            std::string(c.miss)),
                  f.session.mTextOutput.end())
            << c.what;
        EXPECT_NE(f.view.Status().find(std::string(c.miss) + "."), std::string::npos)
            << c.what << ": " << f.view.Status();
        EXPECT_EQ(outcome.reachedLength, error > 0) << c.what;
    }
}

TEST(ClockFillBuild, KeepsTheSlotOrderAndTheDupeCheckAndChoosesNearTheTopOfEachRotation) {
    FillStation f;
    f.session.fDMCA.cbDupeCheck = true;
    f.session.fDMCA.ComboBox1 = "1";
    // Spots of 30 s between songs; one artist twice among the songs, which may not meet within
    // the hour.
    std::vector<TestSong> songs = Songs("S", Twenty());
    songs[6].artist = songs[5].artist;
    const std::string spots = f.Category("spots.m3u", Songs("Spot", {30, 31, 29, 30, 32, 28}), 1);
    const std::string music = f.Category("music.m3u", songs, 0);
    f.session.lbClockwheelTemplate = {music, spots};
    f.session.ComboBox1 = "30";
    const BuildOutcome outcome = BuildPlaylist(f.context);
    EXPECT_TRUE(outcome.onTime) << f.view.Status();
    EXPECT_LE(std::abs(outcome.endErrorMs), 2000);
    for (size_t i = 0; i < f.session.lbFinalPlaylist.size(); ++i) {
        const std::string& path = f.session.lbFinalPlaylist[i];
        const bool isSpot = path.find("Spot") != std::string::npos;
        EXPECT_EQ(isSpot, i % 2 == 1) << "slot order kept at " << i << ": " << path;
    }
    int sameArtist = 0;
    for (const std::string& path : f.session.lbFinalPlaylist)
        sameArtist += path.find(songs[5].artist + " - ") != std::string::npos ? 1 : 0;
    EXPECT_LE(sameArtist, 1);
}

// A category whose songs all break a rule still fills the hour: the fill relaxes the rule as the
// walk does and names each break; one that runs out of songs is named with the miss.
TEST(ClockFillBuild, RelaxesTheRulesBeforeEndingShortAndNamesACategoryRunDry) {
    FillStation f;
    f.session.fDMCA.cbDupeCheck = true;
    f.session.fDMCA.ComboBox1 = "1";
    f.context.rules.relax = Relax::LeastRecent;
    std::vector<TestSong> solo = Songs("Solo", Twenty());
    for (TestSong& song : solo) song.artist = "Solo";
    f.session.lbClockwheelTemplate = {f.Category("music.m3u", solo, 0)};
    f.session.ComboBox1 = "20";
    const BuildOutcome outcome = BuildPlaylist(f.context);
    EXPECT_TRUE(outcome.onTime) << f.view.Status();
    const auto breaks = std::count_if(
        f.session.mTextOutput.begin(), f.session.mTextOutput.end(),
        [](const std::string& line) { return line.rfind("Rule broken: artist 'Solo'", 0) == 0; });
    EXPECT_EQ(static_cast<size_t>(breaks), f.session.lbFinalPlaylist.size() - 1);

    FillStation dry;
    dry.session.lbClockwheelTemplate = {dry.Category("music.m3u", Songs("A", {300, 300}), 0)};
    dry.session.ComboBox1 = "20";
    EXPECT_FALSE(BuildPlaylist(dry.context).onTime);
    EXPECT_EQ(dry.session.lbRuleBreaks,
              LineList{"Hour ends 0:10:01 early (window 2 s); nothing left in music.m3u"});
}

TEST(ClockFillBuild, WithTheWalkTheSameSongsAsWithoutTheTimingSection) {
    auto build = [](const TimingSettings& timing) {
        FillStation f;
        f.context.timing = timing;
        const std::string music =
            f.Category("music.m3u", Songs("A", {245, 198, 301, 222, 187, 263, 214}), 0);
        f.session.lbClockwheelTemplate = {music};
        f.session.ComboBox1 = "20";
        BuildPlaylist(f.context);
        LineList names;
        for (const std::string& path : f.session.lbFinalPlaylist)
            names.push_back(path.substr(path.rfind('/') + 1));
        return std::make_pair(names, f.session.mTextOutput);
    };
    // Tolerance and overlap mean nothing to the walk.
    EXPECT_EQ(build(TimingSettings{}), build(TimingSettings{FillMode::Walk, 9, 4}));
}

// An overlap as long as the items (jingles and spots of 5 to 20 s, a crossfade of 30 s) leaves
// each counting nothing: the walk, timed or not, ends after one pass that adds no time, and says
// why, instead of going round for ever with the station locked.
TEST(ClockFillBuild, AnOverlapThatTakesEveryItemsTimeEndsTheBuild) {
    for (const bool timed : {false, true}) {
        FillStation f(2, kMostOverlapSeconds);
        std::vector<TestSong> shorts;
        for (int i = 0; i < 6; ++i)
            shorts.push_back({5 + 3 * i, "Spot " + std::to_string(i), "Ad " + std::to_string(i)});
        const std::string spots = f.Category("spots.m3u", shorts, 0);
        f.session.lbClockwheelTemplate = {spots, spots, spots};
        if (timed) f.session.slotTimes.Set(0, SlotTime{0, SlotTimeKind::Hard, 30});
        f.session.ComboBox1 = "60";  // longer than the fill's last part: the walk goes first
        f.session.SetOutputFile(f.dir / "out.m3u");
        const BuildOutcome outcome = BuildPlaylist(f.context);
        EXPECT_FALSE(outcome.reachedLength) << timed;
        EXPECT_EQ(outcome.status.rfind("The playlist cannot be completed", 0), 0u)
            << timed << ": " << outcome.status;
        EXPECT_LE(f.session.lbFinalPlaylist.size(), 2 * f.session.lbClockwheelTemplate.size());
    }
    // Songs beside them still fill the hour: the jingles count nothing, the songs the rest.
    FillStation f(2, kMostOverlapSeconds);
    const std::string music = f.Category("music.m3u", Songs("Band", Twenty()), 1);
    const std::string spots = f.Category("spots.m3u", {{10, "Spot", "Ad"}, {12, "Spot 2", "Ad"}}, 2);
    f.session.lbClockwheelTemplate = {music, spots, music};
    f.session.ComboBox1 = "60";
    f.session.SetOutputFile(f.dir / "out.m3u");
    const BuildOutcome outcome = BuildPlaylist(f.context);
    EXPECT_NE(outcome.status.rfind("The playlist cannot be completed", 0), 0u) << outcome.status;
    EXPECT_GT(outcome.placedSeconds, 55 * 60) << outcome.status;
}

TEST(ClockFillBuild, AnHourEndIsShownToATenthOfASecond) {
    for (const auto& [ms, text] : std::vector<std::pair<int64_t, std::string>>{
             {0, "+0.0 s"}, {49, "+0.0 s"}, {-49, "+0.0 s"}, {50, "+0.1 s"}, {-1950, "-2.0 s"},
             {41049, "+41.0 s"}, {-458000, "-458.0 s"}})
        EXPECT_EQ(HourEndText(ms), text) << ms;
}

TEST(ClockFillBuild, AnHourEndInWordsIsToTheSecond) {
    const struct {
        int64_t ms;
        const char* words;
        const char* clock;
    } cases[] = {{0, "on the hour", "0:00:00"},          {-499, "on the hour", "0:00:00"},
                 {500, "0:00:01 late", "+0:00:01"},      {-41049, "0:00:41 early", "-0:00:41"},
                 {-2406200, "0:40:06 early", "-0:40:06"}, {3725000, "1:02:05 late", "+1:02:05"},
                 {INT64_MIN / 2, "596523:14:07 early", "-596523:14:07"}};
    for (const auto& c : cases) {
        EXPECT_EQ(HourEndWords(c.ms), c.words) << c.ms;
        EXPECT_EQ(HourEndClock(c.ms), c.clock) << c.ms;
    }
}

}  // namespace
}  // namespace kestrune
