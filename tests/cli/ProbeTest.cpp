#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Mp3Synth.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::RunCli;
using testing::TempDir;

using Block = std::vector<std::pair<std::string, std::string>>;

// Splits probe output into one block of Key=Value pairs per file. Every block must end with
// a blank line.
std::vector<Block> ParseBlocks(const std::string& out) {
    std::vector<Block> blocks;
    Block current;
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = out.find('\n', start);
        EXPECT_NE(end, std::string::npos) << "unterminated line";
        if (end == std::string::npos) break;
        const std::string line = out.substr(start, end - start);
        start = end + 1;
        if (line.empty()) {
            blocks.push_back(std::move(current));
            current.clear();
            continue;
        }
        const size_t equals = line.find('=');
        EXPECT_NE(equals, std::string::npos) << line;
        current.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    EXPECT_TRUE(current.empty()) << "last block without its blank line";
    return blocks;
}

std::string Value(const Block& block, const std::string& key) {
    for (const auto& [k, v] : block) {
        if (k == key) return v;
    }
    ADD_FAILURE() << "no " << key;
    return {};
}

const std::vector<std::string> kKeys = {
    "FileName",    "Result",        "Header",     "Title",       "Artist",         "Album",
    "Year",        "Comment",       "Genre",      "Track",       "Duration",       "FileLength",
    "Version",     "Layer",         "SampleRate", "BitRate",     "Mode",           "CopyrightBit",
    "OriginalBit", "ProtectionBit", "Padding",    "FrameLength", "HeaderPosition", "GetArtist",
    "GetTitle",    "GetGenreText",  "TagSource",  "AudioStart",  "AudioBytes",     "DurationMs",
    "Format",      "ISRC",          "Label"};

TEST(ProbeVerb, PrintsEveryFieldInOrderForEachFile) {
    TempDir dir;
    const std::string folder = std::filesystem::canonical(dir.Path()).string();

    synth::FileLayout song;
    song.prefix = synth::Junk(100, 1);
    song.frame.copyright = true;
    song.frame.mode = synth::kJointStereo;
    song.frames = 4;
    song.tag = synth::Id3v1Tag{};
    song.tag->title = "Morning Song";
    song.tag->artist = "The Band";
    song.tag->album = "First";
    song.tag->year = "1999";
    song.tag->comment = "Live";
    song.tag->track = 7;
    song.tag->genre = 62;
    const std::string songBytes = synth::BuildFile(song);
    synth::WriteFile(dir / "song.mp3", songBytes);

    synth::FileLayout vbr;
    vbr.frame.version = synth::Version::Mpeg2;
    vbr.frame.bitRateIndex = 8;
    vbr.frame.mode = synth::kSingleChannel;
    vbr.frames = 3;
    vbr.xing = synth::XingFields{};
    vbr.xing->frames = 5000;
    const std::string vbrBytes = synth::BuildFile(vbr);
    synth::WriteFile(dir / "vbr.mp3", vbrBytes);

    const auto run = RunCli({"probe", "song.mp3", "vbr.mp3", "missing.mp3"}, folder);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "Error openning file: " + folder + "/missing.mp3\n");
    const std::vector<Block> blocks = ParseBlocks(run.out);
    ASSERT_EQ(blocks.size(), 3u);
    for (const Block& block : blocks) {
        ASSERT_EQ(block.size(), kKeys.size());
        for (size_t i = 0; i < kKeys.size(); ++i) EXPECT_EQ(block[i].first, kKeys[i]);
    }

    const Block& a = blocks[0];
    EXPECT_EQ(Value(a, "FileName"), folder + "/song.mp3");
    EXPECT_EQ(Value(a, "Result"), "0");
    EXPECT_EQ(Value(a, "Header"), "TAG");
    EXPECT_EQ(Value(a, "Title"), "Morning Song");
    EXPECT_EQ(Value(a, "Artist"), "The Band");
    EXPECT_EQ(Value(a, "Album"), "First");
    EXPECT_EQ(Value(a, "Year"), "1999");
    EXPECT_EQ(Value(a, "Comment"), "Live");
    EXPECT_EQ(Value(a, "Genre"), "62");
    EXPECT_EQ(Value(a, "Track"), "7");
    EXPECT_EQ(Value(a, "Duration"), "0");
    EXPECT_EQ(Value(a, "FileLength"), std::to_string(songBytes.size()));
    EXPECT_EQ(Value(a, "Version"), "1");
    EXPECT_EQ(Value(a, "Layer"), "3");
    EXPECT_EQ(Value(a, "SampleRate"), "44100");
    EXPECT_EQ(Value(a, "BitRate"), "128");
    EXPECT_EQ(Value(a, "Mode"), "1");
    EXPECT_EQ(Value(a, "CopyrightBit"), "1");
    EXPECT_EQ(Value(a, "OriginalBit"), "0");
    EXPECT_EQ(Value(a, "ProtectionBit"), "1");
    EXPECT_EQ(Value(a, "Padding"), "0");
    EXPECT_EQ(Value(a, "FrameLength"), "417");
    EXPECT_EQ(Value(a, "HeaderPosition"), "100");
    EXPECT_EQ(Value(a, "GetArtist"), "The Band");
    EXPECT_EQ(Value(a, "GetTitle"), "Morning Song");
    EXPECT_EQ(Value(a, "GetGenreText"), "Pop/Funk");

    const Block& b = blocks[1];
    EXPECT_EQ(Value(b, "Result"), "0");
    EXPECT_EQ(Value(b, "Version"), "2");
    EXPECT_EQ(Value(b, "SampleRate"), "22050");
    EXPECT_EQ(Value(b, "BitRate"), "-1");
    EXPECT_EQ(Value(b, "Duration"), "131");  // 5000 frames of 576 samples
    EXPECT_EQ(Value(b, "FrameLength"), std::to_string(vbrBytes.size() / 5000));
    EXPECT_EQ(Value(b, "Header"), "BAD");
    EXPECT_EQ(Value(b, "Title"), "vbr.mp3");
    EXPECT_EQ(Value(b, "GetTitle"), "Unknown Title");
    EXPECT_EQ(Value(b, "GetGenreText"), "Unknown");

    const Block& c = blocks[2];
    EXPECT_EQ(Value(c, "FileName"), folder + "/missing.mp3");
    EXPECT_EQ(Value(c, "Result"), "5");
    EXPECT_EQ(Value(c, "Title"), "[not found: missing.mp3]");
    EXPECT_EQ(Value(c, "Year"), "    ");
    EXPECT_EQ(Value(c, "Genre"), "255");
    EXPECT_EQ(Value(c, "HeaderPosition"), "0");
    EXPECT_EQ(Value(c, "GetArtist"), "Unknown Artist");
}

TEST(ProbeVerb, ControlBytesInTextsAreEscaped) {
    TempDir dir;
    synth::FileLayout layout;
    layout.tag = synth::Id3v1Tag{};
    layout.tag->title =
        "A\x01"
        "B\tC\x7F\xE9";
    layout.tag->year = std::string(4, '\0');
    layout.tag->artist = "Back\\slash";
    synth::WriteFile(dir / "odd.mp3", synth::BuildFile(layout));
    const auto run = RunCli({"probe", "odd.mp3"}, dir.Path());
    EXPECT_EQ(run.exitCode, 0);
    const std::vector<Block> blocks = ParseBlocks(run.out);
    ASSERT_EQ(blocks.size(), 1u);
    // The tag's Latin-1 "\xE9" comes out as UTF-8.
    EXPECT_EQ(Value(blocks[0], "Title"), "A\\x01B\\x09C\x7F\xC3\xA9");
    EXPECT_EQ(Value(blocks[0], "GetTitle"), "A\\x01B\\x09C\x7F\xC3\xA9");
    EXPECT_EQ(Value(blocks[0], "Year"), "\\x00\\x00\\x00\\x00");
    EXPECT_EQ(Value(blocks[0], "Artist"), "Back\\slash");
    EXPECT_EQ(run.err, "");
}

TEST(ProbeVerb, UsageErrorsExitWithTwo) {
    TempDir dir;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"probe"},
          std::vector<std::string>{"no-such-verb", "x"}}) {
        const auto run = RunCli(args, dir.Path());
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("usage: kestrune-cli"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("probe FILE..."), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace kestrune
