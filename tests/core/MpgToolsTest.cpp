#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "Mp3Synth.h"
#include "mpgtools/FrameHeader.h"
#include "mpgtools/MPGTools.h"
#include "platform/Files.h"
#include "support/TagLibSetup.h"
#include "support/Mp3Fixtures.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::TempDir;

synth::FrameFields Frame(synth::Version version, int layer, int bitRateIndex, int sampleRateIndex,
                       int mode = synth::kStereo) {
    synth::FrameFields frame;
    frame.version = version;
    frame.layer = layer;
    frame.bitRateIndex = bitRateIndex;
    frame.sampleRateIndex = sampleRateIndex;
    frame.mode = mode;
    return frame;
}

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz: 417-byte frames.
synth::FrameFields Cd128() {
    return Frame(synth::Version::Mpeg1, 3, 9, 0);
}

synth::FileLayout TwoFrames(const synth::FrameFields& frame = Cd128()) {
    synth::FileLayout layout;
    layout.frame = frame;
    layout.frames = 2;
    return layout;
}

// A reader that does not load on SetFileName and records every error callback.
struct Probe {
    Probe() {
        reader.AutoLoad = false;
        reader.ErrorCallback = [this](const TMPEGFileInfo& info) {
            askedAbout.push_back(info.FileName);
            return answer;
        };
    }
    int32_t Load(const std::string& path) {
        reader.SetFileName(path);
        return reader.Load();
    }
    TMPEGAudio reader{testing::TagLibSetup()};
    std::vector<std::string> askedAbout;
    uint16_t answer = 5;
};

struct Loaded {
    int32_t result;
    TMPEGAudio reader{testing::TagLibSetup()};
    int callbacks;
};

Loaded LoadBytes(const std::string& bytes, const std::string& name = "song.mp3") {
    TempDir dir;
    synth::WriteFile(dir / name, bytes);
    Probe probe;
    const int32_t result = probe.Load(dir / name);
    return {result, probe.reader, static_cast<int>(probe.askedAbout.size())};
}

void ExpectResetValues(const TMPEGFileInfo& info) {
    EXPECT_EQ(info.Header, "BAD");
    EXPECT_EQ(info.Title, "[notag]");
    EXPECT_EQ(info.Artist, "[notag]");
    EXPECT_EQ(info.Album, "[notag]");
    EXPECT_EQ(info.Year, "    ");
    EXPECT_EQ(info.Comment, "[notag]");
    EXPECT_EQ(info.Genre, 255);
    EXPECT_EQ(info.Track, 0);
    EXPECT_EQ(info.Duration, 0);
    EXPECT_EQ(info.Version, 0);
    EXPECT_EQ(info.Layer, 0);
    EXPECT_EQ(info.SampleRate, 0);
    EXPECT_EQ(info.BitRate, 0);
    EXPECT_EQ(info.Mode, 0);
    EXPECT_FALSE(info.CopyrightBit);
    EXPECT_FALSE(info.OriginalBit);
    EXPECT_FALSE(info.ProtectionBit);
    EXPECT_FALSE(info.Padding);
    EXPECT_EQ(info.FrameLength, 0);
    EXPECT_EQ(info.VolumeLabel, "");
}

// A reader ready to decode headers as if a file of `length` bytes were open.
TMPEGAudio Decoder(int32_t length = 1000000) {
    TMPEGAudio reader{testing::TagLibSetup()};
    reader.MPEGFileInfo.FileLength = length;
    reader.MPEGFileInfo.FileDateTime = 1;
    return reader;
}

TEST(MpgFrameHeader, FrameLengthRule) {
    EXPECT_EQ(CalcFrameLength(kMpeg1, 3, 44100, 128, false), 417);
    EXPECT_EQ(CalcFrameLength(kMpeg1, 3, 44100, 128, true), 418);
    EXPECT_EQ(CalcFrameLength(kMpeg1, 1, 48000, 384, false), 384);
    EXPECT_EQ(CalcFrameLength(kMpeg1, 1, 48000, 384, true), 388);  // padding is a 4-byte slot
    EXPECT_EQ(CalcFrameLength(kMpeg1, 2, 32000, 384, false), 1728);
    // 576-sample Layer III frames of MPEG-2 and MPEG-2.5 are half as long.
    EXPECT_EQ(CalcFrameLength(kMpeg2, 3, 22050, 64, false), 208);
    EXPECT_EQ(CalcFrameLength(kMpeg25, 3, 8000, 8, true), 73);
    EXPECT_EQ(CalcFrameLength(kMpeg2, 2, 22050, 64, false), 417);
    EXPECT_EQ(CalcFrameLength(kMpeg2, 1, 22050, 64, false), 136);
    EXPECT_EQ(CalcFrameLength(kMpeg1, 3, 0, 128, false), 0);
    EXPECT_EQ(CalcFrameLength(kMpeg1, 3, -1, 128, false), 0);

    EXPECT_EQ(SamplesPerFrame(kMpeg1, 1), 384);
    EXPECT_EQ(SamplesPerFrame(kMpeg2, 1), 384);
    EXPECT_EQ(SamplesPerFrame(kMpeg1, 3), 1152);
    EXPECT_EQ(SamplesPerFrame(kMpeg2, 3), 576);
    EXPECT_EQ(SamplesPerFrame(kMpeg25, 3), 576);
    EXPECT_EQ(SamplesPerFrame(kMpeg25, 2), 1152);
}

TEST(MpgFrameHeader, EveryHeaderAgreesWithTheStandardTables) {
    const synth::Version versions[4] = {synth::Version::Mpeg25, synth::Version::Reserved,
                                        synth::Version::Mpeg2, synth::Version::Mpeg1};
    const uint8_t codes[4] = {3, 0, 2, 1};
    int accepted = 0;
    for (int v = 0; v < 4; ++v) {
        for (int layer = 0; layer <= 3; ++layer) {
            for (int br = 0; br < 16; ++br) {
                for (int sr = 0; sr < 4; ++sr) {
                    for (int pad = 0; pad < 2; ++pad) {
                        synth::FrameFields layout = Frame(versions[v], layer, br, sr);
                        layout.padding = pad == 1;
                        TMPEGAudio reader = Decoder();
                        const bool valid = reader.DecodeFrameHeader(synth::HeaderWord(layout));
                        const bool expected = versions[v] != synth::Version::Reserved &&
                                              layer != 0 && br != 0 && br != 15 && sr != 3;
                        ASSERT_EQ(valid, expected) << v << " " << layer << " " << br << " " << sr;
                        if (!valid) continue;
                        ++accepted;
                        const TMPEGFileInfo& info = reader.MPEGFileInfo;
                        EXPECT_EQ(info.Version, codes[v]);
                        EXPECT_EQ(info.Layer, layer);
                        EXPECT_EQ(info.BitRate, synth::BitRateKbps(layout));
                        EXPECT_EQ(info.SampleRate, synth::SampleRateHz(layout));
                        EXPECT_EQ(info.FrameLength, synth::FrameLength(layout))
                            << v << " " << layer << " " << br << " " << sr;
                        EXPECT_EQ(info.Padding, pad == 1);
                        EXPECT_EQ(info.Duration, 8000000 / (info.BitRate * 1000));
                    }
                }
            }
        }
    }
    EXPECT_EQ(accepted, 3 * 3 * 14 * 3 * 2);
}

TEST(MpgFrameHeader, FlagsModeAndWhatAnInvalidHeaderClears) {
    TMPEGAudio reader = Decoder(4000000);
    synth::FrameFields layout = Cd128();
    layout.mode = synth::kDualChannel;
    layout.copyright = true;
    layout.original = true;
    layout.protectionBit = false;
    layout.padding = true;
    ASSERT_TRUE(reader.DecodeFrameHeader(synth::HeaderWord(layout)));
    const TMPEGFileInfo& info = reader.MPEGFileInfo;
    EXPECT_EQ(info.Mode, 2);
    EXPECT_TRUE(info.CopyrightBit);
    EXPECT_TRUE(info.OriginalBit);
    EXPECT_FALSE(info.ProtectionBit);
    EXPECT_TRUE(info.Padding);
    EXPECT_EQ(info.FrameLength, 418);
    EXPECT_EQ(info.Duration, 250);
    EXPECT_EQ(reader.GetModeText(), "Dual-Channel");
    EXPECT_EQ(reader.GetLayerText(), "III");

    // Without the sync every header field is cleared; the playing time is left as it was.
    EXPECT_FALSE(reader.DecodeFrameHeader(0x12345678u));
    EXPECT_EQ(info.Version, 0);
    EXPECT_EQ(info.Layer, 0);
    EXPECT_EQ(info.BitRate, 0);
    EXPECT_EQ(info.SampleRate, 0);
    EXPECT_EQ(info.Mode, 0);
    EXPECT_FALSE(info.CopyrightBit || info.OriginalBit || info.ProtectionBit || info.Padding);
    EXPECT_EQ(info.FrameLength, 0);
    EXPECT_EQ(info.Duration, 250);
    EXPECT_EQ(reader.GetLayerText(), "Unknown");
    EXPECT_EQ(reader.GetModeText(), "Stereo");

    // A reserved version stops the decoding at once.
    EXPECT_FALSE(
        reader.DecodeFrameHeader(synth::HeaderWord(Frame(synth::Version::Reserved, 3, 9, 0, 3))));
    EXPECT_EQ(info.Layer, 0);
    EXPECT_EQ(info.Mode, 0);
    // A reserved layer still decodes the rest, with no bit rate and so no playing time.
    EXPECT_FALSE(
        reader.DecodeFrameHeader(synth::HeaderWord(Frame(synth::Version::Mpeg1, 0, 9, 1, 3))));
    EXPECT_EQ(info.Version, 1);
    EXPECT_EQ(info.SampleRate, 48000);
    EXPECT_EQ(info.Mode, 3);
    EXPECT_EQ(info.BitRate, 0);
    EXPECT_EQ(info.Duration, 0);

    const char* modes[4] = {"Stereo", "Joint-Stereo", "Dual-Channel", "Single-Channel"};
    for (uint8_t m = 0; m < 4; ++m) {
        reader.MPEGFileInfo.Mode = m;
        EXPECT_EQ(reader.GetModeText(), modes[m]);
    }
    const char* layers[4] = {"Unknown", "I", "II", "III"};
    for (uint8_t l = 0; l < 4; ++l) {
        reader.MPEGFileInfo.Layer = l;
        EXPECT_EQ(reader.GetLayerText(), layers[l]);
    }
}

TEST(MpgFrameHeader, PlayingTimeIsWorkedOutIn64BitsAndKeepsItsLow16Bits) {
    TMPEGAudio reader = Decoder(2000000000);
    // 32 kbit/s: 500,000 seconds, which is 7 x 65536 + 41248.
    ASSERT_TRUE(reader.DecodeFrameHeader(synth::HeaderWord(Frame(synth::Version::Mpeg1, 3, 1, 0))));
    EXPECT_EQ(reader.MPEGFileInfo.Duration, 41248);
    // 320 kbit/s: 50,000 seconds fit as they are.
    ASSERT_TRUE(
        reader.DecodeFrameHeader(synth::HeaderWord(Frame(synth::Version::Mpeg1, 3, 14, 0))));
    EXPECT_EQ(reader.MPEGFileInfo.Duration, 50000);
    TMPEGAudio small = Decoder(4000000);
    ASSERT_TRUE(small.DecodeFrameHeader(synth::HeaderWord(Cd128())));
    EXPECT_EQ(small.MPEGFileInfo.Duration, 250);
}

TEST(MpgFrameHeader, IsValidNeedsEveryCondition) {
    TMPEGAudio reader = Decoder();
    ASSERT_TRUE(reader.DecodeFrameHeader(synth::HeaderWord(Cd128())));
    TMPEGFileInfo& info = reader.MPEGFileInfo;
    const TMPEGFileInfo good = info;
    info.FileLength = 5;
    EXPECT_FALSE(reader.IsValid());
    info = good;
    info.FileDateTime = 0;
    EXPECT_FALSE(reader.IsValid());
    info = good;
    info.FileDateTime = -1;  // a file from before 1980 is fine
    EXPECT_TRUE(reader.IsValid());
    info = good;
    info.BitRate = -1;  // a Xing file
    EXPECT_TRUE(reader.IsValid());
    info.BitRate = -2;
    EXPECT_FALSE(reader.IsValid());
    info = good;
    info.SampleRate = 0;
    EXPECT_FALSE(reader.IsValid());
    info = good;
    info.Layer = 0;
    EXPECT_FALSE(reader.IsValid());
    info = good;
    info.Version = 0;
    EXPECT_FALSE(reader.IsValid());
    EXPECT_FALSE(TMPEGAudio().IsValid());
}

TEST(MpgReader, NewObjectAndResetValues) {
    TMPEGAudio reader{testing::TagLibSetup()};
    const TMPEGFileInfo& info = reader.MPEGFileInfo;
    EXPECT_EQ(info.Header, "");
    EXPECT_EQ(info.Title, "");
    EXPECT_EQ(info.Year, "");
    EXPECT_EQ(info.Genre, 0);
    EXPECT_EQ(info.FileName, "");
    EXPECT_EQ(info.FileDateTime, 0);
    EXPECT_FALSE(reader.HasTag());
    EXPECT_EQ(reader.SearchLimit, 0);
    EXPECT_EQ(reader.DefaultArtist, "Unknown Artist");
    EXPECT_EQ(reader.DefaultTitle, "Unknown Title");
    EXPECT_TRUE(reader.AutoLoad);
    EXPECT_TRUE(static_cast<bool>(reader.ErrorCallback));
    EXPECT_EQ(reader.HeaderPosition, 0);
    EXPECT_EQ(reader.GetFileDateTime(), 0.0);
    EXPECT_EQ(reader.GetShortFileName(), "Error converting long filename to short.");

    reader.MPEGFileInfo.FileName = "x";
    reader.MPEGFileInfo.FileLength = 7;
    reader.ResetInfo();
    ExpectResetValues(info);
    EXPECT_EQ(info.FileName, "");
    EXPECT_EQ(info.FileLength, 0);
    EXPECT_EQ(info.FileDateTime, 0);
    EXPECT_EQ(info.FileAttr, 0);
}

TEST(MpgReader, FileNameIsKeptWholeAndLoadedOnlyWhenAutoLoad) {
    TempDir dir;
    const std::string path = dir / "song.mp3";
    synth::WriteFile(path, synth::BuildFile(TwoFrames()));

    TMPEGAudio manual{testing::TagLibSetup()};
    manual.AutoLoad = false;
    manual.SetFileName(path);
    EXPECT_EQ(manual.GetFileName(), path);
    EXPECT_EQ(manual.MPEGFileInfo.Version, 0);
    EXPECT_EQ(manual.Load(), 0);
    EXPECT_EQ(manual.MPEGFileInfo.Version, 1);

    TMPEGAudio automatic{testing::TagLibSetup()};
    automatic.SetFileName(path);
    EXPECT_EQ(automatic.MPEGFileInfo.BitRate, 128);
    EXPECT_EQ(automatic.MPEGFileInfo.FileLength, 834);
    EXPECT_EQ(automatic.MPEGFileInfo.Duration, 0);

    const std::string longName(300, 'n');
    manual.SetFileName(longName);
    EXPECT_EQ(manual.GetFileName(), longName);
}

TEST(MpgReader, ConstantBitRatePlayingTimeCountsTheAudioBetweenTheTags) {
    synth::FileLayout layout = TwoFrames();
    layout.tag = synth::Id3v1Tag{};
    layout.tag->title = "Four Million";
    std::string bytes = synth::BuildFile(layout);
    bytes.insert(2 * 417, std::string(4000000 - bytes.size(), '\0'));
    ASSERT_EQ(bytes.size(), 4000000u);
    Loaded loaded = LoadBytes(bytes);
    EXPECT_EQ(loaded.result, 0);
    const TMPEGFileInfo& info = loaded.reader.MPEGFileInfo;
    EXPECT_EQ(info.Duration, 250);
    EXPECT_EQ(info.FileLength, 4000000);
    EXPECT_EQ(info.BitRate, 128);
    EXPECT_EQ(info.SampleRate, 44100);
    EXPECT_EQ(info.Version, 1);
    EXPECT_EQ(info.Layer, 3);
    EXPECT_EQ(info.FrameLength, 417);
    EXPECT_EQ(info.Title, "Four Million");
    EXPECT_EQ(loaded.reader.HeaderPosition, 0);
    EXPECT_EQ(loaded.callbacks, 0);
    // A small file is read in one go, tag included.
    EXPECT_EQ(LoadBytes(synth::BuildFile(layout)).reader.LastReadCount(), 1);
    EXPECT_EQ(loaded.reader.LastReadCount(), 2);
}

TEST(MpgReader, XingPlayingTimeFollowsTheSamplesOfEachKindOfFrame) {
    struct Case {
        synth::FrameFields frame;
        uint32_t frames;
        int duration;
    };
    const Case cases[] = {
        {Cd128(), 10000, 261},                                            // 261.22
        {Frame(synth::Version::Mpeg1, 3, 9, 2), 125, 4},                  // 4.5: ties go to even
        {Frame(synth::Version::Mpeg1, 3, 9, 2), 375, 14},                 // 13.5
        {Frame(synth::Version::Mpeg1, 3, 9, 0), 3000000, 78367 - 65536},  // low 16 bits
        {Frame(synth::Version::Mpeg2, 3, 8, 0), 5000, 131},               // 576 samples: 130.6
        {Frame(synth::Version::Mpeg25, 3, 8, 2), 1000, 72},               // 576 samples at 8 kHz
        {Frame(synth::Version::Mpeg2, 2, 8, 0), 1000, 52},                // Layer II keeps 1152
        {Frame(synth::Version::Mpeg1, 1, 12, 1), 1000, 8},                // Layer I: 384 samples
        {Frame(synth::Version::Mpeg1, 3, 9, 0, synth::kSingleChannel), 100, 3},
        {Frame(synth::Version::Mpeg2, 3, 8, 0, synth::kSingleChannel), 100, 3},  // 2.61
    };
    for (const Case& c : cases) {
        synth::FileLayout layout = TwoFrames(c.frame);
        layout.frames = 3;
        layout.xing = synth::XingFields{};
        layout.xing->frames = c.frames;
        layout.tag = synth::Id3v1Tag{};
        layout.tag->artist = "Xing";
        Loaded loaded = LoadBytes(synth::BuildFile(layout));
        const TMPEGFileInfo& info = loaded.reader.MPEGFileInfo;
        SCOPED_TRACE(::testing::Message() << synth::HeaderWord(c.frame) << " " << c.frames);
        EXPECT_EQ(loaded.result, 0);
        EXPECT_EQ(info.BitRate, -1);
        EXPECT_EQ(info.Duration, c.duration);
        EXPECT_EQ(info.FrameLength, static_cast<uint16_t>(info.FileLength / c.frames));
        EXPECT_EQ(info.Artist, "Xing");
        EXPECT_TRUE(loaded.reader.IsValid());
    }
    // "Xing" anywhere else in the frame is no Xing header.
    synth::FileLayout elsewhere = TwoFrames();
    elsewhere.xing = synth::XingFields{};
    elsewhere.xing->frames = 10000;
    elsewhere.xing->offset = 40;
    Loaded loaded = LoadBytes(synth::BuildFile(elsewhere));
    EXPECT_EQ(loaded.result, 0);
    EXPECT_EQ(loaded.reader.MPEGFileInfo.BitRate, 128);
}

TEST(MpgReader, Mpeg2AndMpeg25LayerIIIPairsAreFoundAtTheirRealFrameLength) {
    const synth::FrameFields frames[] = {Frame(synth::Version::Mpeg2, 3, 8, 0),
                                       Frame(synth::Version::Mpeg25, 3, 2, 2),
                                       Frame(synth::Version::Mpeg2, 3, 14, 1)};
    for (const synth::FrameFields& frame : frames) {
        Loaded loaded = LoadBytes(synth::Junk(333, 1) + synth::BuildFile(TwoFrames(frame)));
        EXPECT_EQ(loaded.result, 0);
        EXPECT_EQ(loaded.reader.HeaderPosition, 333);
        EXPECT_EQ(loaded.reader.MPEGFileInfo.FrameLength, synth::FrameLength(frame));
        EXPECT_EQ(loaded.reader.MPEGFileInfo.SampleRate, synth::SampleRateHz(frame));
    }
}

// Nothing to play: the file is asked about and refused like any other that cannot be timed.
TEST(MpgReader, TinyAndEmptyFilesAreRefusedWithAQuestion) {
    for (const std::string& bytes : {std::string("\xFF\xFB\x90\x00\x00", 5), std::string()}) {
        Loaded loaded = LoadBytes(bytes);
        EXPECT_EQ(loaded.result, 5);
        EXPECT_EQ(loaded.callbacks, 1);
        EXPECT_EQ(loaded.reader.MPEGFileInfo.Problem, "the file is empty");
        loaded.reader.MPEGFileInfo.Problem.clear();
        ExpectResetValues(loaded.reader.MPEGFileInfo);
        EXPECT_EQ(loaded.reader.MPEGFileInfo.FileLength, 0);
        EXPECT_EQ(loaded.reader.MPEGFileInfo.FileDateTime, 0);
        EXPECT_EQ(loaded.reader.HeaderPosition, 0);
    }
    Loaded six = LoadBytes("abcdef");
    EXPECT_EQ(six.result, 5);
    EXPECT_EQ(six.callbacks, 1);
    EXPECT_EQ(six.reader.MPEGFileInfo.FileLength, 6);
    EXPECT_EQ(six.reader.HeaderPosition, 7);
}

class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolder() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

TEST(MpgReader, MissingFileNamesItselfAndTheQuestionNamesTheFullPath) {
    TempDir dir;
    const std::string folder = std::filesystem::canonical(dir.Path()).string();
    CurrentFolder here(folder);
    Probe probe;
    EXPECT_EQ(probe.Load("abc.mp3"), 5);
    const TMPEGFileInfo& info = probe.reader.MPEGFileInfo;
    EXPECT_EQ(info.Title, "[not found: abc.mp3]");
    EXPECT_EQ(info.FileName, folder + "/abc.mp3");
    ASSERT_EQ(probe.askedAbout.size(), 1u);
    EXPECT_EQ(probe.askedAbout[0], folder + "/abc.mp3");
    EXPECT_EQ(info.Header, "BAD");
    EXPECT_EQ(info.Duration, 0);
    EXPECT_EQ(probe.reader.GetTitle(), "Unknown Title");
    EXPECT_EQ(probe.reader.GetArtist(), "Unknown Artist");
    EXPECT_EQ(probe.reader.GetGenreText(), "Unknown");

    probe.Load("sub/../a_rather_long_file_name_of_a_song.mp3");
    EXPECT_EQ(info.Title, "[not found: a_rather_long_file");
    EXPECT_EQ(info.FileName, folder + "/a_rather_long_file_name_of_a_song.mp3");

    // A folder is no file.
    std::filesystem::create_directory(folder + "/Album.mp3");
    EXPECT_EQ(probe.Load("Album.mp3"), 5);
    EXPECT_EQ(info.Title, "[not found: Album.mp3]");
    EXPECT_EQ(probe.askedAbout.back(), folder + "/Album.mp3");
}

TEST(MpgReader, ErrorCallbackDecidesTheResultAndRetryRepeatsTheAttempt) {
    TempDir dir;
    const std::string missing = dir / "missing.mp3";
    Probe probe;
    probe.answer = 2;
    EXPECT_EQ(probe.Load(missing), 2);
    probe.reader.ErrorCallback = nullptr;
    EXPECT_EQ(probe.Load(missing), -1);

    // Retry, then Ignore: two attempts.
    int calls = 0;
    probe.reader.ErrorCallback = [&](const TMPEGFileInfo& info) -> uint16_t {
        EXPECT_EQ(info.FileName, missing);
        return ++calls == 1 ? 4 : 5;
    };
    EXPECT_EQ(probe.Load(missing), 5);
    EXPECT_EQ(calls, 2);

    // The user fixes the cause before pressing Retry: the second attempt succeeds.
    calls = 0;
    probe.reader.ErrorCallback = [&](const TMPEGFileInfo&) -> uint16_t {
        ++calls;
        synth::WriteFile(missing, synth::BuildFile(TwoFrames()));
        return 4;
    };
    EXPECT_EQ(probe.Load(missing), 0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(probe.reader.MPEGFileInfo.BitRate, 128);

    // The record is not reset between attempts: what the first attempt learnt stays.
    const std::string junk = dir / "junk.mp3";
    synth::WriteFile(junk, synth::Junk(1000, 3));
    calls = 0;
    probe.reader.ErrorCallback = [&](const TMPEGFileInfo& info) -> uint16_t {
        if (++calls == 1) {
            EXPECT_EQ(info.FileLength, 1000);
            std::filesystem::remove(junk);
            return 4;
        }
        return 2;
    };
    EXPECT_EQ(probe.Load(junk), 2);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(probe.reader.MPEGFileInfo.Title, "[not found: junk.mp3]");
    EXPECT_EQ(probe.reader.MPEGFileInfo.FileLength, 1000);
}

TEST(MpgReader, DefaultCallbackAsksTheSetupsQuestion) {
    TempDir dir;
    const std::string missing = dir / "gone.mp3";
    TMPEGAudio reader{testing::TagLibSetup()};
    reader.AutoLoad = false;
    reader.SetFileName(missing);
    EXPECT_EQ(reader.Load(), 5);  // nobody to ask: Ignore
    std::vector<std::string> asked;
    ReaderSetup asking = testing::TagLibSetup();
    asking.askOnError = [&](const std::string& name) {
        asked.push_back(name);
        return 2;
    };
    TMPEGAudio askingReader{asking};
    askingReader.AutoLoad = false;
    askingReader.SetFileName(missing);
    EXPECT_EQ(askingReader.Load(), 2);
    EXPECT_EQ(asked, std::vector<std::string>{missing});
    EXPECT_EQ(asking.AskOnError(missing), 2);
    // A copied reader asks the same question.
    TMPEGAudio copy = askingReader;
    EXPECT_EQ(copy.Load(), 2);
    EXPECT_EQ(asked.size(), 3u);
}

TEST(MpgReader, ReusedReaderKeepsNothingOfAnEarlierFile) {
    TempDir dir;
    synth::FileLayout tagged = TwoFrames();
    tagged.tag = synth::Id3v1Tag{};
    tagged.tag->artist = "Someone";
    tagged.tag->album = "Album";
    tagged.tag->genre = 17;
    synth::WriteFile(dir / "tagged.mp3", synth::BuildFile(tagged));
    synth::WriteFile(dir / "plain.mp3",
                     synth::BuildFile(TwoFrames(Frame(synth::Version::Mpeg2, 3, 8, 0))));
    synth::WriteFile(dir / "junk.mp3", synth::Junk(5000, 9));

    TMPEGAudio reader{testing::TagLibSetup()};
    reader.ErrorCallback = nullptr;
    reader.SetFileName(dir / "tagged.mp3");
    EXPECT_EQ(reader.GetArtist(), "Someone");
    EXPECT_EQ(reader.GetGenreText(), "Rock");
    reader.SetFileName(dir / "plain.mp3");
    EXPECT_FALSE(reader.HasTag());
    EXPECT_EQ(reader.MPEGFileInfo.Album, "[notag]");
    EXPECT_EQ(reader.MPEGFileInfo.Title, "plain.mp3");
    EXPECT_EQ(reader.MPEGFileInfo.Version, 2);
    reader.SetFileName(dir / "junk.mp3");
    EXPECT_EQ(reader.MPEGFileInfo.Version, 0);
    EXPECT_EQ(reader.MPEGFileInfo.Title, "[notag]");
    EXPECT_EQ(reader.MPEGFileInfo.FileLength, 5000);
    EXPECT_EQ(reader.HeaderPosition, 5001);
    EXPECT_NE(reader.MPEGFileInfo.FileDateTime, 0);
    EXPECT_EQ(reader.MPEGFileInfo.FileAttr & ~kAttrReadOnly, kAttrArchive);
}

TEST(MpgReader, FileDateTimeAndAttributes) {
    EXPECT_EQ(DosDateTimeToDateTime(0), 0.0);
    EXPECT_EQ(DosDateTimeToDateTime(-1), 0.0);
    const auto pack = [](int y, int mo, int d, int h, int mi, int s) {
        return static_cast<int32_t>(static_cast<uint32_t>((y - 1980) << 25 | mo << 21 | d << 16 |
                                                          h << 11 | mi << 5 | s / 2));
    };
    // 2024-01-01 is day 45292 of the Delphi calendar, 1980-01-01 day 29221.
    EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(pack(2024, 1, 1, 0, 0, 0)), 45292.0);
    EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(pack(1980, 1, 1, 12, 0, 0)), 29221.5);
    EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(pack(2024, 5, 17, 13, 45, 30)),
                     45429.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0);
    EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(pack(2024, 2, 29, 23, 59, 58)),
                     45351.0 + 86398 / 86400.0);
    EXPECT_EQ(DosDateTimeToDateTime(pack(2023, 2, 29, 0, 0, 0)), 0.0);
    EXPECT_EQ(DosDateTimeToDateTime(pack(2024, 13, 1, 0, 0, 0)), 0.0);
    EXPECT_EQ(DosDateTimeToDateTime(pack(2024, 0, 1, 0, 0, 0)), 0.0);
    EXPECT_EQ(DosDateTimeToDateTime(pack(2024, 1, 0, 0, 0, 0)), 0.0);
    EXPECT_EQ(DosDateTimeToDateTime(pack(2024, 1, 1, 24, 0, 0)), 0.0);
    EXPECT_EQ(DosDateTimeToDateTime(pack(2024, 1, 1, 0, 60, 0)), 0.0);
    EXPECT_EQ(DosDateTimeToDateTime(pack(2024, 1, 1, 0, 0, 60)), 0.0);

    TempDir dir;
    const std::string path = dir / "dated.mp3";
    synth::WriteFile(path, synth::BuildFile(TwoFrames()));
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 4;
    local.tm_mday = 17;
    local.tm_hour = 13;
    local.tm_min = 45;
    local.tm_sec = 31;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    utimbuf times{when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);

    TMPEGAudio reader{testing::TagLibSetup()};
    reader.SetFileName(path);
    EXPECT_EQ(reader.MPEGFileInfo.FileDateTime, pack(2024, 5, 17, 13, 45, 30));
    EXPECT_DOUBLE_EQ(reader.GetFileDateTime(), 45429.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0);
    EXPECT_EQ(reader.MPEGFileInfo.FileAttr & kAttrArchive, kAttrArchive);
    EXPECT_EQ(reader.MPEGFileInfo.FileAttr & kAttrDirectory, 0);
    EXPECT_EQ(reader.MPEGFileInfo.VolumeLabel, "");

    // Stamps from before 1980 have no DOS form; the file still reads.
    local.tm_year = 1975 - 1900;
    const std::time_t old = std::mktime(&local);
    utimbuf oldTimes{old, old};
    ASSERT_EQ(::utime(path.c_str(), &oldTimes), 0);
    reader.SetFileName(path);
    EXPECT_EQ(reader.MPEGFileInfo.FileDateTime, -1);
    EXPECT_EQ(reader.GetFileDateTime(), 0.0);
    EXPECT_EQ(reader.MPEGFileInfo.BitRate, 128);

    const std::string hidden = dir / ".hidden.mp3";
    synth::WriteFile(hidden, synth::BuildFile(TwoFrames()));
    reader.SetFileName(hidden);
    EXPECT_EQ(reader.MPEGFileInfo.FileAttr & kAttrHidden, kAttrHidden);
}

TEST(MpgTag, FileWithoutTagUsesItsNameAsTitleButNotForTheAccessors) {
    Loaded loaded = LoadBytes(synth::BuildFile(TwoFrames()), "Intro Jingle.mp3");
    const TMPEGFileInfo& info = loaded.reader.MPEGFileInfo;
    EXPECT_EQ(info.Title, "Intro Jingle.mp3");
    EXPECT_EQ(loaded.reader.GetTitle(), "Unknown Title");
    EXPECT_EQ(loaded.reader.GetArtist(), "Unknown Artist");
    EXPECT_EQ(loaded.reader.GetGenreText(), "Unknown");
    EXPECT_EQ(info.Album, "[notag]");
    EXPECT_EQ(info.Year, "    ");
    EXPECT_EQ(info.Header, "BAD");
    EXPECT_FALSE(loaded.reader.HasTag());

    Loaded longName =
        LoadBytes(synth::BuildFile(TwoFrames()), "A Name Much Longer Than Thirty Characters.mp3");
    EXPECT_EQ(longName.reader.MPEGFileInfo.Title, "A Name Much Longer Than Thirty");

    // Empty defaults let the record's own texts through.
    TMPEGAudio& reader = loaded.reader;
    reader.DefaultTitle.clear();
    reader.DefaultArtist.clear();
    EXPECT_EQ(reader.GetTitle(), "Intro Jingle.mp3");
    EXPECT_EQ(reader.GetArtist(), "[notag]");
    reader.DefaultArtist = std::string(40, 'd');
    EXPECT_EQ(reader.GetArtist(), std::string(30, 'd'));

    synth::FileLayout lower = TwoFrames();
    lower.tag = synth::Id3v1Tag{};
    lower.tag->header = "tag";
    lower.tag->title = "Lower";
    Loaded small = LoadBytes(synth::BuildFile(lower), "lower.mp3");
    EXPECT_FALSE(small.reader.HasTag());
    EXPECT_EQ(small.reader.MPEGFileInfo.Title, "lower.mp3");
    EXPECT_EQ(small.reader.MPEGFileInfo.Header, "BAD");
}

TEST(MpgTag, TagTextsAreTrimmedAndTheYearKeptAsStored) {
    synth::FileLayout layout = TwoFrames();
    layout.tag = synth::Id3v1Tag{};
    synth::Id3v1Tag& tag = *layout.tag;
    tag.fill = ' ';
    tag.title = std::string("Morning Song\0abc", 16);
    tag.artist = "  Leading Blanks";
    tag.album = "Caf\xE9 \x01";
    tag.year = std::string(4, '\0');
    tag.comment = "Live";
    tag.genre = 62;
    Loaded loaded = LoadBytes(synth::BuildFile(layout));
    const TMPEGFileInfo& info = loaded.reader.MPEGFileInfo;
    EXPECT_TRUE(loaded.reader.HasTag());
    EXPECT_EQ(info.Header, "TAG");
    EXPECT_EQ(info.Title, "Morning Song");
    EXPECT_EQ(info.Artist, "  Leading Blanks");
    EXPECT_EQ(info.Album, "Caf\xC3\xA9 \x01");  // Latin-1 made UTF-8
    EXPECT_EQ(info.Year, std::string(4, '\0'));
    EXPECT_EQ(info.Comment, "Live");
    EXPECT_EQ(info.Track, ' ');  // older form: the comment's last byte
    EXPECT_EQ(loaded.reader.GetGenreText(), "Pop/Funk");
    EXPECT_EQ(loaded.reader.GetArtist(), "  Leading Blanks");

    // ID3v1.1: the NUL ends the comment, the track follows it.
    tag.fill = '\0';
    tag.comment = "Live";
    tag.track = 7;
    tag.title = std::string(30, ' ');
    tag.year = "1999";
    loaded = LoadBytes(synth::BuildFile(layout));
    EXPECT_EQ(loaded.reader.MPEGFileInfo.Comment, "Live");
    EXPECT_EQ(loaded.reader.MPEGFileInfo.Track, 7);
    EXPECT_EQ(loaded.reader.MPEGFileInfo.Title, "");
    EXPECT_EQ(loaded.reader.GetTitle(), "");
    EXPECT_EQ(loaded.reader.MPEGFileInfo.Year, "1999");

    // Older form with a full comment: all 30 bytes, and the track is the last one's code.
    tag.track.reset();
    tag.comment = "abcdefghijklmnopqrstuvwxyz0123";
    loaded = LoadBytes(synth::BuildFile(layout));
    EXPECT_EQ(loaded.reader.MPEGFileInfo.Comment, "abcdefghijklmnopqrstuvwxyz0123");
    EXPECT_EQ(loaded.reader.MPEGFileInfo.Track, '3');

    EXPECT_EQ(TrimTagText(std::string("A\0B  ", 5)), "A");
    EXPECT_EQ(TrimTagText(std::string(" x \0\0 \0", 7)), " x");
    EXPECT_EQ(TrimTagText("   "), "");
    EXPECT_EQ(TrimTagText(""), "");
    EXPECT_EQ(TrimTagText(std::string("\0abc", 4)), "");
}

TEST(MpgTag, GenreNamesAndCodesWithoutAName) {
    ASSERT_EQ(GenreNames.size(), 126u);
    EXPECT_EQ(GenreNames[0], "Blues");
    EXPECT_EQ(GenreNames[40], "AlternRock");
    EXPECT_EQ(GenreNames[62], "Pop/Funk");
    EXPECT_EQ(GenreNames[67], "Psychadelic");
    EXPECT_EQ(GenreNames[79], "Hard Rock");
    EXPECT_EQ(GenreNames[80], "Folk");
    EXPECT_EQ(GenreNames[81], "Folk-Rock");
    EXPECT_EQ(GenreNames[85], "Bebob");
    EXPECT_EQ(GenreNames[92], "Progessive Rock");
    EXPECT_EQ(GenreNames[123], "A capella");
    EXPECT_EQ(GenreNames[125], "Dance Hall");
    std::set<std::string_view> distinct(GenreNames.begin(), GenreNames.end());
    EXPECT_EQ(distinct.size(), 126u);
    EXPECT_EQ(distinct.count(""), 0u);

    TMPEGAudio reader{testing::TagLibSetup()};
    reader.MPEGFileInfo.Genre = 62;
    EXPECT_EQ(reader.GetGenreText(), "Pop/Funk");
    reader.MPEGFileInfo.Genre = 125;
    EXPECT_EQ(reader.GetGenreText(), "Dance Hall");
    reader.MPEGFileInfo.Genre = 126;
    EXPECT_EQ(reader.GetGenreText(), "Unknown");
    reader.MPEGFileInfo.Genre = 255;
    EXPECT_EQ(reader.GetGenreText(), "Unknown");
    reader.MPEGFileInfo.Genre = 0;
    EXPECT_EQ(reader.GetGenreText(), "Blues");
}

TEST(MpgTag, FilesOf128BytesOrLessAreNotSearchedForATag) {
    // MPEG-2 Layer III, 8 kbit/s, 24 kHz: 24-byte frames.
    const synth::FrameFields frame = Frame(synth::Version::Mpeg2, 3, 1, 1);
    ASSERT_EQ(synth::FrameLength(frame), 24);
    const std::string pair = synth::BuildFile(TwoFrames(frame));
    Loaded at128 = LoadBytes(pair + std::string(80, 'x'), "small.mp3");
    EXPECT_EQ(at128.result, 0);
    EXPECT_EQ(at128.reader.MPEGFileInfo.SampleRate, 24000);
    EXPECT_EQ(at128.reader.MPEGFileInfo.Title, "[notag]");
    Loaded at129 = LoadBytes(pair + std::string(81, 'x'), "small.mp3");
    EXPECT_EQ(at129.result, 0);
    EXPECT_EQ(at129.reader.MPEGFileInfo.Title, "small.mp3");
}

}  // namespace
}  // namespace kestrune
