#pragma once
// The in-place shuffle of a line list by random pair exchanges.

#include <cstdint>

#include "building/BuildView.h"
#include "platform/Clock.h"
#include "platform/LineList.h"

namespace kestrune {

// Where each shuffle takes its seed from.
class ShuffleSeeds {
public:
    virtual ~ShuffleSeeds() = default;
    virtual uint32_t NextSeed() = 0;
};

// The time of day in universal time, in milliseconds, read anew at every shuffle: two shuffles
// that start in the same millisecond draw the same sequence.
class ClockSeeds : public ShuffleSeeds {
public:
    explicit ClockSeeds(const Clock& clock) : clock_(clock) {}
    uint32_t NextSeed() override { return static_cast<uint32_t>(clock_.UtcMillisecondsOfDay()); }

private:
    const Clock& clock_;
};

// The k-th shuffle of a run gets first + k, so that a run can be repeated exactly.
class CountingSeeds : public ShuffleSeeds {
public:
    explicit CountingSeeds(uint32_t first) : next_(first) {}
    uint32_t NextSeed() override { return next_++; }

private:
    uint32_t next_;
};

// Number of exchanges less one, by the list's count less one.
int ShuffleSwapCount(int n);

// Exchanges S + 1 random pairs drawn from positions 0 to count - 2 and steps ProgressBar3 once
// for each. An empty list stays empty.
void ShuffleList(LineList& list, ShuffleSeeds& seeds, BuildView& view);

}  // namespace kestrune
