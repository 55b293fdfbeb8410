// Bad inputs that the older tests left out: MP3 files with the traps of real files, pipes given
// as playlists and sessions, unreadable configuration files and folders, a schedule that cannot
// be saved, a start folder that vanished. Each is listed in docs/robustness.md.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Mp3Synth.h"
#include "Pitfalls.h"
#include "building/BuildCommand.h"
#include "mpgtools/MPGTools.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "sessions/Scheduler.h"
#include "sessions/StationConfig.h"
#include "support/CliRunner.h"
#include "support/Station.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::LastLine;
using testing::TempDir;

struct Loaded {
    int32_t result = 0;
    int questions = 0;
    TMPEGAudio reader;
};

Loaded LoadBytes(const TempDir& dir, const std::string& name, const std::string& bytes) {
    synth::WriteFile(dir / name, bytes);
    Loaded out;
    out.reader.AutoLoad = false;
    out.reader.ErrorCallback = [&out](const TMPEGFileInfo&) -> uint16_t {
        ++out.questions;
        return 5;
    };
    out.reader.SetFileName(dir / name);
    out.result = out.reader.Load();
    out.reader.ErrorCallback = nullptr;
    return out;
}

std::string Frames(const synth::FrameFields& frame, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += synth::SilentFrame(frame);
    return bytes;
}

synth::FrameFields Mpeg1(int bitRateIndex = 9) {
    synth::FrameFields frame;
    frame.bitRateIndex = bitRateIndex;
    return frame;
}

std::string TagTitled(const std::string& title) {
    synth::Id3v1Tag tag;
    tag.title = title;
    tag.artist = "Real Artist";
    return synth::Id3v1Bytes(tag);
}

TEST(Mp3Pitfalls, ByteOrderMarkThatReadsAsAHeaderIsPassedOver) {
    TempDir dir;
    const std::string id3 = pitfalls::Id3v2(pitfalls::Utf16TitleFrame("Title"));
    // FF FE and the next byte: an MPEG-1 Layer I header, which the real frame does not follow.
    const size_t bom = id3.find("\xFF\xFE");
    ASSERT_NE(bom, std::string::npos);
    TMPEGAudio decoder;
    decoder.MPEGFileInfo.FileLength = 100000;
    decoder.MPEGFileInfo.FileDateTime = 1;
    const auto at = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(id3[i])); };
    ASSERT_TRUE(decoder.DecodeFrameHeader(at(bom) << 24 | at(bom + 1) << 16 | at(bom + 2) << 8 |
                                          at(bom + 3)));
    EXPECT_EQ(decoder.MPEGFileInfo.Layer, 1);

    const Loaded out = LoadBytes(dir, "bom.mp3", id3 + Frames(Mpeg1(), 3) + TagTitled("Behind"));
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.questions, 0);
    EXPECT_EQ(out.reader.HeaderPosition, static_cast<int32_t>(id3.size()));
    EXPECT_EQ(out.reader.MPEGFileInfo.Layer, 3);
    EXPECT_EQ(out.reader.GetTitle(), "Behind");
}

TEST(Mp3Pitfalls, StackedAndOversizedId3v2TagsAreCrossedLikeAnyBytes) {
    TempDir dir;
    const std::string stacked = pitfalls::Id3v2(pitfalls::Utf16TitleFrame("One")) +
                                pitfalls::Id3v2(pitfalls::Utf16TitleFrame("Two")) +
                                pitfalls::Id3v2(std::string(3000, '\0'));
    Loaded out = LoadBytes(dir, "stacked.mp3", stacked + Frames(Mpeg1(), 3) + TagTitled("S"));
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.reader.HeaderPosition, static_cast<int32_t>(stacked.size()));

    // A tag that claims 256 MB: the reader does not trust the size, it looks for frames.
    const std::string oversized =
        pitfalls::Id3v2(pitfalls::Utf16TitleFrame("Claims more"), 0x0FFFFFFF);
    out = LoadBytes(dir, "oversized.mp3", oversized + Frames(Mpeg1(), 3) + TagTitled("O"));
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.reader.HeaderPosition, static_cast<int32_t>(oversized.size()));
    EXPECT_EQ(out.reader.GetTitle(), "O");
}

TEST(Mp3Pitfalls, CoverArtFullOfFalseSyncsIsCrossed) {
    TempDir dir;
    const std::string id3 = pitfalls::Id3v2(pitfalls::CoverArtFrame(20000, 3));
    const Loaded out = LoadBytes(dir, "art.mp3", id3 + Frames(Mpeg1(), 3) + TagTitled("Art"));
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.reader.HeaderPosition, static_cast<int32_t>(id3.size()));
    EXPECT_EQ(out.reader.GetTitle(), "Art");
    // The playing time is the three frames' alone, the cover and the tag left out.
    EXPECT_EQ(out.reader.MPEGFileInfo.AudioBytes, 3 * 417);
    EXPECT_EQ(out.reader.MPEGFileInfo.DurationMs, 78);  // 3 x 417 x 8 / 128
    EXPECT_EQ(out.reader.MPEGFileInfo.Duration, 0);
}

TEST(Mp3Pitfalls, AbsurdXingFrameCountKeepsTheLow16BitsOfItsPlayingTime) {
    TempDir dir;
    synth::XingFields xing;
    xing.flags = synth::kXingFrames | synth::kXingBytes;
    xing.frames = 0xFFFFFFFFu;
    const std::string bytes = synth::XingFrame(Mpeg1(), xing) + Frames(Mpeg1(), 2) + TagTitled("X");
    const Loaded out = LoadBytes(dir, "absurd.mp3", bytes);
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.reader.MPEGFileInfo.BitRate, -1);
    const auto seconds = static_cast<int64_t>(std::nearbyint(1152.0 * 0xFFFFFFFFu / 44100));
    EXPECT_EQ(out.reader.MPEGFileInfo.Duration, static_cast<uint16_t>(seconds));
    EXPECT_EQ(out.reader.MPEGFileInfo.FrameLength, 0);  // the file length over the count
    EXPECT_EQ(out.reader.GetTitle(), "X");
}

TEST(Mp3Pitfalls, InfoFrameIsNoXingHeaderAndTheStreamsBitRateCounts) {
    TempDir dir;
    synth::XingFields xing;
    xing.flags = synth::kXingFrames;
    xing.frames = 50;
    std::string info = synth::XingFrame(Mpeg1(11), xing);  // 160 kbit/s
    info.replace(36, 4, "Info");
    const std::string bytes = info + Frames(Mpeg1(5), 4) + TagTitled("Info");  // 64 kbit/s
    const Loaded out = LoadBytes(dir, "info.mp3", bytes);
    ASSERT_EQ(out.result, 0);
    // The header fields are the second frame's; no Xing header, so the length decides.
    EXPECT_EQ(out.reader.MPEGFileInfo.BitRate, 64);
    EXPECT_EQ(out.reader.MPEGFileInfo.Duration, bytes.size() * 8 / 64000);
}

TEST(Mp3Pitfalls, ApeAndLyrics3TailsInFrontOfTheId3v1TagOrWithoutIt) {
    TempDir dir;
    Loaded out =
        LoadBytes(dir, "ape.mp3", Frames(Mpeg1(), 3) + pitfalls::ApeTail() + TagTitled("A"));
    EXPECT_EQ(out.result, 0);
    EXPECT_TRUE(out.reader.HasTag());
    EXPECT_EQ(out.reader.GetTitle(), "A");

    // An APE footer where the ID3v1 tag would be: no tag, the name stands in as title.
    out = LoadBytes(dir, "ape only.mp3", Frames(Mpeg1(), 3) + pitfalls::ApeTail());
    EXPECT_EQ(out.result, 0);
    EXPECT_FALSE(out.reader.HasTag());
    EXPECT_EQ(out.reader.MPEGFileInfo.Title, "ape only.mp3");
    EXPECT_EQ(out.reader.GetArtist(), "Unknown Artist");

    out =
        LoadBytes(dir, "lyrics.mp3", Frames(Mpeg1(), 3) + pitfalls::Lyrics3Tail() + TagTitled("L"));
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.reader.GetTitle(), "L");
    EXPECT_EQ(out.reader.GetArtist(), "Real Artist");
}

// Runs `body` in a child that the system ends after `seconds`: a test that would wait for
// ever fails instead. Answers true when the child finished in time with status 0.
bool FinishesInTime(int seconds, const std::function<bool()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(static_cast<unsigned>(seconds));
        std::_Exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(PipesAsFiles, NamedPipeIsRefusedByNameWithOrWithoutAWriter) {
    TempDir dir;
    const std::string pipe = dir / "hits.m3u";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string refusal = errors::NotARegularFile(pipe).what();
    const auto refused = [&] {
        LineList lines{"old"};
        try {
            LoadList(pipe, lines);
        } catch (const KestruneError& error) {
            return error.what() == refusal && lines == LineList{"old"};
        }
        return false;
    };
    EXPECT_TRUE(FinishesInTime(120, refused)) << "without a writer";
    // A writer that holds the pipe open and never closes it would hold a read for ever.
    EXPECT_TRUE(FinishesInTime(120, [&] {
        const int writer = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
        const bool ok = writer >= 0 && ::write(writer, "/a.mp3\r\n", 8) == 8 && refused();
        if (writer >= 0) ::close(writer);
        return ok;
    })) << "with a writer holding it open";
    EXPECT_EQ(fs::status(pipe).type(), fs::file_type::fifo);

    // kestrune-cli given the pipe as a session names it.
    dir.Write("x", "");
    const auto result = testing::RunCli({"build", pipe}, dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), refusal);
}

TEST(BadFolders, ScheduleThatCannotBeSavedNamesItsFile) {
    TempDir dir;
    struct NoTimer : AutoBuildTimer {
        void Start(int64_t) override {}
        void Stop() override {}
        bool IsOn() const override { return false; }
        int64_t Interval() const override { return 0; }
    } timer;
    Scheduler scheduler(timer);
    scheduler.scheduleFolder = dir / "gone";
    scheduler.AddSessions({"/s/a.cwt"});
    testing::ScriptedPrompts prompts;
    try {
        scheduler.Button7Click(prompts);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const KestruneError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + (dir / "gone/auto_build.cws"));
    }
    EXPECT_TRUE(prompts.messages.empty()) << "no confirmation after a failed save";
}

TEST(BadFolders, VanishedStartFolderStopsTheStationVerbsInsteadOfUsingTheRoot) {
    TempDir dir;
    fs::create_directories(dir / "station");
    fs::create_directories(dir / "music");
    // The tool started in a folder that is removed under it.
    const std::string command = "cd '" + (dir / "station") + "' && rmdir '" + (dir / "station") +
                                "' && '" + KESTRUNE_CLI_PATH + "' ";
    const auto run = [&](const std::string& args) {
        const int status = std::system(
            (command + args + " >'" + (dir / "out") + "' 2>'" + (dir / "err") + "'").c_str());
        fs::create_directories(dir / "station");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("schedule"), 2);
    EXPECT_EQ(dir.Read("err"), "Cannot open file .\n");
    EXPECT_EQ(run("tags '" + (dir / "music") + "' --artist"), 2);
    EXPECT_EQ(dir.Read("err"), "Cannot open file .\n");
}

TEST(BadFolders, UnreadableConfigurationFileGivesTheDefaultsPermission) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    dir.Write("kestrune.ini", "[Config]\r\nplaylistsdir=/elsewhere\r\n");
    fs::permissions(dir / "kestrune.ini", fs::perms::none);
    const ConfigValues values = ReadConfig(dir / "kestrune.ini", "/radio");
    EXPECT_EQ(values.playlistsdir, "/radio/Playlists");
    EXPECT_EQ(values.sessionsdir, "/radio/Sessions");
    // Saving cannot read what it would keep, and says so.
    try {
        WriteConfig(dir / "kestrune.ini", "/p", "/s");
        ADD_FAILURE() << "wrote over a file it could not read";
    } catch (const KestruneError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + (dir / "kestrune.ini"));
    }
}

TEST(BadFolders, UnreadableFolderInATagPassIsPassedOverPermission) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    testing::StationFixture f;
    f.Playlist("ignored.m3u", {{200, "Open Artist", "Seen", 13}});
    fs::create_directories(f.dir / "songs/locked");
    testing::WriteSong(f.dir / "songs/locked/hidden.mp3", {200, "Locked Artist", "Unseen", 13});
    fs::permissions(f.dir / "songs/locked", fs::perms::none);
    fs::create_directories(f.dir / "Playlists");
    const auto result = testing::RunCli({"tags", "songs", "--artist"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(fs::exists(f.dir / "Playlists/_art_Open_Artist_.m3u"));
    EXPECT_FALSE(fs::exists(f.dir / "Playlists/_art_Locked_Artist_.m3u"));
    fs::permissions(f.dir / "songs/locked", fs::perms::owner_all);
}

TEST(CommandLine, MissingScheduleFileBadSeedAndMissingFolder) {
    TempDir dir;
    auto result = testing::RunCli({"schedule"}, dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "Cannot open file " + (dir / "auto_build.cws"));

    dir.Write("any.cwt", "");
    result = testing::RunCli({"build", "any.cwt", "--seed", "twelve"}, dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "'twelve' is not a valid integer value");
    result = testing::RunCli({"build", "any.cwt", "--seed"}, dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("--seed needs a number"), std::string::npos) << result.err;

    // A folder that does not exist holds no MP3 file: nothing is written, the pass completes.
    fs::create_directories(dir / "Playlists");
    result = testing::RunCli({"tags", dir / "no such folder", "--artist"}, dir.Path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Playlists have been created."), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dir / "Playlists"));
}

// Playlists no player writes, or only a careless one: the repair never crashes or hangs on
// them, refuses what it cannot read before changing anything, and names every line it removes.
TEST(BadPlaylists, HugeWideFolderAndClimbingPlaylistsAreRepairedOrRefusedNeverEmptiedSilently) {
    testing::StationFixture f;
    const std::string song = f.Playlist("one.m3u", {{200, "A", "a"}});
    const std::string real = f.Lines(song)[0];
    // A million lines, every thousandth a song, the rest comment lines; and a line of 1 MB.
    std::string huge = "#EXTM3U\r\n";
    for (int i = 0; i < 1000000; ++i) huge += i % 1000 == 0 ? real + "\r\n" : "# note\r\n";
    f.dir.Write("huge.m3u", huge);
    const std::string longLine(1 << 20, 'x');
    // (Two more songs that are there: with more than half of its songs gone, a playlist would
    // be taken for a library that is away and left as it is.)
    f.dir.Write("long.m3u",
                real + "\n" + longLine + "\n../../../../../../../..\n" + real + "\n" + real + "\n");
    f.session.lbMasterPlaylists.Add(f.dir / "huge.m3u");
    f.session.lbMasterPlaylists.Add(f.dir / "long.m3u");
    RepairPlaylists(f.context);
    EXPECT_EQ(f.dir.Read("huge.m3u"), huge) << "comment lines are never songs";
    EXPECT_EQ(f.dir.Read("long.m3u"), real + "\n" + real + "\n" + real + "\n");
    ASSERT_EQ(f.view.Problems().size(), 3u);
    EXPECT_EQ(f.view.Problems()[0],
              "Removed \"" + longLine + "\" from " + (f.dir / "long.m3u") + ": it names no file.");
    EXPECT_EQ(f.view.Problems()[2], "2 lines naming no file removed from 1 playlist");

    // A folder, and UTF-16 text: refused with their names, nothing written.
    fs::create_directories(f.dir / "folder.m3u");
    const std::string wide("\xFF\xFE/\0a\0\r\0\n\0", 10);
    f.dir.Write("wide.m3u", wide);
    for (const std::string name : {"folder.m3u", "wide.m3u"}) {
        testing::StationFixture g;
        g.session.lbMasterPlaylists.Add(f.dir / name);
        try {
            RepairPlaylists(g.context);
            ADD_FAILURE() << name << " was taken for a playlist";
        } catch (const KestruneError& error) {
            EXPECT_NE(std::string(error.what()).find(f.dir / name), std::string::npos)
                << error.what();
        }
    }
    EXPECT_EQ(f.dir.Read("wide.m3u"), wide);
}

}  // namespace
}  // namespace kestrune
