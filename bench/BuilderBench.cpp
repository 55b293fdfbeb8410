// A 24-hour build (1440 minutes) from seven categories of 5,000 songs each, with the dupe and
// the genre checks on, as the build command runs it (checks, repair, build) without a window;
// beside it the floor: the same whole-file reads, replacements, existence tests and MP3 block
// reads replayed with the fewest system calls. The two take turns, round after round. Then the
// build over seven categories of 1,000 to 50,000 songs in all (growth).

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "Rounds.h"
#include "building/BuildCommand.h"

namespace {

using namespace kestrune;
using namespace kestrune::bench;

constexpr int kRowSongsPerCategory = 5000;
constexpr int kLargestPerCategory = 7143;  // 50,000 songs in all

const Station& TheStation() {
    static ScratchFolder folder("build");
    static const Station station(folder.Path(), kLargestPerCategory);
    return station;
}

// The build command over the first `songsPerCategory` of every category, from fresh playlists.
class DayBuild {
public:
    explicit DayBuild(int songsPerCategory) : songs_(songsPerCategory) {}
    void Prepare() { TheStation().Prepare(songs_, session_); }
    void Run() {
        CountingSeeds seeds(7);
        BuildContext context{session_, view_, prompts_, seeds, clock_};
        btBuildPlaylistClick(context);
        placed_ = session_.lbFinalPlaylist.size();
        complete_ = view_.Status().rfind("Playlist is complete", 0) == 0;
    }
    // Of the last build.
    bool Complete() const { return complete_; }
    size_t Placed() const { return placed_; }

private:
    int songs_;
    size_t placed_ = 0;
    bool complete_ = false;
    BuildSession session_;
    HeadlessView view_;
    QuietPrompts prompts_;
    FixedClock clock_;
};

void BM_DayBuild(benchmark::State& state) {
    DayBuild build(kRowSongsPerCategory);
    build.Prepare();
    const IoFloor floor(Record([&] { build.Run(); }));
    RunRounds(state, {{"Kestrune", [&] { build.Run(); }, [&] { build.Prepare(); }},
                      {"floor", [&] { floor.Replay(); }, [&] { build.Prepare(); }}});
    if (!build.Complete()) state.SkipWithError("the build did not complete");
    state.counters["files"] = 7.0 * kRowSongsPerCategory;
    state.counters["songs placed"] = static_cast<double>(build.Placed());
    state.counters["whole reads"] = static_cast<double>(floor.Count(FileOp::ReadWhole));
    state.counters["read MB"] = static_cast<double>(floor.Bytes(FileOp::ReadWhole)) / 1e6;
    state.counters["replacements"] = static_cast<double>(floor.Count(FileOp::ReplaceWhole));
    state.counters["written MB"] = static_cast<double>(floor.Bytes(FileOp::ReplaceWhole)) / 1e6;
    state.counters["MP3 opens"] = static_cast<double>(floor.Count(FileOp::Open));
    state.counters["existence tests"] = static_cast<double>(floor.Count(FileOp::Status));
}
BENCHMARK(BM_DayBuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

// Argument: songs in all, in seven categories.
void BM_DayBuildGrowth(benchmark::State& state) {
    DayBuild build(static_cast<int>((state.range(0) + 6) / 7));
    RunRounds(state, {{"Kestrune", [&] { build.Run(); }, [&] { build.Prepare(); }}});
    if (!build.Complete()) state.SkipWithError("the build did not complete");
    state.counters["files"] = static_cast<double>(state.range(0));
    state.counters["songs placed"] = static_cast<double>(build.Placed());
}
BENCHMARK(BM_DayBuildGrowth)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
