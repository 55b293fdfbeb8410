#include "timing/ClockFill.h"

#include <algorithm>
#include <cstdlib>

namespace kestrune {

namespace {

int64_t RotationDepth(const std::vector<size_t>& picks) {
    int64_t depth = 0;
    for (const size_t pick : picks)
        if (pick != kPassedOver) depth += static_cast<int64_t>(pick);
    return depth;
}

class FillSearch {
public:
    explicit FillSearch(const FillProblem& problem) : p_(problem) {
        int largestKey = -1;
        for (const FillSlot& slot : p_.slots)
            for (const FillCandidate& c : slot.candidates)
                for (const int key : c.keys) largestKey = std::max(largestKey, key);
        keyUses_.assign(static_cast<size_t>(largestKey + 1), 0);
        best_.errorMs = -p_.targetMs;
        best_.inWindow = Lands(0);
    }

    FillChoice Run() {
        Visit(0, 0, p_.lastGenre, 0);
        best_.searchedAll = nodes_ <= p_.nodeBudget;
        return best_;
    }

private:
    bool Lands(int64_t added) const { return std::llabs(added - p_.targetMs) <= p_.toleranceMs; }

    void Offer(int64_t added) {
        FillChoice choice;
        choice.picks = picks_;
        choice.addedMs = added;
        choice.errorMs = added - p_.targetMs;
        choice.inWindow = Lands(added);
        if (!BetterFill(choice, best_)) return;
        best_ = std::move(choice);
        bestDepth_ = RotationDepth(best_.picks);
    }

    bool Allowed(const FillCandidate& c, int previousGenre) const {
        if (c.ms <= p_.overlapMs) return false;
        if (c.genre >= 0 && c.genre == previousGenre) return false;
        for (const int key : c.keys)
            if (key >= 0 && keyUses_[static_cast<size_t>(key)] > 0) return false;
        return true;
    }

    void Visit(size_t slot, int64_t added, int previousGenre, int64_t depth) {
        if (++nodes_ > p_.nodeBudget) return;
        if (slot > 0) Offer(added);
        // Every item adds time: past the window nothing deeper comes closer.
        if (added > p_.targetMs + p_.toleranceMs) return;
        if (slot >= p_.slots.size()) return;
        const std::vector<FillCandidate>& candidates = p_.slots[slot].candidates;
        if (candidates.empty()) {
            picks_.push_back(kPassedOver);
            Visit(slot + 1, added, previousGenre, depth);
            picks_.pop_back();
            return;
        }
        const size_t choices = std::min(candidates.size(), p_.maxChoices);
        for (size_t i = 0; i < choices; ++i) {
            // A landing choice nearer the top of the rotations is kept: nothing deeper beats it.
            if (best_.inWindow && depth + static_cast<int64_t>(i) > bestDepth_)
                break;
            const FillCandidate& c = candidates[i];
            if (!Allowed(c, previousGenre)) continue;
            for (const int key : c.keys) ++keyUses_[static_cast<size_t>(key)];
            picks_.push_back(i);
            Visit(slot + 1, added + (c.ms - p_.overlapMs), c.counted ? c.genre : previousGenre,
                  depth + static_cast<int64_t>(i));
            picks_.pop_back();
            for (const int key : c.keys) --keyUses_[static_cast<size_t>(key)];
            if (nodes_ > p_.nodeBudget) return;
        }
    }

    const FillProblem& p_;
    std::vector<int> keyUses_;
    std::vector<size_t> picks_;
    FillChoice best_;  // at first: no slot used at all
    int64_t bestDepth_ = 0;
    size_t nodes_ = 0;
};

}  // namespace

bool BetterFill(const FillChoice& a, const FillChoice& b) {
    if (a.inWindow != b.inWindow) return a.inWindow;
    if (!a.inWindow) {
        const int64_t ea = std::llabs(a.errorMs);
        const int64_t eb = std::llabs(b.errorMs);
        if (ea != eb) return ea < eb;
    }
    const int64_t da = RotationDepth(a.picks);
    const int64_t db = RotationDepth(b.picks);
    if (da != db) return da < db;
    if (a.picks.size() != b.picks.size()) return a.picks.size() < b.picks.size();
    return a.picks < b.picks;
}

std::string FillMissText(int64_t errorMs, int toleranceSeconds) {
    const int64_t seconds = (std::llabs(errorMs) + 999) / 1000;
    auto two = [](int64_t value) { return (value < 10 ? "0" : "") + std::to_string(value); };
    return "Hour ends " + std::to_string(seconds / 3600) + ":" + two(seconds % 3600 / 60) + ":" +
           two(seconds % 60) + (errorMs > 0 ? " late" : " early") + " (window " +
           std::to_string(toleranceSeconds) + " s)";
}

FillChoice ChooseFill(const FillProblem& problem) {
    FillSearch search(problem);
    return search.Run();
}

}  // namespace kestrune
