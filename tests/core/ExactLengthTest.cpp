// Exact lengths of MPEG files without a Xing header (a VBRI header, or the frames counted), files
// no reader can time, and the fields that must not wrap or leak into what is written.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "Mp3Synth.h"
#include "mpgtools/FrameCount.h"
#include "mpgtools/MPGTools.h"
#include "building/BuildWrite.h"
#include "building/PlaylistBuilder.h"
#include "output/FinalPlaylistFile.h"
#include "output/PlaylistWriter.h"
#include "platform/LineList.h"
#include "rules/PlaylistCheck.h"
#include "support/TagLibSetup.h"
#include "support/Station.h"
#include "support/TempDir.h"
#include "tags/Id3v2TextFrames.h"
#include "tags/TagText.h"

namespace kestrune {
namespace {

using testing::TempDir;

synth::FrameFields Frame(int bitRateIndex, synth::Version version = synth::Version::Mpeg1) {
    synth::FrameFields frame;
    frame.version = version;
    frame.bitRateIndex = bitRateIndex;
    return frame;
}

// Frames of the given bit-rate indices, one after the other.
std::string Frames(const std::vector<int>& indices,
                   synth::Version version = synth::Version::Mpeg1) {
    std::string bytes;
    for (const int index : indices) bytes += synth::SilentFrame(Frame(index, version));
    return bytes;
}

// `count` frames whose bit rate changes from frame to frame.
std::vector<int> Varying(int count) {
    std::vector<int> indices;
    for (int i = 0; i < count; ++i) indices.push_back(3 + (i * 7) % 11);
    return indices;
}

std::string Id3v1(const std::string& title) {
    synth::Id3v1Tag tag;
    tag.title = title;
    tag.artist = "Someone";
    return synth::Id3v1Bytes(tag);
}

// The first frame carrying a VBRI header with `frames`, as Fraunhofer encoders write it.
std::string VbriFrame(uint32_t frames) {
    std::string frame = synth::SilentFrame(Frame(9));
    std::string vbri = "VBRI";
    vbri += std::string("\x00\x01\x05\x00\x00\x4B", 6);  // version 1, delay, quality
    vbri += std::string(4, '\0');                        // bytes
    for (const int shift : {24, 16, 8, 0}) vbri += static_cast<char>((frames >> shift) & 0xFF);
    frame.replace(36, vbri.size(), vbri);
    return frame;
}

int64_t Ms(int64_t samples, int64_t rate) {
    return (samples * 1000 + rate / 2) / rate;
}

struct Loaded {
    int32_t result = 0;
    TMPEGFileInfo info;
    int questions = 0;
};

Loaded Load(const std::string& bytes, const std::string& name = "song.mp3") {
    TempDir dir;
    synth::WriteFile(dir / name, bytes);
    TMPEGAudio reader{testing::TagLibSetup()};
    reader.AutoLoad = false;
    Loaded loaded;
    reader.ErrorCallback = [&loaded](const TMPEGFileInfo&) {
        ++loaded.questions;
        return uint16_t{5};
    };
    reader.SetFileName(dir / name);
    loaded.result = reader.Load();
    loaded.info = reader.MPEGFileInfo;
    return loaded;
}

TEST(ExactLength, EachKindOfFileIsTimedByWhatItHolds) {
    const std::string junk = synth::Junk(3000, 7);
    // 201 frames of 128 kbit/s, a constant bit rate: the bytes give the time, as they always have.
    const int64_t cbrBits = 201LL * 417 * 8;
    // A VBR stream that runs past a read of 64 KB, with a damaged stretch across the boundary.
    std::string longWithJunk;
    for (const int index : Varying(300)) {
        const bool beforeBoundary = longWithJunk.size() < 65536 - 900;
        longWithJunk += synth::SilentFrame(Frame(index));
        if (beforeBoundary && longWithJunk.size() >= 65536 - 900) longWithJunk += junk;
    }
    ASSERT_GT(longWithJunk.size(), 65536u + junk.size());
    const struct {
        const char* name;
        std::string bytes;
        int64_t durationMs;
        int32_t bitRate;
    } rows[] = {
        {"VBR without a header: the frames counted", Frames(Varying(300)) + Id3v1("v"),
         Ms(300 * 1152, 44100), 0},
        {"constant at first, another rate at the end",
         Frames(std::vector<int>(280, 9)) + Frames({5, 5, 5, 5}) + Id3v1("e"),
         Ms(284 * 1152, 44100), 128},
        {"VBR with a damaged stretch", Frames(Varying(100)) + junk + Frames(Varying(100)),
         Ms(200 * 1152, 44100), 0},
        {"VBR across reads, damaged on a boundary", longWithJunk, Ms(300 * 1152, 44100), 0},
        {"a last frame cut short is no audio",
         Frames(Varying(120)) + synth::SilentFrame(Frame(11)).substr(0, 100), Ms(120 * 1152, 44100),
         0},
        {"MPEG-2 Layer III VBR: 576 samples a frame",
         Frames({3, 8, 5, 10, 4, 9, 6, 12, 7, 11}, synth::Version::Mpeg2) +
             Frames({3, 8, 5, 10, 4, 9, 6, 12, 7, 11}, synth::Version::Mpeg2),
         Ms(20 * 576, 22050), 0},
        {"VBRI header: its frame count", VbriFrame(10000) + Frames(Varying(50)),
         Ms(10000LL * 1152, 44100), -1},
        {"constant bit rate without a header", Frames(std::vector<int>(201, 9)),
         (cbrBits + 64) / 128, 128},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Loaded loaded = Load(row.bytes);
        EXPECT_EQ(loaded.result, 0);
        EXPECT_EQ(loaded.questions, 0);
        EXPECT_EQ(loaded.info.DurationMs, row.durationMs);
        EXPECT_EQ(loaded.info.Duration, (row.durationMs + 500) / 1000);
        if (row.bitRate != 0) {
            EXPECT_EQ(loaded.info.BitRate, row.bitRate);
        }
    }
}

TEST(ExactLength, VbriHeaderAndFramesBeforeTheEnd) {
    EXPECT_EQ(VbriFrameCount(VbriFrame(1234)), 1234u);
    EXPECT_EQ(VbriFrameCount(synth::SilentFrame(Frame(9))), std::nullopt);
    EXPECT_EQ(VbriFrameCount(VbriFrame(1234).substr(0, 50)), std::nullopt);

    const std::string frames = Frames({9, 5, 11});
    const uint32_t first = synth::HeaderWord(Frame(9));
    // From the middle of a frame on: the chain that ends exactly at the end is found.
    const auto tail = FramesBeforeEnd(frames.substr(200), first);
    ASSERT_TRUE(tail);
    EXPECT_EQ(tail->frames, 2);
    EXPECT_EQ(tail->minBitRate, 64);
    EXPECT_EQ(tail->maxBitRate, 192);
    EXPECT_FALSE(FramesBeforeEnd(frames + "junk", first));
    // Another stream (MPEG-2) is not ours.
    EXPECT_FALSE(FramesBeforeEnd(frames, synth::HeaderWord(Frame(9, synth::Version::Mpeg2))));
}

TEST(ExactLength, FilesNoReaderCanTimeAreRefusedAndSayWhy) {
    // An Ogg page whose first packet is a Speex header: never taken for MPEG frames inside it.
    std::string speex = "OggS" + std::string(24, '\0') + "Speex   1.2" + std::string(40, '\0');
    speex += Frames(Varying(20));
    const struct {
        const char* name;
        std::string bytes;
        const char* file;
        const char* problem;
    } rows[] = {
        {"empty", "", "empty.mp3", "the file is empty"},
        {"five bytes", std::string("\xFF\xFB\x90\x00\x00", 5), "tiny.mp3", "the file is empty"},
        {"Ogg Speex", speex, "voice.ogg", "Ogg Speex: a format the tag library cannot time"},
        {"no frames", synth::Junk(5000, 3), "junk.mp3", "no MPEG audio frames were found"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Loaded loaded = Load(row.bytes, row.file);
        EXPECT_EQ(loaded.result, 5);  // the answer to the question
        EXPECT_EQ(loaded.questions, 1);
        EXPECT_EQ(loaded.info.Problem, row.problem);
        EXPECT_EQ(loaded.info.DurationMs, 0);
        EXPECT_EQ(loaded.info.Duration, 0);
        EXPECT_TRUE(loaded.info.Format.empty());
    }
}

TEST(ExactLength, PlayingSecondsDoNotWrap) {
    TMPEGFileInfo info;
    info.Duration = 37951;  // 169,023 s kept in 16 bits
    info.DurationMs = 169022694;
    EXPECT_EQ(PlayingSeconds(info), 169023);
    info.Duration = 250;
    info.DurationMs = 250499;
    EXPECT_EQ(PlayingSeconds(info), 250);
}

TEST(TagFieldsInOutput, NoPlaceholderIsWrittenForATagTheFileLacks) {
    testing::StationFixture station;
    const std::string tagged = station.dir / "tagged.mp3";
    const std::string bare = station.dir / "Intro Jingle.mp3";
    testing::WriteSong(tagged, {180, "The Artist", "The Title", 255, "The Album"});
    testing::WriteSong(bare, {12, "", "", 255, "", false});
    const PlaylistEntries entries = SongEntries({tagged, bare}, true, testing::TagLibSetup());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], (PlaylistEntry{tagged, 180, "The Artist", "The Title", "The Album"}));
    EXPECT_EQ(entries[1], (PlaylistEntry{bare, 12, "", "Intro Jingle", ""}));

    const LineList paths{tagged, bare};
    WriteFinalPlaylist(station.dir / "out.m3u8", paths, {}, testing::TagLibSetup());
    EXPECT_EQ(station.dir.Read("out.m3u8"), "#EXTM3U\r\n#EXTINF:180,The Artist - The Title\r\n" +
                                                tagged + "\r\n#EXTINF:12,Intro Jingle\r\n" + bare +
                                                "\r\n");
    WriteFinalPlaylist(station.dir / "out.pls", paths, {}, testing::TagLibSetup());
    EXPECT_NE(station.dir.Read("out.pls").find("Title2=Intro Jingle\r\nLength2=12\r\n"),
              std::string::npos);
    WriteFinalPlaylist(station.dir / "out.xspf", paths, {}, testing::TagLibSetup());
    const std::string xspf = station.dir.Read("out.xspf");
    for (const char* placeholder : {"Unknown", "[notag]"})
        EXPECT_EQ(xspf.find(placeholder), std::string::npos) << placeholder;
    EXPECT_EQ(xspf.find("<creator>"), xspf.rfind("<creator>"));  // the tagged song's alone
    EXPECT_NE(xspf.find("<title>Intro Jingle</title>"), std::string::npos);
}

// A song whose file goes (a drive unmounted) between its placing and the writing keeps the
// length and tags the build read: never #EXTINF:0 without a name.
TEST(TagFieldsInOutput, ASongGoneBeforeTheWriteKeepsWhatTheBuildRead) {
    testing::StationFixture station;
    const std::string music = station.ShuffledPlaylist(
        "music.m3u", {{200, "Gone Artist", "Gone Title"}, {220, "Kept", "Song"}}, 0);
    station.session.lbMasterPlaylists.Add(music);
    station.session.lbClockwheelTemplate = {music};
    station.session.ComboBox1 = "7";
    station.session.SetOutputFile(station.dir / "hour.m3u8");
    BuildPlaylist(station.context);
    ASSERT_EQ(station.session.lbFinalPlaylist.size(), 2u);
    const PlaylistEntries read = SongEntries(station.session.lbFinalPlaylist, true, testing::TagLibSetup());
    for (const std::string& path : station.session.lbFinalPlaylist) std::remove(path.c_str());
    WriteFinalBuild(station.session, testing::TagLibSetup());
    const std::string written = station.dir.Read("hour.m3u8");
    for (const PlaylistEntry& song : read)
        EXPECT_NE(written.find("#EXTINF:" + std::to_string(song.seconds) + "," + song.artist +
                               " - " + song.title + "\r\n" + song.path),
                  std::string::npos)
            << written;
}

TEST(TagFieldsInOutput, ABrokenYearFrameGivesNoYear) {
    const auto tag = [](const std::string& body) {
        std::string frame = "TYER" + std::string("\0\0\0", 3) + static_cast<char>(body.size()) +
                            std::string(2, '\0') + body;
        std::string bytes = "ID3\x03" + std::string(2, '\0') + std::string("\0\0\0", 3) +
                            static_cast<char>(frame.size()) + frame;
        return bytes;
    };
    const struct {
        const char* name;
        std::string body;
        std::optional<std::string> year;
    } rows[] = {
        {"UTF-16 under a Latin-1 byte",
         std::string("\0\xFF\xFE"
                     "1\0"
                     "9\0"
                     "9\0"
                     "9\0",
                     11),
         "1999"},
        {"a byte-order mark and nothing", std::string("\0\xFE\xFF", 3), std::nullopt},
        {"Latin-1 letters without a digit", std::string("\0\xDE\xFE", 3), std::nullopt},
        {"a plain year",
         std::string("\0"
                     "2004",
                     5),
         "2004"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TagFields fields;
        std::string version;
        ASSERT_TRUE(ReadId3v2TextFrames(tag(row.body), fields, version));
        const std::optional<std::string> year = fields.year ? TagYear(*fields.year) : std::nullopt;
        EXPECT_EQ(year, row.year);
    }
    EXPECT_EQ(TagYear("\xC3\xBE\xC3\xBF"), std::nullopt);  // "þÿ"
    EXPECT_EQ(TagYear("circa 1960"), "circa 1960");
}

TEST(TagFieldsInOutput, ACheckCountsNoMarkedHeaderAsASong) {
    const LineList lines{"\xEF\xBB\xBF#EXTM3U", "#EXTINF:10,A - B", "/music/a.mp3", "b.mp3"};
    EXPECT_EQ(PlaylistSongs(lines, "/lists", PathStyle::Posix),
              (std::vector<std::string>{"/music/a.mp3", "/lists/b.mp3"}));
}

}  // namespace
}  // namespace kestrune
