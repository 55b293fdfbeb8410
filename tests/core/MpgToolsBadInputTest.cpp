#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <cerrno>
#include <filesystem>
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
using testing::TempDir;

synth::FrameFields Cd128() {
    return synth::FrameFields{};
}

std::string Frames(int count, const synth::FrameFields& frame = Cd128()) {
    synth::FileLayout layout;
    layout.frame = frame;
    layout.frames = count;
    return synth::BuildFile(layout);
}

std::string Tag(const std::string& title) {
    synth::Id3v1Tag tag;
    tag.title = title;
    return synth::Id3v1Bytes(tag);
}

struct Outcome {
    explicit Outcome(ReaderSetup setup) : reader(std::move(setup)) {}
    int32_t result = 0;
    int callbacks = 0;
    TMPEGAudio reader;
};

Outcome LoadPath(const std::string& path, int32_t searchLimit = 0,
                 ReaderSetup setup = testing::TagLibSetup()) {
    Outcome out(std::move(setup));
    out.reader.AutoLoad = false;
    out.reader.SearchLimit = searchLimit;
    out.reader.ErrorCallback = [&out](const TMPEGFileInfo& info) -> uint16_t {
        ++out.callbacks;
        return static_cast<uint16_t>(info.FileName.empty() ? 0 : 5);
    };
    out.reader.SetFileName(path);
    out.result = out.reader.Load();
    out.reader.ErrorCallback = nullptr;
    return out;
}

TEST(MpgBadInput, FileWithoutReadPermission) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "root reads every file";
    TempDir dir;
    const std::string path = dir / "locked.mp3";
    synth::WriteFile(path, Frames(2) + Tag("Locked"));
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    TMPEGAudio reader{testing::TagLibSetup()};
    reader.AutoLoad = false;
    reader.ErrorCallback = nullptr;
    reader.SetFileName(path);
    EXPECT_EQ(reader.Load(), EACCES);
    EXPECT_EQ(reader.MPEGFileInfo.Title, "[notag]");
    EXPECT_EQ(reader.MPEGFileInfo.FileLength, 0);
    EXPECT_EQ(reader.MPEGFileInfo.FileName, path);
}

TEST(MpgBadInput, LargeSparseFiles) {
    TempDir dir;
    const std::string path = dir / "sparse.mp3";
    const long long size = 300LL * 1024 * 1024;

    // 300 MB without a frame: crossed to the end, with the user interface served on the way.
    testing::WriteSparseFile(path, size, "", "");
    {
        PumpCounter pumps;
        const Outcome out = LoadPath(path, 0, pumps.Setup(testing::TagLibSetup()));
        EXPECT_EQ(out.result, 5);
        EXPECT_EQ(out.callbacks, 1);
        EXPECT_EQ(out.reader.MPEGFileInfo.FileLength, size);
        EXPECT_EQ(out.reader.HeaderPosition, size + 1);
        EXPECT_EQ(pumps.count, size / 300);
    }

    // The same size as a song: two reads, and the playing time of the audio, rounded.
    testing::WriteSparseFile(path, size, Frames(2), Tag("Long Mix"));
    {
        const Outcome out = LoadPath(path);
        EXPECT_EQ(out.result, 0);
        EXPECT_EQ(out.reader.MPEGFileInfo.Duration, ((size - 128) * 8 + 64000) / 128000);
        EXPECT_EQ(out.reader.MPEGFileInfo.AudioBytes, size - 128);
        EXPECT_EQ(out.reader.MPEGFileInfo.Title, "Long Mix");
        EXPECT_EQ(out.reader.LastReadCount(), 2);
    }

    // Past 32 bits the length field wraps as it always has; the playing time is worked out in
    // 64 bits and keeps its low 16 bits in Duration, the whole of it in DurationMs.
    testing::WriteSparseFile(path, (1LL << 32) + 4000, Frames(2), "");
    {
        const Outcome out = LoadPath(path);
        EXPECT_EQ(out.result, 0);
        EXPECT_EQ(out.reader.MPEGFileInfo.FileLength, 4000);
        const long long seconds = ((1LL << 32) + 4000) * 8 / 128000;  // 268,435.7
        EXPECT_EQ(out.reader.MPEGFileInfo.Duration, static_cast<uint16_t>(seconds + 1));
        EXPECT_EQ(out.reader.MPEGFileInfo.DurationMs, ((1LL << 32) + 4000) * 8 / 128);
    }
    testing::WriteSparseFile(path, (1LL << 31) + 1000, Frames(2), Tag("Negative"));
    {
        const Outcome out = LoadPath(path, 100000);
        EXPECT_EQ(out.result, 5);
        EXPECT_LT(out.reader.MPEGFileInfo.FileLength, 0);
        EXPECT_EQ(out.reader.MPEGFileInfo.Title, "[notag]");
    }
    std::filesystem::remove(path);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(MpgBadInput, FilesCutShort) {
    TempDir dir;
    const std::string path = dir / "cut.mp3";
    synth::FileLayout layout;
    layout.frames = 2;
    layout.tag = synth::Id3v1Tag{};

    // Cut in the middle of the second frame: both headers are there, so the pair stands.
    layout.truncateAt = 417 + 200;
    synth::WriteFile(path, synth::BuildFile(layout));
    Outcome out = LoadPath(path);
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.reader.MPEGFileInfo.Title, "cut.mp3");

    // Cut inside the second header: that read passes the end and fails the attempt, which
    // keeps what it had learnt of the first frame.
    layout.truncateAt = 417 + 2;
    synth::WriteFile(path, synth::BuildFile(layout));
    out = LoadPath(path);
    EXPECT_EQ(out.result, 5);
    EXPECT_EQ(out.callbacks, 1);
    EXPECT_EQ(out.reader.HeaderPosition, 0);
    EXPECT_EQ(out.reader.MPEGFileInfo.BitRate, 128);
    EXPECT_EQ(out.reader.MPEGFileInfo.Title, "[notag]");

    // A Xing header whose data the file does not hold.
    synth::FileLayout xing;
    xing.frames = 1;
    xing.xing = synth::XingFields{};
    xing.xing->frames = 100;
    synth::WriteFile(path,
                     synth::Truncate(synth::BuildFile(xing), 36 + 4 + 50) + Frames(1).substr(0, 4));
    out = LoadPath(path);
    EXPECT_EQ(out.callbacks, 1);
}

TEST(MpgBadInput, XingWithoutAFrameCount) {
    TempDir dir;
    const std::string path = dir / "xing.mp3";
    synth::FileLayout layout;
    layout.frames = 3;
    layout.xing = synth::XingFields{};
    layout.xing->frames = 0;
    layout.tag = synth::Id3v1Tag{};
    layout.tag->title = "Never Read";
    synth::WriteFile(path, synth::BuildFile(layout));
    Outcome out = LoadPath(path);
    EXPECT_EQ(out.result, 5);
    EXPECT_EQ(out.callbacks, 1);
    EXPECT_EQ(out.reader.MPEGFileInfo.BitRate, -1);
    EXPECT_EQ(out.reader.MPEGFileInfo.Duration, 0);
    EXPECT_EQ(out.reader.MPEGFileInfo.Title, "[notag]");
    EXPECT_FALSE(out.reader.HasTag());

    // A count without its flag does not count.
    layout.xing->frames = 1000;
    layout.xing->flags = synth::kXingBytes;
    synth::WriteFile(path, synth::BuildFile(layout));
    out = LoadPath(path);
    EXPECT_EQ(out.result, 5);
    EXPECT_EQ(out.reader.MPEGFileInfo.Duration, 0);
}

TEST(MpgBadInput, FalseSyncInsideAnId3v2Block) {
    TempDir dir;
    const std::string path = dir / "tagged.mp3";
    for (const size_t at : {10u, 500u, 9000u, 10240u - 4u}) {
        synth::WriteFile(path, synth::Id3v2Block(10240, at) + Frames(3) + Tag("Behind ID3v2"));
        const Outcome out = LoadPath(path);
        EXPECT_EQ(out.result, 0) << at;
        EXPECT_EQ(out.reader.HeaderPosition, 10240) << at;
        EXPECT_EQ(out.reader.MPEGFileInfo.Title, "Behind ID3v2");
    }
    // A false sync exactly one frame in front of the real one would make a false pair, but the
    // tag is skipped by its declared size, so the search never sees it.
    synth::WriteFile(path, synth::Id3v2Block(10240, 10240 - 417) + Frames(3) + Tag("Early"));
    const Outcome early = LoadPath(path);
    EXPECT_EQ(early.result, 0);
    EXPECT_EQ(early.reader.HeaderPosition, 10240);
    EXPECT_EQ(early.reader.MPEGFileInfo.Title, "Early");
}

TEST(MpgBadInput, OddThingsGivenAsFiles) {
    TempDir dir;
    const std::string folder = dir / "folder.mp3";
    std::filesystem::create_directory(folder);
    Outcome out = LoadPath(folder);
    EXPECT_EQ(out.result, 5);
    EXPECT_EQ(out.reader.MPEGFileInfo.Title, "[not found: folder.mp3]");
    out = LoadPath(folder + "/");
    EXPECT_EQ(out.result, 5);
    EXPECT_EQ(out.reader.MPEGFileInfo.Title, "[not found: ]");
    out = LoadPath("");
    EXPECT_EQ(out.result, 5);
    EXPECT_EQ(out.reader.MPEGFileInfo.Title, "[not found: ]");

    // A device without length reads as a tiny file.
    out = LoadPath("/dev/null");
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.callbacks, 0);

    // A named pipe has no length either, and must not make the reader wait for a writer.
    const std::string pipe = dir / "pipe.mp3";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::atomic<bool> loaded{false};
    std::atomic<bool> rescued{false};
    std::thread rescuer([&] {
        // A generous limit: a busy machine makes the load slow, not wrong.
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!loaded && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (loaded) return;
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);  // lets a waiting open go on
        rescued = true;
        if (fd >= 0) ::close(fd);
    });
    out = LoadPath(pipe);
    loaded = true;
    rescuer.join();
    EXPECT_FALSE(rescued) << "the reader waited for a writer";
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.callbacks, 0);

    // Tag-shaped bytes alone are no MP3 file.
    const std::string path = dir / "tagonly.mp3";
    synth::WriteFile(path, Tag("Only"));
    out = LoadPath(path);
    EXPECT_EQ(out.result, 5);
    EXPECT_EQ(out.reader.MPEGFileInfo.Title, "[notag]");
}

}  // namespace
}  // namespace kestrune
