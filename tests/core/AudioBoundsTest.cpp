#include <gtest/gtest.h>

#include <string>

#include "Mp3Synth.h"
#include "mpgtools/AudioBounds.h"
#include "mpgtools/Id3v2Slim.h"
#include "mpgtools/MPGTools.h"
#include "support/TagLibSetup.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

std::string Id3v2Header(int major, uint8_t flags, uint32_t body) {
    std::string header = "ID3";
    header += static_cast<char>(major);
    header += '\0';
    header += static_cast<char>(flags);
    for (const int shift : {21, 14, 7, 0}) header += static_cast<char>((body >> shift) & 0x7F);
    return header;
}

std::string Tag(int major, uint32_t body, uint8_t flags = 0) {
    const bool footer = major == 4 && (flags & 0x10) != 0;
    return Id3v2Header(major, flags, body) + std::string(body, '\0') +
           (footer ? "3DI" + Id3v2Header(major, flags, body).substr(3) : "");
}

std::string Le32(uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
            static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

// An APEv2 tag with one item, with or without its header.
std::string Ape(bool withHeader) {
    const std::string item = Le32(3) + Le32(0) + "Title" + std::string(1, '\0') + "Ape";
    const auto frame = [&](uint32_t flags) {
        return "APETAGEX" + Le32(2000) + Le32(static_cast<uint32_t>(item.size() + 32)) + Le32(1) +
               Le32(flags) + std::string(8, '\0');
    };
    return (withHeader ? frame(0xA0000000u) : "") + item + frame(withHeader ? 0x80000000u : 0);
}

std::string Lyrics() {
    const std::string fields = "IND00003110";
    return "LYRICSBEGIN" + fields + "0000" + std::to_string(fields.size() + 11) + "LYRICS200";
}

std::string Id3v1() {
    return "TAG" + std::string(125, ' ');
}

ByteFetcher Over(const std::string& bytes) {
    return [&bytes](int64_t offset, size_t count) {
        if (offset < 0 || offset + static_cast<int64_t>(count) > static_cast<int64_t>(bytes.size()))
            return std::string_view();
        return std::string_view(bytes).substr(static_cast<size_t>(offset), count);
    };
}

TEST(AudioBounds, Id3v2HeaderRule) {
    const struct {
        std::string header;
        int64_t size;
    } cases[] = {
        {Id3v2Header(3, 0, 1000), 1010},
        {Id3v2Header(2, 0, 0), 10},
        {Id3v2Header(4, 0x10, 1000), 1020},  // 2.4's footer
        {Id3v2Header(3, 0x10, 1000), 1010},  // no footer before 2.4
        {Id3v2Header(4, 0, 0x0FFFFFFF), 10 + 0x0FFFFFFF},
        {Id3v2Header(1, 0, 10), 0},
        {Id3v2Header(5, 0, 10), 0},
        {"ID3\x03\xFF" + std::string(5, '\0'), 0},  // revision FF
        {"ID3\x03\x00\x00\x00\x00\x80\x00", 0},     // not syncsafe
        {"id3\x03\x00\x00\x00\x00\x00\x10", 0},
        {"ID3\x03\x00\x00\x00", 0},  // cut short
    };
    for (const auto& c : cases) EXPECT_EQ(Id3v2TagSize(c.header), c.size) << c.header.size();
}

TEST(AudioBounds, LeadingTagsInARowAndTagsThatRunPastTheEnd) {
    const std::string frames(2000, '\xAA');
    const struct {
        std::string bytes;
        int64_t end;
    } cases[] = {
        {frames, 0},
        {Tag(3, 500) + frames, 510},
        {Tag(3, 500) + Tag(4, 100, 0x10) + Tag(2, 0) + frames, 510 + 120 + 10},
        {Tag(3, 5000).substr(0, 3000), 0},  // declared past the end
        {Tag(3, 500) + Tag(3, 5000).substr(0, 3000), 510},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingTagsEnd(Over(c.bytes), static_cast<int64_t>(c.bytes.size())), c.end);
    }
}

TEST(AudioBounds, TrailingBlocksArePeeledInAnyOrder) {
    const std::string audio(3000, '\xAA');
    const int64_t a = static_cast<int64_t>(audio.size());
    const struct {
        const char* what;
        std::string bytes;
        int64_t audioEnd;
        bool id3v1;
        int64_t apeStart;
    } cases[] = {
        {"nothing", audio, a, false, -1},
        {"ID3v1", audio + Id3v1(), a, true, -1},
        {"APE with header", audio + Ape(true), a, false, a},
        {"APE without header, ID3v1", audio + Ape(false) + Id3v1(), a, true, a},
        {"Lyrics3v2, ID3v1", audio + Lyrics() + Id3v1(), a, true, -1},
        {"APE, Lyrics3v2, ID3v1", audio + Ape(true) + Lyrics() + Id3v1(), a, true, a},
        {"Lyrics3v2, APE", audio + Lyrics() + Ape(true), a, false,
         a + static_cast<int64_t>(Lyrics().size())},
        {"appended ID3v2.4", audio + Tag(4, 200, 0x10) + Id3v1(), a, true, -1},
        {"lower-case tag", audio + "tag" + std::string(125, ' '), a + 128, false, -1},
        // A "3DI" footer is only a footer with a 2.4 header where its size says.
        {"footer without its tag", audio + "3DI\x04" + std::string(6, '\0'), a + 10, false, -1},
        {"2.3 footer", audio + Tag(3, 0) + "3DI\x03" + std::string(6, '\0'), a + 20, false, -1},
    };
    for (const auto& c : cases) {
        const TrailingTags tags =
            FindTrailingTags(Over(c.bytes), static_cast<int64_t>(c.bytes.size()), 0);
        EXPECT_EQ(tags.audioEnd, c.audioEnd) << c.what;
        EXPECT_EQ(tags.id3v1, c.id3v1) << c.what;
        EXPECT_EQ(tags.apeStart, c.apeStart) << c.what;
    }
    // A block that would reach back into the audio is none.
    const std::string bytes = Ape(true) + Id3v1();
    const TrailingTags tags = FindTrailingTags(Over(bytes), static_cast<int64_t>(bytes.size()), 10);
    EXPECT_EQ(tags.audioEnd, static_cast<int64_t>(bytes.size()) - 128);
    EXPECT_EQ(tags.apeStart, -1);
}

std::string Frame(const std::string& id, const std::string& body) {
    const auto size = static_cast<uint32_t>(body.size());
    std::string header = id;
    for (const int shift : {24, 16, 8, 0}) header += static_cast<char>((size >> shift) & 0xFF);
    return header + std::string(2, '\0') + body;
}

TEST(AudioBounds, PicturesAreLeftOutOfTheTagHandedOn) {
    const std::string title = Frame("TIT2", std::string(1, '\0') + "Song");
    const std::string artist = Frame("TPE1", std::string(1, '\0') + "Band");
    const std::string cover = Frame("APIC", std::string(50000, '\xFF'));
    const auto body = static_cast<uint32_t>(title.size() + cover.size() + artist.size() + 500);
    const std::string tag =
        Id3v2Header(3, 0, body) + title + cover + artist + std::string(500, '\0');
    const std::string file = tag + std::string(1000, '\xAA');
    int fetchedBytes = 0;
    const ByteFetcher counting = [&](int64_t offset, size_t count) {
        fetchedBytes += static_cast<int>(count);
        return Over(file)(offset, count);
    };
    const std::string slim = Id3v2WithoutPictures(counting, static_cast<int64_t>(file.size()));
    EXPECT_EQ(slim, Id3v2Header(3, 0, static_cast<uint32_t>(title.size() + artist.size())) + title +
                        artist);
    EXPECT_LT(fetchedBytes, 200);  // the picture's bytes were never asked for

    // Unsynchronised as a whole, the frames cannot be walked: the tag goes whole.
    const std::string unsync =
        Id3v2Header(3, 0x80, body) + title + cover + artist + std::string(500, '\0');
    EXPECT_EQ(Id3v2WithoutPictures(Over(unsync), static_cast<int64_t>(unsync.size())), unsync);
    // A frame that claims more than the tag holds: whole as well.
    const std::string broken = Id3v2Header(3, 0, 30) + Frame("TIT2", std::string(100, 'x'));
    EXPECT_EQ(Id3v2WithoutPictures(Over(broken), static_cast<int64_t>(broken.size())),
              broken.substr(0, 40));
    // Version 2.2's three-letter frames; no tag, no bytes.
    const std::string v22 = Id3v2Header(2, 0, 16) + "TT2" + std::string("\0\0\x05\0Song", 8) +
                            "PIC" + std::string("\0\0\x02xx", 5);
    EXPECT_EQ(Id3v2WithoutPictures(Over(v22), static_cast<int64_t>(v22.size())),
              Id3v2Header(2, 0, 11) + v22.substr(10, 11));
    EXPECT_EQ(Id3v2WithoutPictures(Over(file), 100), "");
    const std::string none = "no tag here at all";
    EXPECT_EQ(Id3v2WithoutPictures(Over(none), static_cast<int64_t>(none.size())), "");
}

// The reader on the same blocks: the audio between them, rounded to the nearest second.
TEST(AudioBounds, ReaderTimesTheAudioBetweenTheTags) {
    testing::TempDir dir;
    synth::FrameFields frame;  // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz: 417-byte frames
    const std::string oneFrame = synth::SilentFrame(frame);
    std::string frames;
    for (int i = 0; i < 600; ++i) frames += oneFrame;  // 250,200 bytes: 15.6375 s
    const struct {
        const char* what;
        std::string head;
        std::string tail;
    } cases[] = {
        {"bare", "", ""},
        {"300 KB cover", Tag(3, 300000), Id3v1()},
        {"stacked tags, APE, Lyrics3v2", Tag(3, 1000) + Tag(4, 500, 0x10),
         Ape(true) + Lyrics() + Id3v1()},
    };
    for (const auto& c : cases) {
        synth::WriteFile(dir / "song.mp3", c.head + frames + c.tail);
        TMPEGAudio reader{testing::TagLibSetup()};
        reader.SetFileName(dir / "song.mp3");
        const TMPEGFileInfo& info = reader.MPEGFileInfo;
        EXPECT_EQ(reader.HeaderPosition, static_cast<int32_t>(c.head.size())) << c.what;
        EXPECT_EQ(info.AudioStart, static_cast<int64_t>(c.head.size())) << c.what;
        EXPECT_EQ(info.AudioBytes, 250200) << c.what;
        EXPECT_EQ(info.DurationMs, 15638) << c.what;  // 250,200 x 8 / 128 = 15,637.5, to even
        EXPECT_EQ(info.Duration, 16) << c.what;       // rounded, not cut
        EXPECT_EQ(info.Format, "MP3");
    }
}

TEST(AudioBounds, ADeclaredSizeThatLeadsToNoFrameFallsBackToTheSearch) {
    testing::TempDir dir;
    synth::FrameFields frame;
    const std::string frames =
        synth::SilentFrame(frame) + synth::SilentFrame(frame) + synth::SilentFrame(frame);
    // The tag says 100 bytes, but 400 follow its header before the first frame: the search from
    // the declared end crosses the rest of the tag.
    std::string bytes = Id3v2Header(3, 0, 100) + std::string(400, '\0') + frames;
    synth::WriteFile(dir / "a.mp3", bytes);
    TMPEGAudio reader{testing::TagLibSetup()};
    reader.SetFileName(dir / "a.mp3");
    EXPECT_EQ(reader.HeaderPosition, 410);
    EXPECT_EQ(reader.MPEGFileInfo.AudioBytes, 3 * 417);
    // A size that reaches past the frames finds nothing after it: the search starts again right
    // after the tag's header.
    bytes = Id3v2Header(3, 0, 2000) + std::string(400, '\0') + frames + std::string(1000, '\0');
    synth::WriteFile(dir / "c.mp3", bytes);
    reader.SetFileName(dir / "c.mp3");
    EXPECT_EQ(reader.HeaderPosition, 410);
    EXPECT_EQ(reader.MPEGFileInfo.AudioBytes, 3 * 417 + 1000);
    // A tag that claims to run past the end of the file is searched through from its header on.
    bytes = Id3v2Header(3, 0, 900000) + std::string(50, '\0') + frames;
    synth::WriteFile(dir / "b.mp3", bytes);
    reader.SetFileName(dir / "b.mp3");
    EXPECT_EQ(reader.HeaderPosition, 60);
}

}  // namespace
}  // namespace kestrune
