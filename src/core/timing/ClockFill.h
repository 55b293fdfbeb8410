#pragma once
// The fill to the clock: which songs end a build on time. Free of files and windows: it sees
// each slot's candidates (lengths and what the rules compare, as plain numbers) and answers the
// choice that lands closest to the end, searching every choice within a budget, not greedily.
// Nothing here throws.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

struct FillCandidate {
    int64_t ms = 0;  // playing time; a song no longer than the overlap is never chosen
    // Two songs that share a key may not both be in the fill (the same file, or the same
    // artist, title or album where a rule keeps them apart). Keys are small numbers >= 0.
    std::vector<int> keys;
    int genre = -1;  // two songs in a row of one genre >= 0 break the genre rule
    // A song the rules do not count (a jingle of an exempt category) leaves the genre before
    // it as the one the next song is compared with.
    bool counted = true;
};

struct FillSlot {
    // From the top of the category's rotation down, each one that keeps the rules against
    // what was placed before the fill. A slot without one is passed over, as the walk does.
    std::vector<FillCandidate> candidates;
};

struct FillProblem {
    std::vector<FillSlot> slots;  // the template from where the fill starts, in order
    int64_t targetMs = 0;         // what the fill must add, joins taken off
    int64_t toleranceMs = 0;      // either side of the target
    int64_t overlapMs = 0;        // taken off each item placed (its join with the next one)
    int lastGenre = -1;           // of the song placed before the fill
    size_t maxChoices = 8;        // how deep into each rotation the fill may look
    size_t nodeBudget = 200000;   // choices tried at most before the best so far is taken
};

inline constexpr size_t kPassedOver = static_cast<size_t>(-1);

struct FillChoice {
    // One entry per slot used, in order: the candidate's index, or kPassedOver for a slot
    // without candidates. The fill uses slots 0 .. picks.size() - 1 and ends there.
    std::vector<size_t> picks;
    int64_t addedMs = 0;  // what the chosen items add, joins taken off
    int64_t errorMs = 0;  // addedMs - targetMs: above 0 late, below 0 early
    bool inWindow = false;
    bool searchedAll = true;  // false when the budget ran out first
};

// The best choice: one that lands within the window before any that does not; among those
// that land, the one least far down the rotations (the sum of the picks' indices), then the
// one of fewer slots, then the first in slot order; among those that miss, the closest, then
// likewise. Slot order is kept and no slot is used twice.
FillChoice ChooseFill(const FillProblem& problem);

// "Hour ends 0:00:41 late (window 2 s)", or "early"; the seconds rounded up, so that a miss
// never reads as within its window.
std::string FillMissText(int64_t errorMs, int toleranceSeconds);

// Whether `a` is the better of two choices of the same problem, by the order above.
bool BetterFill(const FillChoice& a, const FillChoice& b);

}  // namespace kestrune
