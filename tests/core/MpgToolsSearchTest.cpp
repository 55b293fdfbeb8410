#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Mp3Synth.h"
#include "mpgtools/MPGTools.h"
#include "support/TagLibSetup.h"
#include "support/Mp3Fixtures.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::PumpCounter;
using testing::ReferenceSearch;
using testing::SearchOutcome;
using testing::TempDir;

synth::FrameFields Frame(int bitRateIndex = 9, bool protectionBit = true) {
    synth::FrameFields frame;
    frame.bitRateIndex = bitRateIndex;
    frame.protectionBit = protectionBit;
    return frame;
}

std::string Frames(int count, const synth::FrameFields& frame = Frame()) {
    synth::FileLayout layout;
    layout.frame = frame;
    layout.frames = count;
    return synth::BuildFile(layout);
}

// A valid MPEG-1 Layer III header that no frame follows.
const std::string kFalseHeader("\xFF\xFB\x90\x00", 4);

std::string Tag(const std::string& title) {
    synth::Id3v1Tag tag;
    tag.title = title;
    return synth::Id3v1Bytes(tag);
}

struct Searched {
    int32_t result = 0;  // as the search left it: no error callback
    int32_t headerPosition = 0;
    long long pumps = 0;
    int reads = 0;
    TMPEGFileInfo info;
};

// Writes the bytes to a file and loads it, counting the calls into the user interface.
class SearchBench {
public:
    Searched Load(const std::string& bytes, int32_t searchLimit = 0) {
        synth::WriteFile(path_, bytes);
        PumpCounter pumps;
        TMPEGAudio reader{pumps.Setup(testing::TagLibSetup())};
        reader.AutoLoad = false;
        reader.ErrorCallback = nullptr;
        reader.SearchLimit = searchLimit;
        reader.SetFileName(path_);
        Searched out;
        out.result = reader.Load();
        out.headerPosition = reader.HeaderPosition;
        out.pumps = pumps.count;
        out.reads = reader.LastReadCount();
        out.info = reader.MPEGFileInfo;
        return out;
    }

    // Loads the bytes and checks the outcome against the byte-per-read model.
    Searched Compare(const std::string& bytes, int32_t searchLimit = 0) {
        const Searched got = Load(bytes, searchLimit);
        if (bytes.size() <= 5) {  // nothing to play: refused
            EXPECT_EQ(got.result, -1);
            return got;
        }
        const SearchOutcome want = ReferenceSearch(bytes, searchLimit);
        EXPECT_EQ(got.result, want.result) << "size " << bytes.size() << " limit " << searchLimit;
        EXPECT_EQ(got.headerPosition, want.headerPosition)
            << "size " << bytes.size() << " limit " << searchLimit;
        EXPECT_EQ(got.pumps, want.pumps) << "size " << bytes.size() << " limit " << searchLimit;
        return got;
    }

private:
    TempDir dir_;
    std::string path_ = dir_ / "searched.mp3";
};

TEST(MpgSearch, FalseSecondHeaderResumesOneByteAfterIt) {
    SearchBench bench;
    // FF FB 90 FF at 1000 is a valid header whose successor would be at 1417, inside the real
    // first frame's zero payload. The real frame starts at 1003, overlapping the false header:
    // only a search that goes on at 1001 can find it.
    const std::string bytes = synth::Junk(1000, 4) + "\xFF\xFB\x90" + Frames(3) + Tag("Found");
    const Searched got = bench.Compare(bytes);
    EXPECT_EQ(got.result, 0);
    EXPECT_EQ(got.headerPosition, 1003);
    EXPECT_EQ(got.info.Title, "Found");
    EXPECT_EQ(got.info.BitRate, 128);

    // With nothing after it, the false header ends as no file at all.
    const Searched none = bench.Compare(synth::Junk(700, 5) + kFalseHeader + synth::Junk(1000, 6));
    EXPECT_EQ(none.result, -1);
    EXPECT_EQ(none.headerPosition, 1705);
    EXPECT_EQ(none.info.Version, 0);
    EXPECT_EQ(none.info.FileLength, 1704);
    EXPECT_EQ(none.info.Title, "[notag]");
}

TEST(MpgSearch, FrameRunningPastTheEndIsSkipped) {
    SearchBench bench;
    // A 320 kbit/s header (1044-byte frame) that the file cannot hold, then a 32 kbit/s pair.
    const std::string big = synth::HeaderBytes(Frame(14));
    const std::string small = Frames(2, Frame(1));
    const Searched skipped = bench.Compare(synth::Junk(500, 1) + big + "abcdef" + small);
    EXPECT_EQ(skipped.result, 0);
    EXPECT_EQ(skipped.headerPosition, 510);
    EXPECT_EQ(skipped.info.BitRate, 32);

    // A frame ending exactly at the end of the file: with the protection bit set the search
    // allows two bytes more and reads the next header past the end, which fails the attempt
    // with the first header's fields; without it the frame is skipped.
    const std::string ending = synth::Junk(100, 2) + Frames(1);
    const Searched unprotected = bench.Compare(ending);
    EXPECT_EQ(unprotected.result, -1);
    EXPECT_EQ(unprotected.headerPosition, 100);
    EXPECT_EQ(unprotected.info.Version, 1);
    EXPECT_EQ(unprotected.info.BitRate, 128);
    EXPECT_EQ(unprotected.info.FrameLength, 417);

    const std::string checked = synth::Junk(100, 2) + Frames(1, Frame(9, false));
    const Searched withCrc = bench.Compare(checked);
    EXPECT_EQ(withCrc.result, -1);
    EXPECT_EQ(withCrc.headerPosition, 518);
    EXPECT_EQ(withCrc.info.Version, 0);

    const Searched oneShort = bench.Compare(ending.substr(0, ending.size() - 1));
    EXPECT_EQ(oneShort.headerPosition, 100);
    EXPECT_EQ(oneShort.info.BitRate, 128);
    const Searched twoShort = bench.Compare(ending.substr(0, ending.size() - 2));
    EXPECT_EQ(twoShort.headerPosition, 516);
    EXPECT_EQ(twoShort.info.BitRate, 0);
}

TEST(MpgSearch, ReservedAndFreeFormatHeadersAreNeverAccepted) {
    SearchBench bench;
    const uint32_t good = synth::HeaderWord(Frame());
    const uint32_t variants[] = {
        (good & ~(3u << 19)) | (1u << 19),  // version bits 01
        good & ~(3u << 17),                 // layer bits 00
        good | (3u << 10),                  // sample-rate index 3
        good & ~(15u << 12),                // bit-rate index 0
        good | (15u << 12),                 // bit-rate index 15
    };
    for (const uint32_t header : variants) {
        std::string word(4, '\0');
        for (int i = 0; i < 4; ++i)
            word[static_cast<size_t>(i)] = static_cast<char>(header >> (24 - 8 * i));
        std::string bytes;
        for (int i = 0; i < 4; ++i) bytes += word + std::string(413, '\0');
        bytes += Tag("Never");
        const Searched got = bench.Compare(bytes);
        EXPECT_EQ(got.result, -1) << std::hex << header;
        EXPECT_EQ(got.headerPosition, static_cast<int32_t>(bytes.size()) + 1);
        EXPECT_EQ(got.info.Title, "[notag]");
        EXPECT_EQ(got.info.FileLength, static_cast<int32_t>(bytes.size()));
    }
}

TEST(MpgSearch, PumpMessagesAtEveryMultipleOf300Crossed) {
    SearchBench bench;
    for (const size_t junk :
         {0u, 1u, 295u, 296u, 299u, 300u, 596u, 1000u, 4093u, 65536u, 100000u}) {
        const Searched got = bench.Compare(synth::Junk(junk, 11) + Frames(2) + Tag("x"));
        EXPECT_EQ(got.result, 0);
        EXPECT_EQ(got.headerPosition, static_cast<int32_t>(junk));
        // Bytes are crossed one at a time from position 4 to the header's last byte.
        EXPECT_EQ(got.pumps, static_cast<long long>((junk + 4) / 300)) << junk;
    }
    const Searched plain = bench.Compare(synth::Junk(3000, 12));
    EXPECT_EQ(plain.pumps, 10);
    EXPECT_EQ(plain.result, -1);

    // After a false header the search starts again with a four-byte read, which calls nothing.
    std::string bytes = synth::Junk(296, 13) + kFalseHeader + synth::Junk(3000, 14) + Frames(2);
    const Searched resumed = bench.Compare(bytes);
    EXPECT_EQ(resumed.headerPosition, 3300);
}

TEST(MpgSearch, SearchLimitStopsTheSearch) {
    SearchBench bench;
    const std::string bytes = synth::Junk(5000, 21) + Frames(2) + Tag("Limit");
    EXPECT_EQ(bench.Compare(bytes, 1000).result, -1);
    EXPECT_EQ(bench.Compare(bytes, 5002).result, -1);
    const Searched reached = bench.Compare(bytes, 5003);
    EXPECT_EQ(reached.result, 0);
    EXPECT_EQ(reached.headerPosition, 5000);
    EXPECT_EQ(bench.Compare(bytes, 4).result, -1);
    // A negative limit stops every byte-wise step: only headers on a four-byte grid are seen.
    EXPECT_EQ(bench.Compare(bytes, -1).result, 0);
    EXPECT_EQ(bench.Compare(synth::Junk(5001, 21) + Frames(2) + Tag("Limit"), -1).result, -1);
    for (const int32_t limit : {1, 299, 300, 301, 4096, 4097, 65535, 65536, 70000}) {
        bench.Compare(synth::Junk(70000, 22) + Frames(2), limit);
    }
}

TEST(MpgSearch, BufferedSearchAgreesWithTheByteByByteModelAtEveryBoundary) {
    SearchBench bench;
    std::mt19937 random(77);
    // Around the first read (4 KiB), the whole-file read (16 KiB) and the scan pieces (64 KiB).
    const size_t centres[] = {4096, 16384, 65536, 65536 + 4093, 131072};
    for (const size_t centre : centres) {
        for (size_t junk = centre - 8; junk <= centre + 8; ++junk) {
            std::string bytes = synth::Junk(junk, static_cast<uint32_t>(junk));
            // False syncs now and then, some of them overlapping the real header.
            if (junk % 3 == 0) bytes.replace(junk / 2, 4, kFalseHeader);
            if (junk % 4 == 0 && junk >= 3) bytes.replace(junk - 3, 3, "\xFF\xFB\x90");
            bytes += Frames(2) + Tag("Edge");
            const Searched got = bench.Compare(bytes);
            EXPECT_EQ(got.result, 0) << junk;
            EXPECT_EQ(got.headerPosition, static_cast<int32_t>(junk)) << junk;
            bench.Compare(bytes, static_cast<int32_t>(random() % bytes.size()));
        }
    }
    // Headers all over: dense false syncs in front of the real pair.
    std::string dense;
    for (int i = 0; i < 20000; ++i) dense += (i % 7 == 0) ? "\xFF\xFB" : "\xFF";
    bench.Compare(dense + Frames(3));
    bench.Compare(std::string(200000, '\xFF') + Frames(3));
}

TEST(MpgSearch, RandomFilesAgreeWithTheModelAndNeverCrash) {
    SearchBench bench;
    std::mt19937 random(2024);
    const synth::FrameFields kinds[] = {Frame(), Frame(1), Frame(14, false)};
    int found = 0;
    for (int round = 0; round < 3000; ++round) {
        const size_t size = random() % 3000;
        std::string bytes = synth::RandomBytes(size, static_cast<uint32_t>(round));
        // Plant headers and whole pairs, so that the accepting paths are taken as well.
        const int plants = static_cast<int>(random() % 4);
        for (int p = 0; p < plants && size > 8; ++p) {
            const synth::FrameFields& kind = kinds[random() % 3];
            const size_t at = random() % (size - 4);
            bytes.replace(at, 4, synth::HeaderBytes(kind));
            const size_t next = at + static_cast<size_t>(synth::FrameLength(kind));
            if (random() % 2 == 0 && next + 4 <= size)
                bytes.replace(next, 4, synth::HeaderBytes(kind));
        }
        const int32_t limit = random() % 5 == 0 ? static_cast<int32_t>(random() % 3000) - 100 : 0;
        const Searched got = bench.Compare(bytes, limit);
        if (got.result == 0 && size > 5) {
            ++found;
            EXPECT_NE(got.info.Version, 0);
            EXPECT_GT(got.info.FrameLength, 0);
        }
        if (::testing::Test::HasFailure()) break;
    }
    EXPECT_GT(found, 100);  // the planted pairs were found, not only rejected
}

TEST(MpgSearch, WellFormedFilesCostFewReads) {
    TempDir dir;
    SearchBench bench;
    EXPECT_EQ(bench.Load(Frames(5) + Tag("Small")).reads, 1);
    EXPECT_EQ(bench.Load(synth::Id3v2Block(10240) + Frames(5) + Tag("Small")).reads, 1);

    // Large files: the start, then the tag.
    const std::string path = dir / "large.mp3";
    testing::WriteSparseFile(path, 5000000, Frames(3), Tag("Large"));
    TMPEGAudio reader{testing::TagLibSetup()};
    reader.SetFileName(path);
    EXPECT_EQ(reader.LastReadCount(), 2);
    EXPECT_EQ(reader.MPEGFileInfo.Title, "Large");
    EXPECT_EQ(reader.MPEGFileInfo.Duration, 312);
    testing::WriteSparseFile(path, 5000000, synth::Id3v2Block(10240, 300) + Frames(3),
                             Tag("Large"));
    reader.SetFileName(path);
    EXPECT_EQ(reader.LastReadCount(), 3);
    EXPECT_EQ(reader.HeaderPosition, 10240);
    EXPECT_EQ(reader.MPEGFileInfo.Title, "Large");
}

}  // namespace
}  // namespace kestrune
