// The file operations that the commands must do, as the file layer records them: the reader's
// look, open, blocks and close; the builder's read and rewrite of a category playlist for
// every song it places; the tag pass's read and rewrite of a playlist for every file appended.
// Leaner code around them must leave these exactly as they are.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "Mp3Synth.h"
#include "SparseSong.h"
#include "building/BuildCommand.h"
#include "listtools/TagPlaylists.h"
#include "mpgtools/MPGTools.h"
#include "platform/FileReplace.h"
#include "platform/FileTrace.h"
#include "platform/Files.h"
#include "support/TagLibSetup.h"
#include "support/Station.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::TempDir;

// Records what `work` asks of the file system.
FileTrace Recorded(const std::function<void()>& work) {
    FileTrace trace;
    SetFileTrace(&trace);
    work();
    SetFileTrace(nullptr);
    return trace;
}

// The operations on one path (whole reads, replacements and existence tests), in order, as
// letters: S status, R read whole, W replaced whole.
std::string OpsOn(const FileTrace& trace, const std::string& path) {
    std::string ops;
    for (const FileEvent& event : trace) {
        if (event.path != path) continue;
        if (event.op == FileOp::Status) ops += 'S';
        if (event.op == FileOp::ReadWhole) ops += 'R';
        if (event.op == FileOp::ReplaceWhole) ops += 'W';
    }
    return ops;
}

// Of each replacement of one path, in order: 'D' flushed to the disk first, 'L' left for later.
std::string SyncsOf(const FileTrace& trace, const std::string& path) {
    std::string syncs;
    for (const FileEvent& event : trace)
        if (event.op == FileOp::ReplaceWhole && event.path == path) syncs += event.synced ? 'D' : 'L';
    return syncs;
}

int Opens(const FileTrace& trace, const std::string& path) {
    int opens = 0;
    for (const FileEvent& event : trace)
        opens += event.op == FileOp::Open && event.path == path ? 1 : 0;
    return opens;
}

TEST(FileTrace, RecordsWholeFilesAndStatusesOnlyWhileInstalled) {
    TempDir dir;
    const std::string list = dir / "list.m3u";
    ReplaceWholeFile(list, "a\r\n");  // not recorded
    const FileTrace trace = Recorded([&] {
        EXPECT_TRUE(FileExists(list));
        EXPECT_EQ(ReadWholeFile(list), "a\r\n");
        ReplaceWholeFile(list, "a\r\nb\r\n");
    });
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(OpsOn(trace, list), "SRW");  // the write's own looks at the file are not counted
    EXPECT_EQ(trace[1].bytes, 3);
    EXPECT_EQ(trace[2].bytes, 6);
    EXPECT_EQ(ReadWholeFile(list), "a\r\nb\r\n");
}

TEST(FileTrace, TheReaderLooksOpensReadsTwoBlocksAndCloses) {
    TempDir dir;
    const std::string song = dir / "song.mp3";
    synth::Id3v1Tag tag;
    tag.artist = "Marla Quinn";
    synth::WriteSparseSong(song, 200, tag);  // 800,000 bytes: the head and the tag
    TMPEGAudio reader{testing::TagLibSetup()};
    const FileTrace trace = Recorded([&] { reader.SetFileName(song); });
    ASSERT_EQ(trace.size(), 5u);
    EXPECT_EQ(trace[0].op, FileOp::Status);
    EXPECT_EQ(trace[1].op, FileOp::Open);
    EXPECT_EQ(trace[1].path, song);
    EXPECT_EQ(trace[2].op, FileOp::ReadBlock);
    EXPECT_EQ(trace[2].offset, 0);
    EXPECT_EQ(trace[3].op, FileOp::ReadBlock);
    // The end in one piece: the ID3v1 tag and the footers of any blocks before it.
    EXPECT_EQ(trace[3].offset, 800000 - 512);
    EXPECT_EQ(trace[3].bytes, 512);
    EXPECT_EQ(trace[4].op, FileOp::Close);
    EXPECT_EQ(reader.GetArtist(), "Marla Quinn");
    EXPECT_EQ(reader.MPEGFileInfo.Duration, 200);

    // A missing file is looked at, and that is all.
    const FileTrace missing = Recorded([&] { reader.SetFileName(dir / "gone.mp3"); });
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].op, FileOp::Status);
}

TEST(FileTrace, TheBuildReadsAndRewritesTheCategoryFileForEverySongPlaced) {
    testing::StationFixture f;
    std::vector<testing::TestSong> songs;
    for (int i = 0; i < 20; ++i)
        songs.push_back({240, "Artist " + std::to_string(i), "Song " + std::to_string(i), 17});
    const std::string list = f.Playlist("hits.m3u", songs);
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.SetOutputFile(f.dir / "hour.m3u");
    const FileTrace trace = Recorded([&] { btBuildPlaylistClick(f.context); });
    ASSERT_EQ(f.session.lbFinalPlaylist.size(), 15u);

    // The repair reads the file and writes it twice; the start shuffle reads and writes it;
    // then each of the fifteen songs: read the file, write it back rotated.
    std::string expected = "RWWRW";
    for (int i = 0; i < 15; ++i) expected += "RW";
    EXPECT_EQ(OpsOn(trace, list), expected);
    // Each placed song is looked for by the repair and again as the top song, then read once
    // a build (its checks and its placing share what was read), the read after a look.
    for (const std::string& song : f.session.lbFinalPlaylist) {
        EXPECT_EQ(OpsOn(trace, song), "SSS") << song;
        EXPECT_EQ(Opens(trace, song), 1) << song;
    }
    // The repair's removals reach the disk; the shuffle and the rotations are left for later.
    EXPECT_EQ(SyncsOf(trace, list), "DD" + std::string(16, 'L'));

    // What the station keeps, the final playlist, is on the disk before it replaces the old.
    const FileTrace accepted = Recorded([&] { btAcceptFinalPlaylistClick(f.context); });
    EXPECT_EQ(SyncsOf(accepted, f.dir / "hour.m3u"), "D");
}

TEST(FileTrace, ANewFileTakesTheProcessMaskAndAReplacedFileKeepsItsMode) {
    TempDir dir;
    const mode_t before = ::umask(027);
    ReplaceWholeFile(dir / "new.m3u", "a\r\n");
    ::umask(before);
    struct stat status {};
    ASSERT_EQ(::stat((dir / "new.m3u").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    ::chmod((dir / "new.m3u").c_str(), 0604);
    ReplaceWholeFile(dir / "new.m3u", "b\r\n");
    ASSERT_EQ(::stat((dir / "new.m3u").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0604u);
}

TEST(FileTrace, TheTagPassWritesEachPlaylistOnceARound) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Music");
    std::filesystem::create_directories(dir / "Playlists");
    for (const char* name : {"a1", "a2", "b1"}) {
        synth::FileLayout layout;
        synth::Id3v1Tag tag;
        tag.artist = name[0] == 'a' ? "Ann" : "Bob";
        layout.tag = tag;
        synth::WriteFile(dir / (std::string("Music/") + name + ".mp3"), synth::BuildFile(layout));
    }
    BuildSession session;
    HeadlessView view;
    testing::ScriptedPrompts prompts;
    const TagSearch search{dir / "Music", TagCategories{true, false, false, false},
                           dir / "Playlists"};
    const FileTrace trace =
        Recorded([&] { btnSearchForFilesClick(search, session, view, prompts, testing::TagLibSetup()); });
    // One round: each playlist is looked for and written once, with all of its lines.
    EXPECT_EQ(OpsOn(trace, dir / "Playlists/_art_Ann_.m3u"), "SW");
    EXPECT_EQ(OpsOn(trace, dir / "Playlists/_art_Bob_.m3u"), "SW");
    EXPECT_EQ(SyncsOf(trace, dir / "Playlists/_art_Ann_.m3u"), "L");

    // The next pass adds to them: looked for, read, written.
    const FileTrace again =
        Recorded([&] { btnSearchForFilesClick(search, session, view, prompts, testing::TagLibSetup()); });
    EXPECT_EQ(OpsOn(again, dir / "Playlists/_art_Ann_.m3u"), "SRW");
    for (const char* name : {"a1", "a2", "b1"})
        EXPECT_EQ(Opens(trace, dir / (std::string("Music/") + name + ".mp3")), 1) << name;
}

}  // namespace
}  // namespace kestrune
