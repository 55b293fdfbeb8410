#include "building/ShuffleList.h"

#include <utility>

namespace kestrune {

namespace {

// A linear congruential generator of its own, so that nothing else in the program moves
// the shuffle's sequence and a seed gives the same order on every platform.
class ShuffleRandom {
public:
    explicit ShuffleRandom(uint32_t seed) : state_(seed) {}
    // Uniform over 0 .. range - 1; 0 when the range is empty.
    uint32_t Below(uint32_t range) {
        state_ = state_ * 134775813u + 1u;
        return static_cast<uint32_t>((static_cast<uint64_t>(state_) * range) >> 32);
    }

private:
    uint32_t state_;
};

}  // namespace

int ShuffleSwapCount(int n) {
    if (n < 100) return 300;
    if (n < 500) return 1500;
    if (n < 1000) return 3000;
    return 3 * n;
}

void ShuffleList(LineList& list, ShuffleSeeds& seeds, BuildView& view) {
    const int count = static_cast<int>(list.size());
    const int swaps = ShuffleSwapCount(count - 1);
    ShuffleRandom random(seeds.NextSeed());
    view.SetMeterMax(Meter::ProgressBar3, swaps + 1);
    view.SetMeterPosition(Meter::ProgressBar3, 0);
    view.SetMeterStep(Meter::ProgressBar3, 1);
    // The last entry is never drawn: the draws cover 0 .. count - 2.
    const uint32_t range = count > 1 ? static_cast<uint32_t>(count - 1) : 0;
    for (int i = 0; i <= swaps; ++i) {
        const uint32_t a = random.Below(range);
        const uint32_t b = random.Below(range);
        if (count > 0) std::swap(list[a], list[b]);
        view.StepMeter(Meter::ProgressBar3);
    }
}

}  // namespace kestrune
