#include <gtest/gtest.h>

#include <algorithm>

#include "building/ShuffleList.h"

namespace kestrune {
namespace {

// Counts every call on the micro shuffle meter.
class MeterCountingView : public HeadlessView {
public:
    void StepMeter(Meter meter) override {
        if (meter == Meter::ProgressBar3) ++steps;
        HeadlessView::StepMeter(meter);
    }
    int steps = 0;
};

class FixedClock : public Clock {
public:
    LocalDateTime Now() const override { return {}; }
    int64_t UtcMillisecondsOfDay() const override { return millis; }
    int64_t millis = 0;
};

LineList Numbered(int count) {
    LineList list;
    for (int i = 0; i < count; ++i) list.push_back("song" + std::to_string(i) + ".mp3");
    return list;
}

TEST(ShuffleList, SwapCountsFollowTheListSize) {
    EXPECT_EQ(ShuffleSwapCount(0), 300);
    EXPECT_EQ(ShuffleSwapCount(99), 300);
    EXPECT_EQ(ShuffleSwapCount(100), 1500);
    EXPECT_EQ(ShuffleSwapCount(499), 1500);
    EXPECT_EQ(ShuffleSwapCount(500), 3000);
    EXPECT_EQ(ShuffleSwapCount(999), 3000);
    EXPECT_EQ(ShuffleSwapCount(1000), 3000);
    EXPECT_EQ(ShuffleSwapCount(1199), 3597);

    // S + 1 exchanges, each one step of the micro shuffle meter.
    for (const auto& [count, exchanges] :
         std::vector<std::pair<int, int>>{{1, 301}, {100, 301}, {101, 1501}, {1200, 3598}}) {
        LineList list = Numbered(count);
        MeterCountingView view;
        CountingSeeds seeds(7);
        ShuffleList(list, seeds, view);
        EXPECT_EQ(view.steps, exchanges) << count;
        EXPECT_EQ(view.State(Meter::ProgressBar3).maximum, exchanges);
        EXPECT_EQ(view.State(Meter::ProgressBar3).position, exchanges);
        EXPECT_EQ(view.State(Meter::ProgressBar3).step, 1);
    }
}

TEST(ShuffleList, ShortListsAndTheLastEntryKeepTheirPlace) {
    CountingSeeds seeds(12345);
    MeterCountingView view;
    LineList empty;
    ShuffleList(empty, seeds, view);
    EXPECT_TRUE(empty.empty());

    LineList one{"only.mp3"};
    ShuffleList(one, seeds, view);
    EXPECT_EQ(one, LineList{"only.mp3"});

    LineList two{"first.mp3", "second.mp3"};
    ShuffleList(two, seeds, view);
    EXPECT_EQ(two, (LineList{"first.mp3", "second.mp3"}));

    for (int count : {3, 10, 150, 1200}) {
        const LineList original = Numbered(count);
        LineList list = original;
        ShuffleList(list, seeds, view);
        EXPECT_EQ(list.back(), original.back()) << count;
        if (count >= 10) {
            EXPECT_NE(list, original) << count;
        }
        LineList sorted = list, expected = original;
        std::sort(sorted.begin(), sorted.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sorted, expected) << "a shuffle only reorders";
    }
}

TEST(ShuffleList, TheSeedDecidesTheOrder) {
    HeadlessView view;
    FixedClock clock;
    clock.millis = ((18 * 60 + 5) * 60 + 31) * 1000LL + 250;
    ClockSeeds fromClock(clock);
    CountingSeeds fixed(static_cast<uint32_t>(clock.millis));

    LineList a = Numbered(50), b = Numbered(50);
    ShuffleList(a, fromClock, view);
    ShuffleList(b, fixed, view);
    EXPECT_EQ(a, b) << "the clock's millisecond of the day is the seed";

    // Two shuffles in the same millisecond draw the same sequence; the counting seeds do not.
    LineList c = Numbered(50);
    ShuffleList(c, fromClock, view);
    EXPECT_EQ(a, c);
    LineList d = Numbered(50);
    ShuffleList(d, fixed, view);
    EXPECT_NE(a, d);

    // Every position but the last is reached: the draws are spread over the whole range.
    std::vector<int> moved(20, 0);
    CountingSeeds seeds(1);
    for (int round = 0; round < 50; ++round) {
        LineList list = Numbered(20);
        ShuffleList(list, seeds, view);
        for (int i = 0; i < 20; ++i) moved[i] += list[i] != "song" + std::to_string(i) + ".mp3";
    }
    for (int i = 0; i < 19; ++i) EXPECT_GT(moved[i], 40) << i;
    EXPECT_EQ(moved[19], 0);
}

}  // namespace
}  // namespace kestrune
