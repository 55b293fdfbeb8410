#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "Mp3Synth.h"
#include "support/TempDir.h"

namespace kestrune::synth {
namespace {

uint32_t BigEndianAt(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = at; i < at + 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
    return value;
}

FrameFields Mpeg1Layer3(int bitRateIndex = 9) {
    FrameFields frame;
    frame.bitRateIndex = bitRateIndex;
    return frame;
}

TEST(Mp3SynthHeader, WellKnownHeadersAndEveryFieldInItsBits) {
    EXPECT_EQ(HeaderWord(Mpeg1Layer3()), 0xFFFB9000u);
    FrameFields joint = Mpeg1Layer3();
    joint.mode = kJointStereo;
    joint.padding = true;
    EXPECT_EQ(HeaderWord(joint), 0xFFFB9240u);
    EXPECT_EQ(HeaderBytes(joint), std::string("\xFF\xFB\x92\x40", 4));

    FrameFields mpeg2 = Mpeg1Layer3(8);
    mpeg2.version = Version::Mpeg2;
    EXPECT_EQ(HeaderWord(mpeg2), 0xFFF38000u);
    mpeg2.version = Version::Mpeg25;
    EXPECT_EQ(HeaderWord(mpeg2), 0xFFE38000u);

    // Each field lands in its own bits, and nothing else moves.
    FrameFields all;
    all.version = Version::Reserved;
    all.layer = 0;
    all.protectionBit = false;
    all.bitRateIndex = 15;
    all.sampleRateIndex = 3;
    all.padding = true;
    all.mode = 2;
    all.modeExtension = 3;
    all.copyright = true;
    all.original = true;
    all.emphasis = 1;
    const uint32_t h = HeaderWord(all);
    EXPECT_EQ(h >> 21, 0x7FFu);
    EXPECT_EQ((h >> 19) & 3, 1u);
    EXPECT_EQ((h >> 17) & 3, 0u);
    EXPECT_EQ((h >> 16) & 1, 0u);
    EXPECT_EQ((h >> 12) & 15, 15u);
    EXPECT_EQ((h >> 10) & 3, 3u);
    EXPECT_EQ((h >> 9) & 1, 1u);
    EXPECT_EQ((h >> 8) & 1, 0u);
    EXPECT_EQ((h >> 6) & 3, 2u);
    EXPECT_EQ((h >> 4) & 3, 3u);
    EXPECT_EQ((h >> 3) & 1, 1u);
    EXPECT_EQ((h >> 2) & 1, 1u);
    EXPECT_EQ(h & 3, 1u);
    for (int layer = 1; layer <= 3; ++layer) {
        FrameFields f;
        f.layer = layer;
        EXPECT_EQ((HeaderWord(f) >> 17) & 3, static_cast<uint32_t>(4 - layer)) << layer;
    }
}

TEST(Mp3SynthHeader, RatesAndFrameLengths) {
    EXPECT_EQ(BitRateKbps(Mpeg1Layer3(9)), 128);
    EXPECT_EQ(BitRateKbps(Mpeg1Layer3(14)), 320);
    EXPECT_EQ(BitRateKbps(Mpeg1Layer3(0)), 0);
    EXPECT_EQ(BitRateKbps(Mpeg1Layer3(15)), 0);
    FrameFields f;
    f.layer = 1;
    f.bitRateIndex = 14;
    EXPECT_EQ(BitRateKbps(f), 448);
    f.layer = 2;
    EXPECT_EQ(BitRateKbps(f), 384);
    f.version = Version::Mpeg2;
    f.layer = 1;
    f.bitRateIndex = 9;
    EXPECT_EQ(BitRateKbps(f), 144);
    f.version = Version::Mpeg25;
    f.layer = 2;
    f.bitRateIndex = 1;
    EXPECT_EQ(BitRateKbps(f), 8);
    f.version = Version::Reserved;
    EXPECT_EQ(BitRateKbps(f), 0);
    f.version = Version::Mpeg1;
    f.layer = 0;
    EXPECT_EQ(BitRateKbps(f), 0);

    FrameFields rates;
    const int expected[3][4] = {
        {44100, 48000, 32000, 0}, {22050, 24000, 16000, 0}, {11025, 12000, 8000, 0}};
    const Version versions[3] = {Version::Mpeg1, Version::Mpeg2, Version::Mpeg25};
    for (int v = 0; v < 3; ++v) {
        for (int i = 0; i < 4; ++i) {
            rates.version = versions[v];
            rates.sampleRateIndex = i;
            EXPECT_EQ(SampleRateHz(rates), expected[v][i]) << v << " " << i;
        }
    }

    FrameFields frame = Mpeg1Layer3();
    EXPECT_EQ(FrameLength(frame), 417);
    frame.padding = true;
    EXPECT_EQ(FrameLength(frame), 418);
    FrameFields layer1;
    layer1.layer = 1;
    layer1.bitRateIndex = 12;    // 384 kbit/s
    layer1.sampleRateIndex = 1;  // 48 kHz
    EXPECT_EQ(FrameLength(layer1), 384);
    FrameFields mpeg2;
    mpeg2.version = Version::Mpeg2;
    mpeg2.bitRateIndex = 8;  // 64 kbit/s at 22050 Hz: 576 samples a frame
    EXPECT_EQ(SamplesPerFrame(mpeg2), 576);
    EXPECT_EQ(FrameLength(mpeg2), 208);
    mpeg2.layer = 2;
    EXPECT_EQ(SamplesPerFrame(mpeg2), 1152);
    EXPECT_EQ(FrameLength(mpeg2), 417);
    EXPECT_EQ(FrameLength(Mpeg1Layer3(0)), 0);
}

TEST(Mp3SynthFrame, SilentFramesAndTheirChecksum) {
    EXPECT_EQ(FrameCrc16("123456789"), 0xAEE7);  // the standard check value of this CRC

    const std::string plain = SilentFrame(Mpeg1Layer3());
    ASSERT_EQ(plain.size(), 417u);
    EXPECT_EQ(BigEndianAt(plain, 0), 0xFFFB9000u);
    EXPECT_EQ(plain.find_first_not_of('\0', 4), std::string::npos);

    FrameFields protectedFrame = Mpeg1Layer3();
    protectedFrame.protectionBit = false;
    protectedFrame.mode = kSingleChannel;
    const std::string checked = SilentFrame(protectedFrame);
    const std::string covered = checked.substr(2, 2) + std::string(17, '\0');
    const uint16_t crc = FrameCrc16(covered);
    EXPECT_EQ(static_cast<uint8_t>(checked[4]), crc >> 8);
    EXPECT_EQ(static_cast<uint8_t>(checked[5]), crc & 0xFF);
    EXPECT_EQ(checked.find_first_not_of('\0', 6), std::string::npos);

    EXPECT_THROW(SilentFrame(Mpeg1Layer3(0)), std::invalid_argument);
    FrameFields reserved;
    reserved.version = Version::Reserved;
    EXPECT_THROW(SilentFrame(reserved), std::invalid_argument);
}

TEST(Mp3SynthFrame, XingHeaderPlacesItsFieldsAfterTheSideInformation) {
    XingFields xing;
    xing.flags = kXingFrames | kXingBytes | kXingToc | kXingQuality;
    xing.frames = 10000;
    xing.bytes = 4000000;
    xing.quality = 57;
    const std::string stereo = XingFrame(Mpeg1Layer3(), xing);
    ASSERT_EQ(stereo.size(), 417u);
    EXPECT_EQ(stereo.substr(36, 4), "Xing");
    EXPECT_EQ(BigEndianAt(stereo, 40), xing.flags);
    EXPECT_EQ(BigEndianAt(stereo, 44), 10000u);
    EXPECT_EQ(BigEndianAt(stereo, 48), 4000000u);
    EXPECT_EQ(static_cast<uint8_t>(stereo[52 + 50]), 128);  // table entry 50 of 100
    EXPECT_EQ(BigEndianAt(stereo, 152), 57u);
    EXPECT_EQ(XingSize(xing), 120);

    FrameFields mono = Mpeg1Layer3();
    mono.mode = kSingleChannel;
    EXPECT_EQ(XingFrame(mono, xing).substr(21, 4), "Xing");
    FrameFields mpeg2 = Mpeg1Layer3(8);
    mpeg2.version = Version::Mpeg2;
    EXPECT_EQ(XingFrame(mpeg2, xing).substr(21, 4), "Xing");
    mpeg2.mode = kSingleChannel;
    EXPECT_EQ(XingFrame(mpeg2, xing).substr(13, 4), "Xing");

    // Absent fields take no room: without a frame count the byte count comes first.
    XingFields bytesOnly;
    bytesOnly.flags = kXingBytes;
    bytesOnly.frames = 99;
    bytesOnly.bytes = 1234;
    const std::string frame = XingFrame(Mpeg1Layer3(), bytesOnly);
    EXPECT_EQ(BigEndianAt(frame, 40), kXingBytes);
    EXPECT_EQ(BigEndianAt(frame, 44), 1234u);
    EXPECT_EQ(BigEndianAt(frame, 48), 0u);
    XingFields moved = bytesOnly;
    moved.offset = 100;
    EXPECT_EQ(XingFrame(Mpeg1Layer3(), moved).substr(100, 4), "Xing");

    FrameFields tiny;  // MPEG-2 Layer III, 8 kbit/s, 24 kHz: 24-byte frames
    tiny.version = Version::Mpeg2;
    tiny.bitRateIndex = 1;
    tiny.sampleRateIndex = 1;
    EXPECT_EQ(FrameLength(tiny), 24);
    EXPECT_THROW(XingFrame(tiny, xing), std::invalid_argument);
}

TEST(Mp3SynthTag, Id3v1AndId3v11Layout) {
    Id3v1Tag tag;
    tag.title = "Morning Song";
    tag.artist = "The Band";
    tag.album = "An Album Whose Name Is Longer Than Thirty";
    tag.year = "1999";
    tag.comment = "Live";
    tag.genre = 62;
    std::string bytes = Id3v1Bytes(tag);
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes.substr(0, 3), "TAG");
    EXPECT_EQ(bytes.substr(3, 30), "Morning Song" + std::string(18, '\0'));
    EXPECT_EQ(bytes.substr(33, 8), "The Band");
    EXPECT_EQ(bytes.substr(63, 30), tag.album.substr(0, 30));
    EXPECT_EQ(bytes.substr(93, 4), "1999");
    EXPECT_EQ(bytes.substr(97, 30), "Live" + std::string(26, '\0'));
    EXPECT_EQ(static_cast<uint8_t>(bytes[127]), 62);

    tag.track = 7;
    tag.comment = std::string(30, 'c');
    bytes = Id3v1Bytes(tag);
    EXPECT_EQ(bytes.substr(97, 28), std::string(28, 'c'));
    EXPECT_EQ(bytes[125], '\0');
    EXPECT_EQ(bytes[126], 7);

    tag.track.reset();
    tag.fill = ' ';
    tag.header = "tag";
    tag.title = "";
    bytes = Id3v1Bytes(tag);
    EXPECT_EQ(bytes.substr(0, 3), "tag");
    EXPECT_EQ(bytes.substr(3, 30), std::string(30, ' '));
    EXPECT_EQ(bytes.substr(97, 30), std::string(30, 'c'));
}

TEST(Mp3SynthBlocks, JunkRandomBytesAndId3v2) {
    const std::string junk = Junk(200000, 7);
    ASSERT_EQ(junk.size(), 200000u);
    for (size_t i = 0; i + 1 < junk.size(); ++i) {
        ASSERT_FALSE(static_cast<uint8_t>(junk[i]) == 0xFF &&
                     (static_cast<uint8_t>(junk[i + 1]) & 0xE0) == 0xE0)
            << "frame sync at " << i;
    }
    EXPECT_NE(static_cast<uint8_t>(junk.back()), 0xFF);
    EXPECT_EQ(junk, Junk(200000, 7));
    EXPECT_NE(junk, Junk(200000, 8));
    EXPECT_NE(junk.find('\xFF'), std::string::npos);  // FF bytes do occur, only never as a sync

    const std::string random = RandomBytes(100000, 3);
    EXPECT_EQ(random, RandomBytes(100000, 3));
    int syncs = 0;  // unlike Junk, anything goes: about one sync in 2048 bytes
    for (size_t i = 0; i + 1 < random.size(); ++i) {
        if (static_cast<uint8_t>(random[i]) == 0xFF &&
            (static_cast<uint8_t>(random[i + 1]) & 0xE0) == 0xE0)
            ++syncs;
    }
    EXPECT_GT(syncs, 10);

    const std::string block = Id3v2Block(10240, 500);
    ASSERT_EQ(block.size(), 10240u);
    EXPECT_EQ(block.substr(0, 3), "ID3");
    size_t body = 0;
    for (size_t i = 6; i < 10; ++i) {
        EXPECT_LT(static_cast<uint8_t>(block[i]), 0x80);
        body = body * 128 + static_cast<uint8_t>(block[i]);
    }
    EXPECT_EQ(body, 10230u);
    EXPECT_EQ(BigEndianAt(block, 500), 0xFFFB9064u);
    EXPECT_EQ(Id3v2Block(20).find('\xFF'), std::string::npos);
    EXPECT_THROW(Id3v2Block(9), std::invalid_argument);
    EXPECT_THROW(Id3v2Block(100, 98), std::invalid_argument);
    EXPECT_THROW(Id3v2Block(100, 5), std::invalid_argument);
}

TEST(Mp3SynthFile, BuildsCutsAndWrites) {
    FileLayout layout;
    layout.prefix = "JUNK";
    layout.frames = 3;
    layout.xing = XingFields{};
    layout.xing->frames = 3;
    layout.tag = Id3v1Tag{};
    layout.tag->title = "T";
    const std::string file = BuildFile(layout);
    ASSERT_EQ(file.size(), 4u + 3 * 417 + 128);
    EXPECT_EQ(file.substr(0, 4), "JUNK");
    EXPECT_EQ(file.substr(4 + 36, 4), "Xing");
    EXPECT_EQ(file.substr(4 + 417, 417), SilentFrame(layout.frame));
    EXPECT_EQ(file.substr(4 + 834, 417), SilentFrame(layout.frame));
    EXPECT_EQ(file.substr(file.size() - 128), Id3v1Bytes(*layout.tag));

    layout.truncateAt = 500;
    EXPECT_EQ(BuildFile(layout), file.substr(0, 500));
    EXPECT_EQ(Truncate(file, 1 << 20), file);
    layout.frames = 0;
    EXPECT_THROW(BuildFile(layout), std::invalid_argument);
    layout.xing.reset();
    layout.truncateAt.reset();
    EXPECT_EQ(BuildFile(layout), "JUNK" + Id3v1Bytes(*layout.tag));

    testing::TempDir dir;
    WriteFile(dir / "a.mp3", file);
    EXPECT_EQ(dir.Read("a.mp3"), file);
    EXPECT_THROW(WriteFile(dir / "missing/a.mp3", file), std::runtime_error);
}

}  // namespace
}  // namespace kestrune::synth
