#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "building/KeptRotations.h"
#include "building/PlaylistBuilder.h"
#include "platform/Files.h"
#include "rules/RotationSettings.h"
#include "support/Station.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::StationFixture;
using testing::TestSong;

struct RotationStation : StationFixture {
    std::string folder = dir.Path();
    std::string music;

    RotationStation(const std::vector<TestSong>& songs, bool dupe) {
        context.historyFolder = &folder;
        context.rotation.order = RotationOrder::Rotate;
        session.fDMCA.cbDupeCheck = dupe;
        session.fDMCA.ComboBox1 = "1";
        // The first build's one shuffle leaves the songs in the order given.
        music = ShuffledPlaylist("music.m3u", songs, 0);
        session.lbMasterPlaylists.Add(music);
        session.lbClockwheelTemplate = {music};
        session.ComboBox1 = "10";  // three songs of 200 s
    }
    LineList Build() {
        session.lbFinalPlaylist.clear();
        BuildPlaylist(context);
        return session.lbFinalPlaylist;
    }
};

std::vector<TestSong> Seven() {
    std::vector<TestSong> songs;
    for (int i = 0; i < 7; ++i)
        songs.push_back({200, "Artist " + std::to_string(i), "Song " + std::to_string(i)});
    return songs;
}

// Against a model of the rotation: a queue whose top plays and goes to the end, across builds
// and rounds, with no shuffle after the first; a song added by hand waits its turn.
TEST(RotationOrder, ACategoryPlaysAsAQueueAcrossBuildsAndRounds) {
    RotationStation f(Seven(), false);
    std::deque<std::string> queue;
    for (const TestSong& song : Seven()) queue.push_back(f.SongPath(song));
    for (int build = 0; build < 5; ++build) {
        if (build == 2) {
            // Added by hand at the end of the file: it plays after every song above it.
            const std::string added = f.SongPath({200, "Added", "By Hand"});
            testing::WriteSong(added, {200, "Added", "By Hand"});
            SaveList(f.music, [&] {
                LineList lines = f.Lines(f.music);
                lines.push_back(added);
                return lines;
            }());
            queue.push_back(added);
        }
        LineList expected;
        for (int k = 0; k < 3; ++k) {
            expected.push_back(queue.front());
            queue.push_back(queue.front());
            queue.pop_front();
        }
        EXPECT_EQ(f.Build(), expected) << "build " << build;
        EXPECT_EQ(f.Lines(f.music), LineList(queue.begin(), queue.end())) << "build " << build;
    }
    // The round is kept beside the category: the 15th play ended the second round, so all 8
    // songs are still to play in the third.
    EXPECT_EQ(ReadWholeFile(RotationStatePath(f.folder)), f.music + "\t8\t0\r\n");
}

// A song passed over by a rule keeps its place at the top and plays as soon as the rule lets
// it; the song that played instead is the least recently played that keeps the rule.
TEST(RotationOrder, ASongPassedOverKeepsItsPlaceAtTheTop) {
    std::vector<TestSong> songs = Seven();
    songs[2].artist = songs[1].artist;  // two songs of one artist, one after the other
    RotationStation f(songs, true);
    LineList start;
    for (const TestSong& song : songs) start.push_back(f.SongPath(song));
    EXPECT_EQ(f.Build(), (LineList{start[0], start[1], start[3]}));
    LineList after = f.Lines(f.music);
    EXPECT_EQ(after.front(), start[2]);
    EXPECT_EQ(after[1], start[4]);
    // Once the rule lets it, the song passed over plays first.
    f.session.fDMCA.cbDupeCheck = false;
    EXPECT_EQ(f.Build().front(), start[2]);
}

// The round against a model: the song at `from` is brought to the top and has its turn. A song
// of this round goes after the others played this round; one that plays early, when every song
// left in the round broke a rule, waits at the end until the round is over, and the next round
// is every song but it. The round goes to the file once, with the category.
TEST(RotationOrder, TheRoundKeepsEverySongToOnePlayUntilAllHavePlayed) {
    testing::TempDir dir;
    dir.Write("music.m3u", "a\nb\nc\nd\ne\n");
    dir.Write("rotation.txt", dir / "music.m3u" + "\n");
    KeptRotations kept(dir / "rotation.txt");
    ASSERT_FALSE(kept.Load(dir / "music.m3u").isNew);
    const struct {
        size_t from;
        LineList after;
        size_t unplayed, searchable;
    } turns[] = {
        {0, {"b", "c", "d", "e", "a"}, 4, 5},
        {1, {"b", "d", "e", "a", "c"}, 3, 5},  // b passed over: stays on top
        {3, {"b", "d", "e", "c", "a"}, 3, 4},  // b, d, e all passed over: a plays early
        {0, {"d", "e", "c", "b", "a"}, 2, 4},  // b after this round's, before the early a
        {0, {"e", "c", "b", "d", "a"}, 1, 4},
        {0, {"c", "b", "d", "e", "a"}, 4, 5},  // the round is over; a has played in the next
        {0, {"b", "d", "e", "a", "c"}, 3, 5},  // after a, which played in this round early
    };
    for (const auto& turn : turns) {
        LineList& working = kept.Entries(0);
        std::rotate(working.begin(), working.begin() + static_cast<long>(turn.from),
                    working.begin() + static_cast<long>(turn.from) + 1);
        kept.EndTurn(0, working, turn.from);
        EXPECT_EQ(kept.Entries(0), turn.after) << "from " << turn.from;
        EXPECT_EQ(kept.Unplayed(0), turn.unplayed);
        EXPECT_EQ(kept.Searchable(0, 5), turn.searchable);
    }
    EXPECT_EQ(dir.Read("music.m3u"), "a\nb\nc\nd\ne\n");  // nothing written yet
    kept.Save();
    EXPECT_EQ(dir.Read("music.m3u"), "b\nd\ne\na\nc\n");
    EXPECT_EQ(dir.Read("rotation.txt"), dir / "music.m3u" + "\t3\t0\r\n");
    // The next build goes on with the round; a round that no longer fits the file (edited by
    // hand) is cut to it, and a line that does not read begins the round again.
    KeptRotations next(dir / "rotation.txt");
    next.Load(dir / "music.m3u");
    EXPECT_EQ(next.Unplayed(0), 3u);
    for (const auto& [line, unplayed, searchable] :
         std::vector<std::tuple<std::string, size_t, size_t>>{
             {"\t9\t9", 5, 5}, {"\t2\t9", 2, 2}, {"\tx\t1", 5, 5}, {"\t0\t2", 3, 5}}) {
        dir.Write("rotation.txt", dir / "music.m3u" + line + "\n");
        KeptRotations edited(dir / "rotation.txt");
        edited.Load(dir / "music.m3u");
        EXPECT_EQ(edited.Unplayed(0), unplayed) << line;
        EXPECT_EQ(edited.Searchable(0, 5), searchable) << line;
    }
}

}  // namespace
}  // namespace kestrune
