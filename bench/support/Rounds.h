#pragma once
// Side-by-side measurement on a shared machine: every contestant runs once per round, in turn,
// so that a busy moment falls on all of them alike; each one's median time is reported as a
// counter "<name> s". Preparation (fresh files) is not timed.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace kestrune::bench {

struct Contestant {
    std::string name;
    std::function<void()> run;
    std::function<void()> prepare = [] {};
};

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Use with ->Iterations(rounds): each iteration of the state is one round.
inline std::vector<double> RunRounds(benchmark::State& state,
                                     const std::vector<Contestant>& contestants) {
    std::vector<std::vector<double>> seconds(contestants.size());
    for (auto _ : state) {
        for (size_t i = 0; i < contestants.size(); ++i) {
            contestants[i].prepare();
            const auto start = std::chrono::steady_clock::now();
            contestants[i].run();
            seconds[i].push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::vector<double> medians;
    for (size_t i = 0; i < contestants.size(); ++i) {
        medians.push_back(Median(seconds[i]));
        state.counters[contestants[i].name + " s"] = medians.back();
    }
    state.counters["rounds"] = static_cast<double>(seconds.empty() ? 0 : seconds[0].size());
    return medians;
}

}  // namespace kestrune::bench
