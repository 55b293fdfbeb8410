// Each reader reads as its own setup says, whatever other readers of the same process do; a
// build reads its songs as its context's setup says.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "building/PlaylistBuilder.h"
#include "mpgtools/MPGTools.h"
#include "support/Station.h"
#include "support/TagLibSetup.h"

namespace kestrune {
namespace {

using testing::StationFixture;
using testing::TagLibSetup;
using testing::TestSong;

std::string TextFrame(const std::string& id, const std::string& text) {
    const std::string body = std::string(1, '\0') + text;  // Latin-1
    std::string frame = id;
    for (const int shift : {24, 16, 8, 0})
        frame += static_cast<char>((body.size() >> shift) & 0xFF);
    return frame + std::string(2, '\0') + body;
}

// A ten-minute song whose ID3v2 tag in front names another artist and title than its ID3v1 tag
// at the end.
std::string TwoTagSong(StationFixture& f, const std::string& name) {
    testing::WriteSong(f.dir / name, TestSong{600, "Old Artist", "Old Title", 17});
    const std::string frames = TextFrame("TPE1", "New Artist") + TextFrame("TIT2", "New Title");
    std::string header = "ID3\x03";
    header += std::string(2, '\0');  // minor version, flags
    for (const int shift : {21, 14, 7, 0})
        header += static_cast<char>((frames.size() >> shift) & 0x7F);
    f.dir.Write(name, header + frames + f.dir.Read(name));
    return f.dir / name;
}

TEST(ReaderSetup, ReadersOfOneProcessReadTheSameFileEachByItsOwnSetup) {
    StationFixture f;
    const std::string song = TwoTagSong(f, "two tags.mp3");
    struct Case {
        const char* what;
        ReaderSetup setup;
        const char* artist;
        const char* title;
        const char* tagSource;
    };
    const std::vector<Case> cases = {
        {"TagLib, every tag", TagLibSetup(), "New Artist", "New Title", "ID3v2.3"},
        {"TagLib, [Library] tags=id3v1", TagLibSetup(LibrarySettings{true, false}),
         "Old Artist", "Old Title", "ID3v1"},
        {"no tag library", ReaderSetup{}, "Old Artist", "Old Title", "ID3v1"},
    };
    // All alive at once, each read twice in turn: no reader's setup reaches another.
    std::vector<TMPEGAudio> readers;
    for (const Case& c : cases) readers.emplace_back(c.setup);
    for (int round = 0; round < 2; ++round) {
        for (size_t i = 0; i < cases.size(); ++i) {
            readers[i].SetFileName(song);
            EXPECT_EQ(readers[i].GetArtist(), cases[i].artist) << cases[i].what;
            EXPECT_EQ(readers[i].GetTitle(), cases[i].title) << cases[i].what;
            EXPECT_EQ(readers[i].MPEGFileInfo.TagSource, cases[i].tagSource) << cases[i].what;
            EXPECT_EQ(PlayingSeconds(readers[i].MPEGFileInfo), 600) << cases[i].what;
        }
    }
}

TEST(ReaderSetup, TheBuildReadsItsSongsAsItsContextSays) {
    for (const bool id3v1Only : {false, true}) {
        SCOPED_TRACE(id3v1Only ? "tags=id3v1" : "every tag");
        StationFixture f;
        const std::string song = TwoTagSong(f, "two tags.mp3");
        const std::string junk = f.dir / "junk.mp3";
        f.dir.Write("junk.mp3", std::string(5000, '\x55'));
        f.dir.Write("list.m3u", song + "\r\n" + junk + "\r\n");
        f.session.lbMasterPlaylists.Add(f.dir / "list.m3u");
        f.session.lbClockwheelTemplate = {f.dir / "list.m3u"};
        f.context.reader = TagLibSetup(LibrarySettings{id3v1Only, false});
        std::vector<std::string> asked;
        f.context.reader.askOnError = [&asked](const std::string& fileName) {
            asked.push_back(fileName);
            return 5;
        };
        BuildPlaylist(f.context);
        const auto placed = f.session.placedSongs.find(song);
        ASSERT_NE(placed, f.session.placedSongs.end());
        EXPECT_EQ(placed->second.artist, id3v1Only ? "Old Artist" : "New Artist");
        EXPECT_EQ(placed->second.title, id3v1Only ? "Old Title" : "New Title");
        // The unreadable file is asked about once, through the context's question.
        EXPECT_EQ(asked, std::vector<std::string>{junk});
    }
}

TEST(ReaderSetup, TheBuildStopsAtTheContextsStopRequestAfterItsPump) {
    StationFixture f;
    const std::string list = f.Playlist(
        "list.m3u", {{60, "A", "One"}, {60, "B", "Two"}, {60, "C", "Three"}, {60, "D", "Four"}});
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list, list};
    std::atomic<bool> stop{false};
    int pumps = 0;
    f.context.reader.stop = &stop;
    // Esc arrives while the window events are let in after the first slot.
    f.context.reader.pump = [&] {
        ++pumps;
        stop = true;
    };
    BuildPlaylist(f.context);
    EXPECT_EQ(pumps, 1);
    EXPECT_EQ(f.session.lbFinalPlaylist.size(), 1u);
    EXPECT_EQ(f.view.Status().rfind("Build stopped after slot 1 of the Clock Wheel Template", 0),
              0u)
        << f.view.Status();
}

}  // namespace
}  // namespace kestrune
