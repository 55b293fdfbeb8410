// Throughput of the MP3 reader: typical files per second, warm cache, and the time to cross a
// long stretch without audio in front of the first frame.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Mp3Synth.h"
#include "mpgtools/MPGTools.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrune;

// A folder of generated files, made once and removed at exit.
class Corpus {
public:
    Corpus() {
        std::string pattern = (fs::temp_directory_path() / "kestrune-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        folder_ = pattern;
    }
    ~Corpus() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

private:
    fs::path folder_;
};

Corpus& TheCorpus() {
    static Corpus corpus;
    return corpus;
}

synth::Id3v1Tag TagFor(int i) {
    synth::Id3v1Tag tag;
    tag.title = "Song " + std::to_string(i);
    tag.artist = "Artist " + std::to_string(i % 97);
    tag.album = "Album " + std::to_string(i % 13);
    tag.year = std::to_string(1960 + i % 60);
    tag.comment = "generated";
    tag.track = static_cast<uint8_t>(1 + i % 20);
    tag.genre = static_cast<uint8_t>(i % 126);
    return tag;
}

// 2,000 small files: a few MPEG-1 Layer III frames of a common bit rate and an ID3v1 tag,
// optionally behind a 10 KB ID3v2-like block; a few carry a Xing header.
std::vector<std::string> MakeFiles(const std::string& kind, bool id3v2, long long sparseSize) {
    std::vector<std::string> paths;
    const int bitRates[] = {9, 10, 11, 14};  // 128, 160, 192, 320 kbit/s
    for (int i = 0; i < 2000; ++i) {
        synth::FileSpec layout;
        layout.frame.bitRateIndex = bitRates[i % 4];
        layout.frame.mode = i % 3 == 0 ? synth::kStereo : synth::kJointStereo;
        layout.frames = 3 + i % 5;
        if (i % 10 == 0) {
            layout.xing = synth::XingSpec{};
            layout.xing->frames = 9000 + static_cast<uint32_t>(i);
        }
        if (id3v2) layout.prefix = synth::Id3v2Block(10240);
        const synth::Id3v1Tag tag = TagFor(i);
        const std::string path = TheCorpus().Path(kind + std::to_string(i) + ".mp3");
        if (sparseSize > 0) {
            // A song-sized file whose middle is a hole: frames at the start, the tag at the end.
            synth::WriteFile(path, synth::BuildFile(layout));
            fs::resize_file(path, static_cast<std::uintmax_t>(sparseSize - 128));
            std::FILE* file = std::fopen(path.c_str(), "ab");
            const std::string bytes = synth::Id3v1Bytes(tag);
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        } else {
            layout.tag = tag;
            synth::WriteFile(path, synth::BuildFile(layout));
        }
        paths.push_back(path);
    }
    return paths;
}

void ReadAll(benchmark::State& state, const std::vector<std::string>& paths) {
    TMPEGAudio reader;
    long long seconds = 0;
    for (const std::string& path : paths) reader.SetFileName(path);  // warm the cache
    for (auto _ : state) {
        for (const std::string& path : paths) {
            reader.SetFileName(path);
            seconds += reader.MPEGFileInfo.Duration;
        }
    }
    benchmark::DoNotOptimize(seconds);
    state.counters["files/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * static_cast<long long>(paths.size())),
        benchmark::Counter::kIsRate);
    state.counters["reads/file"] = reader.LastReadCount();
}

void BM_TypicalSmallFiles(benchmark::State& state) {
    static const std::vector<std::string> paths = MakeFiles("small", false, 0);
    ReadAll(state, paths);
}
BENCHMARK(BM_TypicalSmallFiles)->Unit(benchmark::kMillisecond);

void BM_SmallFilesBehindId3v2(benchmark::State& state) {
    static const std::vector<std::string> paths = MakeFiles("id3v2-", true, 0);
    ReadAll(state, paths);
}
BENCHMARK(BM_SmallFilesBehindId3v2)->Unit(benchmark::kMillisecond);

void BM_SongSizedSparseFiles(benchmark::State& state) {
    static const std::vector<std::string> paths = MakeFiles("song", false, 5000000);
    ReadAll(state, paths);
}
BENCHMARK(BM_SongSizedSparseFiles)->Unit(benchmark::kMillisecond);

// 10 MB before the first frame: bytes that never hold a sync, or all FF (a sync at every byte,
// each rejected by its fields).
void BM_Cross10MBWithoutAudio(benchmark::State& state) {
    const bool allFF = state.range(0) == 1;
    const std::string path = TheCorpus().Path(allFF ? "cross-ff.mp3" : "cross-junk.mp3");
    const size_t stretch = 10 * 1000 * 1000;
    synth::FileSpec layout;
    layout.prefix = allFF ? std::string(stretch, '\xFF') : synth::Junk(stretch, 1);
    layout.frames = 3;
    layout.tag = TagFor(1);
    synth::WriteFile(path, synth::BuildFile(layout));
    long long pumps = 0;
    SetPumpMessages([&pumps] { ++pumps; });
    TMPEGAudio reader;
    reader.SetFileName(path);
    for (auto _ : state) {
        reader.SetFileName(path);
        if (reader.HeaderPosition != static_cast<int32_t>(stretch))
            state.SkipWithError("not found");
    }
    SetPumpMessages(nullptr);
    state.SetLabel(allFF ? "all FF" : "no sync");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(stretch));
    state.counters["pumps/load"] =
        static_cast<double>(pumps) / static_cast<double>(state.iterations() + 1);
}
BENCHMARK(BM_Cross10MBWithoutAudio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
