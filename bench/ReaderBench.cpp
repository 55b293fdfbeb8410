// The MP3 reader over 10,000 files, beside TagLib reading the same files' audio properties and
// ID3v1 tag, and beside the floor: opening, stat-ing, reading the same blocks our reader reads
// and closing each file. Two collections: generated song-sized files and clips made by the
// lame encoder. Warm cache, one thread. Then the reader at four sizes (growth), and the time to
// cross 10 MB without audio in front of the first frame.

#include <benchmark/benchmark.h>

#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Mp3Synth.h"
#include "Rounds.h"
#include "TagLibReader.h"
#include "mpgtools/MPGTools.h"

namespace {

using namespace kestrune;
using namespace kestrune::bench;

constexpr int kRowFiles = 10000;
constexpr int kLargest = 50000;

ScratchFolder& Folder() {
    static ScratchFolder folder("reader");
    return folder;
}

// 50,000 generated songs in folders of 10,000; the first 10,000 are the row's collection.
const std::vector<std::string>& Generated() {
    static const std::vector<std::string> paths =
        MakeGeneratedSongs(Folder() / "generated", kLargest, kRowFiles);
    return paths;
}

// Real-library files, covers of 300 KB.
const std::vector<std::string>& Library() {
    static const std::vector<std::string> paths =
        MakeLibrarySongs(Folder() / "library", kRowFiles, 300 * 1024);
    return paths;
}

const std::vector<std::string>& Encoded() {
    static const std::vector<std::string> paths = MakeEncodedSongs(Folder().Path(), kRowFiles);
    return paths;
}

std::vector<std::string> First(const std::vector<std::string>& paths, size_t count) {
    return std::vector<std::string>(paths.begin(), paths.begin() + static_cast<long>(count));
}

// What a caller takes from a file: playing time, artist, title, album, year, genre.
int64_t ReadOurs(TMPEGAudio& reader, const std::string& path) {
    reader.SetFileName(path);
    const TMPEGFileInfo& info = reader.MPEGFileInfo;
    return info.Duration + static_cast<int64_t>(reader.GetArtist().size() +
                                                reader.GetTitle().size() + info.Album.size() +
                                                info.Year.size() + reader.GetGenreText().size());
}

// TagLib's playing time and tags: ID3v1 alone as the old reader took them, or every tag the file
// has (ID3v2 first) as the reader takes them now.
int64_t ReadTagLib(const std::string& path, bool everyTag) {
    TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Average);
    int64_t sum = 0;
    if (const TagLib::AudioProperties* properties = file.audioProperties())
        sum += properties->lengthInSeconds() + properties->bitrate() + properties->sampleRate();
    const TagLib::Tag* tag = everyTag ? file.tag() : file.ID3v1Tag(false);
    if (tag != nullptr) {
        sum += static_cast<int64_t>(tag->artist().to8Bit(true).size() +
                                    tag->title().to8Bit(true).size() +
                                    tag->album().to8Bit(true).size() +
                                    tag->genre().to8Bit(true).size()) +
               tag->year();
    }
    return sum;
}

const std::vector<std::string>& Collection(int which) {
    static const std::vector<std::string> generated = First(Generated(), kRowFiles);
    if (which == 2) return Library();
    return which == 0 ? generated : Encoded();
}

// Argument 0: the generated collection; 1: the encoded one; 2: the real-library one. Our reader,
// TagLib and the floor in turn, round after round, over the same 10,000 files, warm cache.
void BM_Reader(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const std::vector<std::string>& paths = Collection(which);
    ReaderSetup setup;  // as the program and the tool run
    setup.tags = std::make_shared<TagLibReader>();
    TMPEGAudio reader(setup);
    int64_t sum = 0;
    auto ours = [&] {
        for (const std::string& path : paths) sum += ReadOurs(reader, path);
    };
    auto taglib = [&] {
        for (const std::string& path : paths) sum += ReadTagLib(path, which == 2);
    };
    const IoFloor floor(Record(ours), FloorOptions{false});
    ours();  // warm the cache for all three
    taglib();
    floor.Replay();
    RunRounds(state, {{"Kestrune", ours}, {"TagLib", taglib}, {"floor", [&] { floor.Replay(); }}});
    benchmark::DoNotOptimize(sum);
    state.counters["files"] = static_cast<double>(paths.size());
    state.counters["blocks/file"] =
        static_cast<double>(floor.Count(FileOp::ReadBlock)) / static_cast<double>(paths.size());
    state.counters["reads/file"] = reader.LastReadCount();
}
BENCHMARK(BM_Reader)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

// Argument: the number of files (generated songs, in folders of 10,000).
void BM_ReaderGrowth(benchmark::State& state) {
    const std::vector<std::string> paths = First(Generated(), static_cast<size_t>(state.range(0)));
    TMPEGAudio reader;
    int64_t sum = 0;
    auto ours = [&] {
        for (const std::string& path : paths) sum += ReadOurs(reader, path);
    };
    ours();
    RunRounds(state, {{"Kestrune", ours}});
    benchmark::DoNotOptimize(sum);
    state.counters["files"] = static_cast<double>(paths.size());
}
BENCHMARK(BM_ReaderGrowth)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(kLargest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// 10 MB before the first frame: bytes that never hold a sync, or all FF (a sync at every byte,
// each rejected by its fields).
void BM_Cross10MBWithoutAudio(benchmark::State& state) {
    const bool allFF = state.range(0) == 1;
    const std::string path = Folder() / (allFF ? "cross-ff.mp3" : "cross-junk.mp3");
    const size_t stretch = 10 * 1000 * 1000;
    synth::FileLayout layout;
    layout.prefix = allFF ? std::string(stretch, '\xFF') : synth::Junk(stretch, 1);
    layout.frames = 3;
    layout.tag = synth::Id3v1Tag{};
    synth::WriteFile(path, synth::BuildFile(layout));
    long long pumps = 0;
    ReaderSetup setup;
    setup.pump = [&pumps] { ++pumps; };
    TMPEGAudio reader(setup);
    reader.SetFileName(path);
    for (auto _ : state) {
        reader.SetFileName(path);
        if (reader.HeaderPosition != static_cast<int32_t>(stretch))
            state.SkipWithError("not found");
    }
    state.SetLabel(allFF ? "all FF" : "no sync");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(stretch));
    state.counters["pumps/load"] =
        static_cast<double>(pumps) / static_cast<double>(state.iterations() + 1);
}
BENCHMARK(BM_Cross10MBWithoutAudio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
