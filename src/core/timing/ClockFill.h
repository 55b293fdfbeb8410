#pragma once
// The fill to the clock: which songs end a build on time. Free of files and windows: it sees
// each slot's candidates (lengths and what the rules compare, as plain numbers) and answers the
// choice that lands closest to the end, searching every choice within a budget, not greedily.
// Nothing here throws.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "timing/TimingSettings.h"

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
    // A song the walk would not take first: one that breaks a rule against what was placed
    // before the fill, or that comes round again before the rest of its rotation. The fill
    // takes as few of them as lands the end.
    bool relaxed = false;
};

// When a timed slot's item may start, from the start of the fill.
struct StartLimits {
    int64_t earliestMs = 0;
    int64_t latestMs = 0;
};

struct FillSlot {
    FillSlot() = default;
    FillSlot(std::vector<FillCandidate> songs, std::optional<StartLimits> limits = std::nullopt)
        : candidates(std::move(songs)), start(limits) {}

    // From the top of the category's rotation down, each one that keeps the rules against
    // what was placed before the fill; then, where too few do, the relaxed ones. A slot
    // without any is passed over, as the walk does.
    std::vector<FillCandidate> candidates;
    std::optional<StartLimits> start;  // a timed slot; it must be among the slots used
    // Slots of one category (a number >= 0) draw from one rotation, in its order: a later one
    // takes a song further down than an earlier one, so no song plays before those above it.
    int category = -1;
    // A slot that may get no song even when it has candidates: its category's songs that keep
    // the rules that never break may all be taken by the slots before it.
    bool passable = false;
};

struct FillProblem {
    std::vector<FillSlot> slots;  // the template from where the fill starts, in order
    int64_t targetMs = 0;         // what the fill must add, joins taken off
    int64_t toleranceMs = 0;      // either side of the target
    int64_t overlapMs = 0;        // taken off each item placed (its join with the next one)
    int lastGenre = -1;           // of the song placed before the fill
    size_t maxChoices = 8;        // how deep into each rotation the fill may look
    size_t nodeBudget = 200000;   // choices tried at most before the best so far is taken
    // Slots the fill uses at least (each slot used or passed over when it has no candidate):
    // all of them for the stretch that leads to a timed item, whose start is the target; at
    // least up to the last timed slot for the end of a build.
    size_t minSlots = 0;
    // Among the choices that land: which end first, before how far down the rotations.
    EndPreference prefer = EndPreference::Rotation;
};

inline constexpr size_t kPassedOver = static_cast<size_t>(-1);

struct FillChoice {
    // One entry per slot used, in order: the candidate's index, or kPassedOver for a slot
    // without candidates. The fill uses slots 0 .. picks.size() - 1 and ends there.
    std::vector<size_t> picks;
    int64_t addedMs = 0;  // what the chosen items add, joins taken off
    size_t relaxed = 0;   // relaxed candidates chosen
    size_t passed = 0;    // passable slots with candidates that the choice passes over
    int64_t errorMs = 0;  // addedMs - targetMs: above 0 late, below 0 early
    // How far from on time: how far the timed items start outside their limits, and the
    // end's distance from the target when it is not within the tolerance.
    int64_t missMs = 0;
    bool inWindow = false;  // the end and every timed item on time
    bool searchedAll = true;  // false when the budget ran out first
    // False when no choice uses the slots it must (the rules leave none); picks is empty then.
    bool found = true;
};

// The best choice: one that lands within the window (every timed item too) before any that does
// not; among those that land, the one that passes over fewest slots that had candidates, then
// the one of fewest relaxed candidates, then the one on the preferred side (or, for `Closest`,
// nearest the target), then the one least far down the rotations (the sum of the picks'
// indices), then the one of fewer slots, then the first in slot order; among those that miss, the least miss, then likewise. Slot order is kept and no
// slot is used twice.
FillChoice ChooseFill(const FillProblem& problem);

// "0:00:41 late", or "early": the seconds rounded up, so that a miss never reads as within its
// window.
std::string LateOrEarlyText(int64_t errorMs);
// "Hour ends 0:00:41 late (window 2 s)".
std::string FillMissText(int64_t errorMs, int toleranceSeconds);

// Whether `a` is the better of two choices of the same problem, by the order above.
bool BetterFill(const FillChoice& a, const FillChoice& b,
                EndPreference prefer = EndPreference::Rotation);

}  // namespace kestrune
