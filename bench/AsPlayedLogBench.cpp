// Reading the as-played log in any order: lines in order, turned round (tac) and shuffled, of
// 80,000 and 1,000,000 lines. The cost must grow as n log n whatever the order; a reading that
// looks back for each end's start grows as n squared on a log turned round.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "onair/AsPlayedLog.h"

namespace {

enum Order { kInOrder, kReversed, kShuffled };

std::string Log(size_t lines, Order order) {
    std::vector<std::string> all;
    all.reserve(lines);
    const int64_t six = 1765260000000;
    for (size_t i = 0; all.size() < lines; ++i) {
        const std::string file = "/music/song" + std::to_string(i % 997) + ".mp3";
        const int64_t start = six + static_cast<int64_t>(i) * 200000;
        all.push_back(kestrune::FormatUtcStamp(start) + "\tstart\tplan\t" + file +
                      "\tArtist\tTitle\t/p/hour.m3u8\n");
        all.push_back(kestrune::FormatUtcStamp(start + 199000) + "\tend\t199.000\tended\t" + file +
                      "\n");
    }
    all.resize(lines);
    if (order == kReversed) std::reverse(all.begin(), all.end());
    if (order == kShuffled) std::shuffle(all.begin(), all.end(), std::mt19937(1));
    std::string text;
    for (const std::string& line : all) text += line;
    return text;
}

void BM_ReadAsPlayedLog(benchmark::State& state) {
    const std::string text =
        Log(static_cast<size_t>(state.range(0)), static_cast<Order>(state.range(1)));
    for (auto _ : state) {
        const kestrune::AsPlayedLog log = kestrune::ParseAsPlayedLog(text);
        benchmark::DoNotOptimize(log.items.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel(state.range(1) == kInOrder    ? "in order"
                   : state.range(1) == kReversed ? "reversed"
                                                 : "shuffled");
}
BENCHMARK(BM_ReadAsPlayedLog)
    ->ArgsProduct({{80000, 1000000}, {kInOrder, kReversed, kShuffled}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
