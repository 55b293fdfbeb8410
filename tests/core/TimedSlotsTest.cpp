#include <gtest/gtest.h>

#include <filesystem>

#include <map>

#include "building/PlaylistBuilder.h"
#include "building/TemplateEditor.h"
#include "platform/Files.h"
#include "sessions/SessionFile.h"
#include "sessions/SlotTimesFile.h"
#include "support/Station.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::TestSong;
using testing::StationFixture;

const SlotTime kNews{0, SlotTimeKind::Hard, 30};
const SlotTime kSpots{20 * 60, SlotTimeKind::Soft, 30};
const SlotTime kLegalId{59 * 60 + 50, SlotTimeKind::Before, 30};

TEST(SlotTime, TextsAndTheOccurrenceDue) {
    for (const auto& [text, second] : std::vector<std::pair<std::string, std::optional<int32_t>>>{
             {":20", 1200}, {":20:00", 1200}, {"20:00", 1200}, {" 59:50 ", 3590}, {"0:05:07", 307},
             {"5", 300}, {":60", std::nullopt}, {"1:20:00", std::nullopt}, {"20:61", std::nullopt},
             {"", std::nullopt}, {"ab", std::nullopt}, {":-5", std::nullopt}})
        EXPECT_EQ(ParseHourMark(text), second) << text;
    EXPECT_EQ(HourMarkText(3590), ":59:50");
    EXPECT_EQ(SlotTimeText(kNews), "at :00:00, hard");
    EXPECT_EQ(SlotTimeText(kSpots), "at :20:00, soft (30 s)");
    EXPECT_EQ(SlotTimeText(kLegalId), "before :59:50 (30 s)");
    EXPECT_EQ(SlotMissText(5, kSpots, -41000, 2), "Slot 6 at :20:00 starts 0:00:41 early (window 30 s)");
    EXPECT_EQ(SlotMissText(0, kNews, 2500, 2), "Slot 1 at :00:00 starts 0:00:03 late (window 2 s)");
    EXPECT_EQ(NextOccurrenceMs(kSpots, 0), 1200000);
    EXPECT_EQ(NextOccurrenceMs(kSpots, 1200000), 1200000);
    EXPECT_EQ(NextOccurrenceMs(kSpots, 1200001), 4800000);
    EXPECT_EQ(WindowOf(kLegalId, 2).earlyMs, 30000);
    EXPECT_EQ(WindowOf(kLegalId, 2).lateMs, 0);
}

TEST(SlotTimesFile, KeepsEachTimeWithItsSlotAndLeavesOutWhatNoLongerFits) {
    const LineList slots = {"/p/news.m3u", "/p/music.m3u", "/p/spots.m3u"};
    SlotTimes times;
    times.Set(0, kNews);
    times.Set(2, kSpots);
    const LineList lines = SlotTimesLines("morning.cwt", slots, times);
    EXPECT_EQ(lines[1], "1\t:00:00\thard\t30\t/p/news.m3u");
    EXPECT_EQ(ParseSlotTimesLines(lines, slots).times, times);

    // An older version moved the spots up a slot; a hand edit garbled a line.
    LineList edited = lines;
    edited.push_back("2\t:30\tsometimes\t30\t/p/music.m3u");
    const SlotTimesRead read =
        ParseSlotTimesLines(edited, {"/p/news.m3u", "/p/spots.m3u", "/p/music.m3u"});
    EXPECT_EQ(read.times.BySlot().size(), 1u);
    EXPECT_EQ(read.times.At(0), kNews);
    ASSERT_EQ(read.problems.size(), 2u);
    EXPECT_EQ(read.problems[0], "line 3: slot 3 is no longer /p/spots.m3u; its time was left out");
    EXPECT_EQ(read.problems[1].rfind("line 4: ", 0), 0u);
}

// What a hand, a copy or a broken disk leaves beside a session is named, each thing once, and
// nothing is taken for a time that is not one.
TEST(SlotTimesFile, EveryLineThatCannotBeReadIsNamed) {
    testing::TempDir dir;
    const LineList slots = {"/p/news.m3u", "/p/music.m3u", "/p/spots.m3u"};
    const std::string session = dir / "m.cwt";
    // A NUL byte in the second line: the lines after it are still read.
    using namespace std::string_literals;
    dir.Write("m.cwt.times", "# times\n2\t:10:00\thard\t30\t/p/mu\0sic.m3u\n"s +
                                 "1\t:00:00\thard\t30\t/p/news.m3u\n"
                                 "1\t:00:30\thard\t30\t/p/news.m3u\n"
                                 "3\t:20:00\tsoft\t30\t/p/spots.m3u\x1b[2J\n" +
                                 std::string(200, 'x') + "\n");
    const SlotTimesRead read = LoadSlotTimes(session, slots);
    EXPECT_EQ(read.times.At(0), (SlotTime{30, SlotTimeKind::Hard, 30})) << "the last time is taken";
    EXPECT_FALSE(read.times.At(2));
    EXPECT_EQ(read.problems,
              (std::vector<std::string>{
                  "line 2: holds a NUL byte, which no line of timed slots can",
                  "line 4: slot 1 was timed on line 3 too; this line's time is taken",
                  "line 5: slot 3 is no longer /p/spots.m3u\\x1B[2J; its time was left out",
                  "line 6: not SLOT, TIME, KIND, WINDOW and PLAYLIST"}));
    const SlotTimesRead garbled = ParseSlotTimesLines({"1\t:0x\thard\t30\t" + std::string(500, 'y')}, slots);
    ASSERT_EQ(garbled.problems.size(), 1u);
    EXPECT_LT(garbled.problems[0].size(), 200u) << "a long line is not echoed whole";

    // Something there that is no file of times: named, the session untimed.
    std::filesystem::remove(dir / "m.cwt.times");
    std::filesystem::create_directory(dir / "m.cwt.times");
    EXPECT_EQ(LoadSlotTimes(session, slots).problems,
              std::vector<std::string>{
                  "is a folder, not a file of timed slots; the session's slots are not timed"});
    std::filesystem::remove(dir / "m.cwt.times");
    std::filesystem::create_symlink(dir / "gone.times", dir / "m.cwt.times");
    EXPECT_EQ(LoadSlotTimes(session, slots).problems,
              std::vector<std::string>{"is a link to nothing, not a file of timed slots; the "
                                       "session's slots are not timed"});
}

TEST(SlotTimesFile, ASessionFileStaysAsItWasAndItsTimesComeBackBesideIt) {
    StationFixture f;
    BuildSession& s = f.session;
    s.lbMasterPlaylists.Add("/p/music.m3u");
    s.lbMasterPlaylists.Add("/p/spots.m3u");
    s.lbClockwheelTemplate = {"/p/music.m3u", "/p/spots.m3u", "/p/music.m3u"};
    s.SetOutputFile("/p/hour.m3u");
    const std::string path = f.dir / "morning.cwt";
    f.prompts.saveAnswer = path;
    SaveQuestion dialog = SessionSaveDialog(f.dir.Path());
    ASSERT_TRUE(SaveSession(f.context, dialog));
    const std::string untimed = ReadWholeFile(path);
    EXPECT_FALSE(FileExists(SlotTimesPath(path)));

    SetSlotTime(s, 1, kSpots);
    ASSERT_TRUE(SaveSession(f.context, dialog));
    EXPECT_EQ(ReadWholeFile(path), untimed);
    ASSERT_TRUE(FileExists(SlotTimesPath(path)));

    // Editing the template carries the times with their slots.
    EXPECT_EQ(btFileUpClick(s, 1, f.prompts), 0);
    EXPECT_EQ(s.slotTimes.At(0), kSpots);
    lbClockwheelTemplateDblClick(s, 1);
    EXPECT_EQ(s.slotTimes.At(0), kSpots);
    f.prompts.yesNoAnswer = true;
    Button2Click(s, 1, f.prompts);  // the spots playlist and its slot go
    EXPECT_TRUE(s.slotTimes.Empty());

    LoadSession(path, f.context);
    EXPECT_EQ(s.lbClockwheelTemplate.size(), 3u);
    EXPECT_EQ(s.slotTimes.At(1), kSpots);
    EXPECT_EQ(s.slotTimes.BySlot().size(), 1u);

    // Saved again without a timed slot, no file is left to time it.
    SetSlotTime(s, 1, std::nullopt);
    ASSERT_TRUE(SaveSession(f.context, dialog));
    EXPECT_FALSE(FileExists(SlotTimesPath(path)));
}

struct TimedStation : StationFixture {
    std::map<std::string, int64_t> ms;  // of every song, by path
    std::string Category(const std::string& name, const std::vector<TestSong>& songs, int index) {
        // The test's songs are 32 ms short of their whole seconds (the tag is not audio).
        for (const TestSong& song : songs) ms[SongPath(song)] = song.seconds * 1000 - 32;
        const std::string list = ShuffledPlaylist(name, songs, index);
        session.lbMasterPlaylists.Add(list);
        return list;
    }
    // When each item of the final playlist starts, from the start of the build.
    std::vector<int64_t> Starts() const {
        std::vector<int64_t> starts;
        int64_t at = 0;
        for (const std::string& path : session.lbFinalPlaylist) {
            starts.push_back(at);
            at += ms.at(path);
        }
        starts.push_back(at);
        return starts;
    }
};

std::vector<TestSong> Songs(const std::string& artist, int count, int shortest, int spread) {
    std::vector<TestSong> songs;
    for (int i = 0; i < count; ++i)
        songs.push_back({shortest + (i * 37) % spread, artist + " " + std::to_string(i),
                         "Item " + std::to_string(i)});
    return songs;
}

TEST(TimedSlotsBuild, NewsSpotsAndTheLegalIdStartInTheirWindowsAndTheHourEndsOnIt) {
    TimedStation f;
    f.session.fDMCA.cbDupeCheck = false;  // with the walk's timing: the times alone ask for more
    const std::string ids = f.Category("ids.m3u", Songs("Id", 8, 5, 16), 0);
    const std::string music = f.Category("music.m3u", Songs("Artist", 60, 180, 120), 1);
    const std::string news = f.Category("news.m3u", Songs("News", 4, 60, 60), 2);
    const std::string spots = f.Category("spots.m3u", Songs("Spot", 6, 30, 31), 3);
    LineList& slots = f.session.lbClockwheelTemplate;
    slots = {news};
    slots.insert(slots.end(), 5, music);
    slots.push_back(spots);
    slots.insert(slots.end(), 10, music);
    slots.push_back(ids);
    f.session.slotTimes.Set(0, kNews);
    f.session.slotTimes.Set(6, kSpots);
    f.session.slotTimes.Set(17, kLegalId);
    f.session.ComboBox1 = "60";
    const BuildOutcome outcome = BuildPlaylist(f.context);

    EXPECT_TRUE(f.session.lbRuleBreaks.empty()) << f.session.lbRuleBreaks.front();
    EXPECT_TRUE(outcome.onTime) << f.view.Status();
    const LineList& placed = f.session.lbFinalPlaylist;
    ASSERT_EQ(placed.size(), 18u);
    const std::vector<int64_t> starts = f.Starts();
    EXPECT_NEAR(starts[6], 1200000, 30000);
    EXPECT_GE(starts[17], 3560000);
    EXPECT_LE(starts[17], 3590000);
    EXPECT_NEAR(starts[18], 3600000, 2000);
    EXPECT_NE(placed[6].find("/Spot "), std::string::npos);
    EXPECT_NE(placed[17].find("/Id "), std::string::npos);
    // The text log tells each timed item's time beside its planned start.
    int noted = 0;
    for (const std::string& line : f.session.mTextOutput)
        for (const char* note : {"[slot 1 at :00:00, hard]", "[slot 7 at :20:00, soft (30 s)]",
                                 "[slot 18 before :59:50 (30 s)]"})
            noted += line.find(note) != std::string::npos ? 1 : 0;
    EXPECT_EQ(noted, 3);
}

// The clock is a pattern and its timed items anchors: a template shorter than the hour goes
// round again, one longer is cut, and each timed item starts in its window with the hour on
// time. An anchor that cannot start in its window (due while the one before it still plays) is
// passed over and named.
TEST(TimedSlotsBuild, AnyClockLandsItsTimedItemsAndOneThatCannotAirIsNamed) {
    const SlotTime kJustAfterSpots{20 * 60 + 10, SlotTimeKind::Hard, 30};
    struct Case {
        const char* name;
        int musicSlots;  // between the :00 item and the spots, and again after them
        bool secondAnchor;  // a hard item due while the spot before it still plays
    };
    for (const Case& c : {Case{"a clock of 6 slots", 1, false}, Case{"a clock of 32 slots", 14, false},
                          Case{"an item due while another plays", 3, true}}) {
        SCOPED_TRACE(c.name);
        TimedStation f;
        f.session.fDMCA.cbDupeCheck = false;
        f.session.fGenre.cbGenreCheck = false;  // every test song is of one genre
        const std::string ids = f.Category("ids.m3u", Songs("Id", 8, 5, 16), 0);
        const std::string music = f.Category("music.m3u", Songs("Artist", 60, 170, 130), 1);
        const std::string news = f.Category("news.m3u", Songs("News", 4, 60, 60), 2);
        const std::string spots = f.Category("spots.m3u", Songs("Spot", 16, 15, 46), 3);
        LineList& slots = f.session.lbClockwheelTemplate;
        slots = {news};
        slots.insert(slots.end(), static_cast<size_t>(c.musicSlots), music);
        f.session.slotTimes.Set(slots.size(), kSpots);
        slots.push_back(spots);
        if (c.secondAnchor) {
            f.session.slotTimes.Set(slots.size(), kJustAfterSpots);
            slots.push_back(ids);
        }
        slots.insert(slots.end(), static_cast<size_t>(c.musicSlots), music);
        slots.push_back(spots);  // a break of its own, untimed
        f.session.slotTimes.Set(0, kNews);
        f.session.slotTimes.Set(slots.size(), kLegalId);
        slots.push_back(ids);
        f.session.ComboBox1 = "60";
        const BuildOutcome outcome = BuildPlaylist(f.context);

        EXPECT_TRUE(outcome.onTime) << f.view.Status();
        const std::vector<int64_t> starts = f.Starts();
        const LineList& placed = f.session.lbFinalPlaylist;
        std::vector<std::pair<std::string, int64_t>> timed;  // each timed item's note and start
        size_t item = 0;
        for (const std::string& line : f.session.mTextOutput) {
            if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0]))) continue;
            const size_t note = line.find("  [slot ");
            if (note != std::string::npos) timed.emplace_back(line.substr(note + 2), starts[item]);
            ++item;
        }
        ASSERT_EQ(item, placed.size());
        ASSERT_EQ(timed.size(), 3u);
        EXPECT_NEAR(timed[0].second, 0, 2000);
        EXPECT_NEAR(timed[1].second, 1200000, 30000);
        EXPECT_GE(timed[2].second, 3560000);
        EXPECT_LE(timed[2].second, 3590000);
        const std::vector<std::string>& problems = f.view.Problems();
        if (c.secondAnchor) {
            ASSERT_EQ(problems.size(), 1u);
            EXPECT_EQ(problems.front().rfind("Passed over slot 6 (at :20:10, hard) at 0:20:", 0), 0u)
                << problems.front();
            EXPECT_NE(std::find(f.session.mTextOutput.begin(), f.session.mTextOutput.end(),
                                problems.front()),
                      f.session.mTextOutput.end());
        } else {
            EXPECT_TRUE(problems.empty()) << problems.front();
        }
    }
}

// A clock shorter than the hour comes round to its timed slot again: inside the end fill too,
// the slot airs at its time or not at all, never a second time late.
TEST(TimedSlotsBuild, ATimedSlotAirsOnceAnHourEvenInTheEndFill) {
    for (const int seed : {1, 2, 3, 4, 5}) {
        TimedStation f;
        f.session.fDMCA.cbDupeCheck = false;
        const std::string music = f.Category("music.m3u", Songs("Artist", 40, 170, 90), 0);
        const std::string spots = f.Category("spots.m3u", Songs("Spot", 6, 30, 31), 1);
        LineList& slots = f.session.lbClockwheelTemplate;
        slots.assign(10, music);
        slots[4] = spots;
        const SlotTime beforeHalf{29 * 60, SlotTimeKind::Before, 600};
        f.session.slotTimes.Set(4, beforeHalf);
        f.session.ComboBox1 = "60";
        f.seeds = CountingSeeds(static_cast<uint32_t>(1000 + 100 * seed));
        BuildPlaylist(f.context);
        const std::vector<int64_t> starts = f.Starts();
        int aired = 0;
        for (size_t i = 0; i < f.session.lbFinalPlaylist.size(); ++i) {
            if (f.session.lbFinalPlaylist[i].find("/Spot ") == std::string::npos) continue;
            ++aired;
            EXPECT_GE(starts[i], (29 - 10) * 60 * 1000) << seed;
            EXPECT_LE(starts[i], 29 * 60 * 1000 + 2000) << seed;
        }
        EXPECT_LE(aired, 1) << seed;
    }
}

}  // namespace
}  // namespace kestrune
