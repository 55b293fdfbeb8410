// The tag pass ("Go!" with Artist, Album, Year and Genre ticked) over a collection of 10,000
// MP3 files, beside its floor: the same whole-file reads, replacements (the same way: a kept old
// body written over and swapped in) and existence tests replayed with the fewest system calls. Then
// the pass over 1,000 to 100,000 files (growth). In the collection artists and albums grow with its
// size, years and genres do not; the pass writes its playlists in rounds that grow with the work.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "Rounds.h"
#include "listtools/TagPlaylists.h"

namespace {

using namespace kestrune;
using namespace kestrune::bench;

constexpr int kRowFiles = 10000;

const TagCollection& TheCollection() {
    static ScratchFolder folder("tags");
    static const TagCollection collection(folder.Path(), {1000, 5000, kRowFiles, 50000, 100000});
    return collection;
}

// One "Go!" over the folder of `files` files; false when it did not take every file.
bool Go(int files) {
    const TagCollection& collection = TheCollection();
    const TagSearch search{collection.Folder(files), TagCategories{true, true, true, true},
                           collection.Playlists()};
    BuildSession session;
    HeadlessView view;
    QuietPrompts prompts;
    btnSearchForFilesClick(search, session, view, prompts, ReaderSetup{});
    return session.lbFiles.size() == static_cast<size_t>(files) && prompts.messages == 1;
}

// The pass over 10,000 files and its floor, in turn, each from an empty playlists folder.
void BM_TagPass(benchmark::State& state) {
    const TagCollection& collection = TheCollection();
    collection.ClearPlaylists();
    const IoFloor floor(Record([&] { Go(kRowFiles); }), FloorOptions{true, true});
    bool complete = true;
    RunRounds(state, {{"Kestrune", [&] { complete = Go(kRowFiles) && complete; },
                       [&] { collection.ClearPlaylists(); }},
                      {"floor", [&] { floor.Replay(); }, [&] { collection.ClearPlaylists(); }}});
    if (!complete) state.SkipWithError("the pass did not take every file");
    state.counters["files"] = kRowFiles;
    state.counters["whole reads"] = static_cast<double>(floor.Count(FileOp::ReadWhole));
    state.counters["read MB"] = static_cast<double>(floor.Bytes(FileOp::ReadWhole)) / 1e6;
    state.counters["replacements"] = static_cast<double>(floor.Count(FileOp::ReplaceWhole));
    state.counters["written MB"] = static_cast<double>(floor.Bytes(FileOp::ReplaceWhole)) / 1e6;
}
BENCHMARK(BM_TagPass)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// Argument: the number of files. The row above gives the figure for 10,000.
void BM_TagPassGrowth(benchmark::State& state) {
    const TagCollection& collection = TheCollection();
    const int files = static_cast<int>(state.range(0));
    bool complete = true;
    RunRounds(state, {{"Kestrune", [&] { complete = Go(files) && complete; },
                       [&] { collection.ClearPlaylists(); }}});
    if (!complete) state.SkipWithError("the pass did not take every file");
    state.counters["files"] = files;
}
BENCHMARK(BM_TagPassGrowth)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(50000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
