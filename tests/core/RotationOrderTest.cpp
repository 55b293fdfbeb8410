#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "building/PlaylistBuilder.h"
#include "platform/Files.h"
#include "rules/RotationSettings.h"
#include "support/Station.h"

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
    EXPECT_EQ(ReadWholeFile(RotationStatePath(f.folder)), f.music + "\r\n");
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

}  // namespace
}  // namespace kestrune
