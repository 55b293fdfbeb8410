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

// 0 for a landing choice on the preferred side (for `Closest`, the distance from the target).
int64_t EndRank(const FillChoice& choice, EndPreference prefer) {
    switch (prefer) {
    case EndPreference::Over: return choice.errorMs >= 0 ? 0 : 1;
    case EndPreference::Under: return choice.errorMs <= 0 ? 0 : 1;
    case EndPreference::Closest: return std::llabs(choice.errorMs);
    case EndPreference::Rotation: return 0;
    }
    return 0;
}

class FillSearch {
public:
    explicit FillSearch(const FillProblem& problem) : p_(problem), n_(problem.slots.size()) {
        int largestKey = -1;
        for (const FillSlot& slot : p_.slots)
            for (const FillCandidate& c : slot.candidates)
                for (const int key : c.keys) largestKey = std::max(largestKey, key);
        keyUses_.assign(static_cast<size_t>(largestKey + 1), 0);
        int largestCategory = -1;
        for (const FillSlot& slot : p_.slots) largestCategory = std::max(largestCategory, slot.category);
        nextInRotation_.assign(static_cast<size_t>(largestCategory + 1), 0);
        // What slots can add at least and at most, rules aside, summed from the first: a branch
        // that cannot come closer than the best so far is cut.
        leastSum_.assign(n_ + 1, 0);
        mostSum_.assign(n_ + 1, 0);
        nextTimed_.assign(n_ + 1, n_);
        minSlots_ = std::min(p_.minSlots, n_);
        for (size_t k = 0; k < n_; ++k) {
            int64_t least = 0, most = 0;
            bool any = false;
            const std::vector<FillCandidate>& candidates = p_.slots[k].candidates;
            for (size_t i = 0; i < std::min(candidates.size(), p_.maxChoices); ++i) {
                if (candidates[i].ms <= p_.overlapMs) continue;
                const int64_t net = candidates[i].ms - p_.overlapMs;
                least = any ? std::min(least, net) : net;
                most = any ? std::max(most, net) : net;
                any = true;
            }
            leastSum_[k + 1] = leastSum_[k] + least;
            mostSum_[k + 1] = mostSum_[k] + most;
            if (p_.slots[k].start) minSlots_ = std::max(minSlots_, k + 1);
        }
        for (size_t k = n_; k-- > 0;) nextTimed_[k] = p_.slots[k].start ? k : nextTimed_[k + 1];
        best_.errorMs = -p_.targetMs;
        best_.inWindow = Lands(0);
        best_.missMs = EndMiss(0);
        haveBest_ = minSlots_ == 0;
    }

    FillChoice Run() {
        Visit(0, 0, p_.lastGenre, 0, 0);
        best_.searchedAll = nodes_ <= p_.nodeBudget;
        best_.found = haveBest_;
        return best_;
    }

private:
    bool Lands(int64_t added) const { return std::llabs(added - p_.targetMs) <= p_.toleranceMs; }
    int64_t EndMiss(int64_t added) const {
        return Lands(added) ? 0 : std::llabs(added - p_.targetMs);
    }
    static int64_t Outside(int64_t at, const StartLimits& limits) {
        if (at < limits.earliestMs) return limits.earliestMs - at;
        if (at > limits.latestMs) return at - limits.latestMs;
        return 0;
    }

    void Offer(int64_t added, int64_t lateStarts) {
        FillChoice choice;
        choice.picks = picks_;
        choice.addedMs = added;
        choice.errorMs = added - p_.targetMs;
        choice.missMs = lateStarts + EndMiss(added);
        choice.inWindow = choice.missMs == 0;
        choice.relaxed = relaxed_;
        choice.passed = passed_;
        if (haveBest_ && !BetterFill(choice, best_, p_.prefer)) return;
        haveBest_ = true;
        best_ = std::move(choice);
        bestDepth_ = RotationDepth(best_.picks);
        bestOnItsSide_ = best_.inWindow && EndRank(best_, p_.prefer) == 0;
    }

    // The least miss of any way on from `slot`, rules aside: the next timed item's start and
    // the end, each as close as the lengths of the slots before it allow.
    int64_t LeastMissFrom(size_t slot, int64_t added, int64_t lateStarts) const {
        int64_t miss = lateStarts;
        const size_t timed = nextTimed_[slot];
        if (timed < n_) {
            const int64_t lo = added + leastSum_[timed] - leastSum_[slot];
            const int64_t hi = added + mostSum_[timed] - mostSum_[slot];
            const StartLimits& limits = *p_.slots[timed].start;
            if (lo > limits.latestMs) miss += lo - limits.latestMs;
            if (hi < limits.earliestMs) miss += limits.earliestMs - hi;
        }
        const int64_t lo = added + leastSum_[std::max(slot, minSlots_)] - leastSum_[slot] -
                           p_.targetMs;
        const int64_t hi = added + mostSum_[n_] - mostSum_[slot] - p_.targetMs;
        if (lo > p_.toleranceMs) miss += lo;
        if (hi < -p_.toleranceMs) miss += -hi;
        return miss;
    }

    bool MayImprove(size_t slot, int64_t added, int64_t lateStarts) const {
        if (!haveBest_) return true;
        const int64_t least = LeastMissFrom(slot, added, lateStarts);
        return best_.inWindow ? least == 0 : least <= best_.missMs;
    }

    void Visit(size_t slot, int64_t added, int previousGenre, int64_t depth, int64_t lateStarts) {
        if (++nodes_ > p_.nodeBudget) return;
        // Passes only grow down a branch: one past the best's that lands cannot beat it.
        if (haveBest_ && best_.inWindow && passed_ > best_.passed) return;
        if (slot > 0 && slot >= minSlots_) Offer(added, lateStarts);
        if (slot >= n_) return;
        if (slot >= minSlots_) {
            // Every item adds time: past the window nothing deeper comes closer.
            if (added > p_.targetMs + p_.toleranceMs) return;
        } else {
            // The bound counts this slot's own start when it is timed; deeper, it is part of
            // what the branch has missed.
            if (!MayImprove(slot, added, lateStarts)) return;
            if (p_.slots[slot].start) lateStarts += Outside(added, *p_.slots[slot].start);
        }
        const std::vector<FillCandidate>& candidates = p_.slots[slot].candidates;
        if (candidates.empty()) {
            picks_.push_back(kPassedOver);
            Visit(slot + 1, added, previousGenre, depth, lateStarts);
            picks_.pop_back();
            return;
        }
        const size_t choices = std::min(candidates.size(), p_.maxChoices);
        const int category = p_.slots[slot].category;
        const size_t first = category >= 0 ? nextInRotation_[static_cast<size_t>(category)] : 0;
        bool anyAllowed = false;
        for (size_t i = first; i < choices; ++i) {
            const FillCandidate& c = candidates[i];
            if (!Allowed(c, previousGenre)) continue;
            anyAllowed = true;
            const size_t relaxed = relaxed_ + (c.relaxed ? 1 : 0);
            if (haveBest_ && best_.inWindow) {
                // A landing choice of fewer relaxed songs is kept: nothing of more beats it,
                // short of fewer passes.
                if (passed_ == best_.passed && relaxed > best_.relaxed) continue;
                // One also nearer the top of the rotations: nothing deeper beats it.
                if (bestOnItsSide_ && passed_ == best_.passed && relaxed == best_.relaxed &&
                    depth + static_cast<int64_t>(i) > bestDepth_)
                    break;
            }
            for (const int key : c.keys) ++keyUses_[static_cast<size_t>(key)];
            if (category >= 0) nextInRotation_[static_cast<size_t>(category)] = i + 1;
            picks_.push_back(i);
            relaxed_ = relaxed;
            Visit(slot + 1, added + (c.ms - p_.overlapMs), c.counted ? c.genre : previousGenre,
                  depth + static_cast<int64_t>(i), lateStarts);
            relaxed_ -= c.relaxed ? 1 : 0;
            picks_.pop_back();
            if (category >= 0) nextInRotation_[static_cast<size_t>(category)] = first;
            for (const int key : c.keys) --keyUses_[static_cast<size_t>(key)];
            if (nodes_ > p_.nodeBudget) return;
        }
        // Only where none of its songs may follow the picks before it: a slot is never passed
        // over for the time alone.
        if (p_.slots[slot].passable && !anyAllowed) {
            picks_.push_back(kPassedOver);
            ++passed_;
            Visit(slot + 1, added, previousGenre, depth, lateStarts);
            --passed_;
            picks_.pop_back();
        }
    }

    bool Allowed(const FillCandidate& c, int previousGenre) const {
        if (c.ms <= p_.overlapMs) return false;
        if (c.genre >= 0 && c.genre == previousGenre) return false;
        for (const int key : c.keys)
            if (key >= 0 && keyUses_[static_cast<size_t>(key)] > 0) return false;
        return true;
    }

    const FillProblem& p_;
    const size_t n_;
    size_t minSlots_ = 0;  // the problem's, or up to its last timed slot
    std::vector<int> keyUses_;
    std::vector<size_t> nextInRotation_;  // of each category: the first song a slot may take
    std::vector<size_t> picks_;
    size_t relaxed_ = 0;  // relaxed candidates among the picks
    size_t passed_ = 0;   // passable slots with candidates passed over
    FillChoice best_;  // at first: no slot used at all
    bool haveBest_ = true;
    int64_t bestDepth_ = 0;
    // The best lands on the preferred side: only a choice nearer the top can beat it.
    bool bestOnItsSide_ = false;
    std::vector<int64_t> leastSum_;
    std::vector<int64_t> mostSum_;
    std::vector<size_t> nextTimed_;  // from each slot, the first timed one at or after it
    size_t nodes_ = 0;
};

}  // namespace

bool BetterFill(const FillChoice& a, const FillChoice& b, EndPreference prefer) {
    if (a.inWindow != b.inWindow) return a.inWindow;
    if (!a.inWindow && a.missMs != b.missMs) return a.missMs < b.missMs;
    if (a.passed != b.passed) return a.passed < b.passed;
    if (a.relaxed != b.relaxed) return a.relaxed < b.relaxed;
    if (a.inWindow && EndRank(a, prefer) != EndRank(b, prefer))
        return EndRank(a, prefer) < EndRank(b, prefer);
    const int64_t da = RotationDepth(a.picks);
    const int64_t db = RotationDepth(b.picks);
    if (da != db) return da < db;
    if (a.picks.size() != b.picks.size()) return a.picks.size() < b.picks.size();
    return a.picks < b.picks;
}

std::string LateOrEarlyText(int64_t errorMs) {
    const int64_t seconds = (std::llabs(errorMs) + 999) / 1000;
    auto two = [](int64_t value) { return (value < 10 ? "0" : "") + std::to_string(value); };
    return std::to_string(seconds / 3600) + ":" + two(seconds % 3600 / 60) + ":" +
           two(seconds % 60) + (errorMs > 0 ? " late" : " early");
}

std::string FillMissText(int64_t errorMs, int toleranceSeconds) {
    return "Hour ends " + LateOrEarlyText(errorMs) + " (window " +
           std::to_string(toleranceSeconds) + " s)";
}

FillChoice ChooseFill(const FillProblem& problem) {
    FillSearch search(problem);
    return search.Run();
}

}  // namespace kestrune
