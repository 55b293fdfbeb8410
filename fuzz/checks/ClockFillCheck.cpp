// The fill to the clock on a small problem made from the input's bytes, against a plain model
// that tries every choice of every length: the search must find the model's best choice.

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <tuple>

#include "FuzzChecks.h"
#include "timing/ClockFill.h"

namespace kestrune::fuzz {

namespace {

struct Input {
    std::string_view bytes;
    size_t at = 0;
    int Next(int range) {
        return at < bytes.size() ? static_cast<unsigned char>(bytes[at++]) % range : 0;
    }
};

FillProblem ProblemFrom(Input& in) {
    FillProblem p;
    p.toleranceMs = 250 * in.Next(5);
    p.overlapMs = 500 * in.Next(3);
    p.lastGenre = in.Next(4) - 1;
    p.maxChoices = static_cast<size_t>(1 + in.Next(4));
    const int slots = in.Next(6);
    for (int s = 0; s < slots; ++s) {
        FillSlot slot;
        const int count = in.Next(5);
        for (int c = 0; c < count; ++c) {
            FillCandidate candidate;
            // Lengths on a coarse grid, so that different choices tie and the order decides.
            candidate.ms = 500 * in.Next(12);
            const int keys = in.Next(3);
            for (int k = 0; k < keys; ++k) candidate.keys.push_back(in.Next(5));
            candidate.genre = in.Next(4) - 1;
            candidate.counted = in.Next(4) != 0;
            slot.candidates.push_back(candidate);
        }
        p.slots.push_back(slot);
    }
    p.targetMs = 500 * in.Next(40);
    // A stretch before a timed item uses every slot; an end may have timed slots among its own.
    if (in.Next(2) == 1) p.minSlots = p.slots.size();
    for (FillSlot& slot : p.slots) {
        if (in.Next(4) != 1) continue;
        const int64_t earliest = 500 * in.Next(30);
        slot.start = StartLimits{earliest, earliest + 500 * in.Next(4)};
    }
    for (FillSlot& slot : p.slots) slot.category = in.Next(3) - 1;
    return p;
}

struct Outcome {
    int64_t added = 0;
    int64_t lateStarts = 0;  // how far timed items start outside their limits
};

// The order of the choices, spelled out: landing first, then the least miss, the least deep into
// the rotations, the fewest slots, the first in slot order.
auto Rank(const FillProblem& p, const std::vector<size_t>& picks, const Outcome& outcome) {
    const int64_t error = std::llabs(outcome.added - p.targetMs);
    const int64_t miss = outcome.lateStarts + (error <= p.toleranceMs ? 0 : error);
    int64_t depth = 0;
    for (const size_t pick : picks)
        if (pick != kPassedOver) depth += static_cast<int64_t>(pick);
    return std::make_tuple(miss == 0 ? 0 : 1, miss, depth, picks.size(), picks);
}

// Whether the picks keep every rule the fill knows, and use every slot they must; the time they
// add.
std::optional<Outcome> Added(const FillProblem& p, const std::vector<size_t>& picks) {
    size_t least = p.minSlots;
    for (size_t s = 0; s < p.slots.size(); ++s)
        if (p.slots[s].start) least = std::max(least, s + 1);
    if (picks.size() < least) return std::nullopt;
    Outcome outcome;
    int64_t& added = outcome.added;
    int genre = p.lastGenre;
    std::vector<int> used;
    std::vector<size_t> lastOfCategory(3, kPassedOver);
    for (size_t s = 0; s < picks.size(); ++s) {
        const auto& candidates = p.slots[s].candidates;
        if (const auto& limits = p.slots[s].start) {
            if (added < limits->earliestMs) outcome.lateStarts += limits->earliestMs - added;
            if (added > limits->latestMs) outcome.lateStarts += added - limits->latestMs;
        }
        if (candidates.empty()) {
            if (picks[s] != kPassedOver) return std::nullopt;
            continue;
        }
        if (picks[s] >= std::min(candidates.size(), p.maxChoices)) return std::nullopt;
        const FillCandidate& c = candidates[picks[s]];
        if (p.slots[s].category >= 0) {
            size_t& last = lastOfCategory[static_cast<size_t>(p.slots[s].category)];
            if (last != kPassedOver && picks[s] <= last) return std::nullopt;
            last = picks[s];
        }
        if (c.ms <= p.overlapMs) return std::nullopt;
        if (c.genre >= 0 && c.genre == genre) return std::nullopt;
        for (const int key : c.keys)
            if (std::find(used.begin(), used.end(), key) != used.end()) return std::nullopt;
        used.insert(used.end(), c.keys.begin(), c.keys.end());
        if (c.counted) genre = c.genre;
        added += c.ms - p.overlapMs;
    }
    return outcome;
}

// Every choice of slots 0..n-1 for every n, each slot's every candidate.
void Enumerate(const FillProblem& p, std::vector<size_t>& picks,
               std::optional<std::tuple<int, int64_t, int64_t, size_t, std::vector<size_t>>>& best,
               int64_t& bestAdded) {
    if (const auto outcome = Added(p, picks)) {
        auto rank = Rank(p, picks, *outcome);
        if (!best || rank < *best) {
            best = rank;
            bestAdded = outcome->added;
        }
    }
    if (picks.size() == p.slots.size()) return;
    const auto& candidates = p.slots[picks.size()].candidates;
    if (candidates.empty()) {
        picks.push_back(kPassedOver);
        Enumerate(p, picks, best, bestAdded);
        picks.pop_back();
        return;
    }
    for (size_t i = 0; i < candidates.size(); ++i) {
        picks.push_back(i);
        Enumerate(p, picks, best, bestAdded);
        picks.pop_back();
    }
}

std::string Picks(const std::vector<size_t>& picks) {
    std::string text = "[";
    for (const size_t pick : picks)
        text += (pick == kPassedOver ? std::string("-") : std::to_string(pick)) + " ";
    return text + "]";
}

}  // namespace

std::string CheckClockFill(std::string_view bytes) {
    Input in{bytes};
    const FillProblem problem = ProblemFrom(in);
    const FillChoice choice = ChooseFill(problem);
    if (!choice.searchedAll) return "the budget ran out on a small problem";
    std::vector<size_t> picks;
    std::optional<std::tuple<int, int64_t, int64_t, size_t, std::vector<size_t>>> best;
    int64_t bestAdded = 0;
    Enumerate(problem, picks, best, bestAdded);
    if (choice.found != best.has_value()) return "wrong verdict on whether any choice is complete";
    if (!best) return choice.picks.empty() ? std::string() : "picks without a choice";
    const std::vector<size_t>& expected = std::get<4>(*best);
    if (choice.picks != expected)
        return "chose " + Picks(choice.picks) + ", the model " + Picks(expected);
    if (choice.addedMs != bestAdded) return "added " + std::to_string(choice.addedMs) + " ms";
    if (choice.errorMs != bestAdded - problem.targetMs) return "wrong error";
    if (choice.inWindow != (std::get<0>(*best) == 0)) return "wrong window verdict";
    if (choice.missMs != std::get<1>(*best)) return "wrong miss";
    return std::string();
}

}  // namespace kestrune::fuzz
