// Loading a category playlist of 5,000 songs as a media player exports it (byte-order mark,
// "#EXTM3U", an "#EXTINF" line before every path, paths relative to the playlist's folder, LF)
// beside a plain one of full paths with CR LF, in turns.

#include <benchmark/benchmark.h>

#include <fstream>

#include "BenchSupport.h"
#include "building/PlaylistFile.h"

namespace {

using namespace kestrune;
using namespace kestrune::bench;

constexpr int kSongs = 5000;

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void BM_LoadPlaylist(benchmark::State& state) {
    static ScratchFolder folder("load");
    std::string plain, exported = "\xEF\xBB\xBF#EXTM3U\n";
    for (int i = 0; i < kSongs; ++i) {
        const std::string song = "Artist " + std::to_string(i % 700) + "/Album " +
                                 std::to_string(i % 1300) + "/" + std::to_string(i) +
                                 " Some Song Title.mp3";
        plain += folder.Path() + "/music/" + song + "\r\n";
        exported += "#EXTINF:" + std::to_string(150 + i % 200) + ",Artist " +
                    std::to_string(i % 700) + " - Some Song Title " + std::to_string(i) + "\n";
        exported += "../music/" + song + "\n";
    }
    Write(folder / "plain.m3u", plain);
    Write(folder / "exported.m3u", exported);
    const std::string path = folder / (state.range(0) == 0 ? "plain.m3u" : "exported.m3u");
    PlaylistLayout layout;
    LineList entries;
    for (auto _ : state) {
        LoadPlaylist(path, layout, entries);
        benchmark::DoNotOptimize(entries.data());
    }
    if (entries.size() != kSongs) state.SkipWithError("not every song was read");
    state.counters["songs"] = kSongs;
}
BENCHMARK(BM_LoadPlaylist)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
