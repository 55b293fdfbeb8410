#include <gtest/gtest.h>

#include <algorithm>

#include "timing/ClockFill.h"
#include "timing/TimingSettings.h"

namespace kestrune {
namespace {

FillCandidate Song(int64_t ms, std::vector<int> keys = {}, int genre = -1) {
    return FillCandidate{ms, std::move(keys), genre};
}

// A song the walk would not take first: it breaks a rule, or comes round early.
FillCandidate Relaxed(int64_t ms) {
    FillCandidate song = Song(ms);
    song.relaxed = true;
    return song;
}

FillProblem Problem(std::vector<FillSlot> slots, int64_t target, int64_t tolerance = 2000) {
    FillProblem p;
    p.slots = std::move(slots);
    p.targetMs = target;
    p.toleranceMs = tolerance;
    return p;
}

// Within the window the station's side of the hour comes first: over (the item under way
// fades at the hour rather than leaving a gap), under, or the nearest; then the rotations.
TEST(ClockFill, PrefersTheSideOfTheHourItIsAskedFor) {
    // The top songs end 1.5 s early; one further down ends 1 s late, another 0.2 s early.
    FillProblem problem =
        Problem({{{Song(100000)}}, {{Song(98500), Song(101000), Song(99800)}}},
                200000);
    const struct {
        EndPreference prefer;
        std::vector<size_t> picks;
    } cases[] = {{EndPreference::Rotation, {0, 0}},
                 {EndPreference::Over, {0, 1}},
                 {EndPreference::Under, {0, 0}},
                 {EndPreference::Closest, {0, 2}}};
    for (const auto& c : cases) {
        problem.prefer = c.prefer;
        const FillChoice choice = ChooseFill(problem);
        EXPECT_TRUE(choice.inWindow);
        EXPECT_EQ(choice.picks, c.picks) << static_cast<int>(c.prefer);
    }
    EXPECT_EQ(ParseTimingSettings("[Timing]\r\n").prefer, EndPreference::Over);
    EXPECT_EQ(ParseTimingSettings("[Timing]\r\nprefer=under\r\n").prefer, EndPreference::Under);
    EXPECT_EQ(ParseTimingSettings("[Timing]\r\nprefer=closest\r\n").prefer,
              EndPreference::Closest);
}

TEST(ClockFill, ChoosesTheLandingChoiceNearestTheTopOfEachRotation) {
    const struct {
        const char* what;
        FillProblem problem;
        std::vector<size_t> picks;
        int64_t errorMs;
        bool inWindow;
    } cases[] = {
        {"the top songs land: nothing else is looked at",
         Problem({{{Song(180000), Song(200000)}}, {{Song(240000), Song(100000)}}}, 420000),
         {0, 0}, 0, true},
        // A greedy walk of the tops would end 0:00:40 late; one song further down lands.
        {"a song further down the second rotation lands",
         Problem({{{Song(180000), Song(200000)}}, {{Song(280000), Song(241000)}}}, 420000),
         {0, 1}, 1000, true},
        {"the fill may end before the last slot",
         Problem({{{Song(300000)}}, {{Song(200000)}}, {{Song(30000)}}}, 300500), {0}, -500,
         true},
        // {1, 1} and {2, 0} land alike, as deep: the first in slot order wins.
        {"the shallower of landing choices, then the first",
         Problem({{{Song(100000), Song(150000), Song(120000)}}, {{Song(60000), Song(30000)}}},
                 180000),
         {1, 1}, 0, true},
        {"nothing lands: the closest is placed, late",
         Problem({{{Song(200000), Song(230000)}}, {{Song(200000)}}}, 388000), {0, 0}, 12000,
         false},
        {"nothing lands: the closest is placed, early",
         Problem({{{Song(200000)}}, {{Song(500000)}}}, 300000), {0}, -100000, false},
        {"a slot without songs is passed over",
         Problem({{{Song(100000)}}, {}, {{Song(50000)}}}, 150000), {0, kPassedOver, 0}, 0, true},
        {"two songs of one artist are never both in the fill",
         Problem({{{Song(100000, {1}), Song(101000, {2})}}, {{Song(100000, {1})}}}, 201000),
         {1, 0}, 0, true},
        {"a relaxed song only where nothing that keeps the rules lands",
         Problem({{{Song(100000), Relaxed(150000)}}, {{Song(50000)}}}, 150000), {0, 0}, 0,
         true},
        {"a relaxed song rather than an hour short",
         Problem({{{Song(100000), Relaxed(150000)}}, {{Song(20000)}}}, 150000), {1}, 0, true},
        // Over the hour with two relaxed songs, or early with one.
        {"the fewest relaxed songs before the preferred side of the hour",
         [] {
             FillProblem p =
                 Problem({{{Song(100000), Relaxed(101500)}}, {{Relaxed(49000)}}}, 150000);
             p.prefer = EndPreference::Over;
             return p;
         }(),
         {0, 0}, -1000, true},
        {"two songs in a row of one genre break the genre rule",
         Problem({{{Song(100000, {}, 3), Song(99000, {}, 4)}}, {{Song(101000, {}, 3)}}}, 200000),
         {1, 0}, 0, true},
    };
    for (const auto& c : cases) {
        const FillChoice choice = ChooseFill(c.problem);
        EXPECT_EQ(choice.picks, c.picks) << c.what;
        EXPECT_EQ(choice.errorMs, c.errorMs) << c.what;
        EXPECT_EQ(choice.inWindow, c.inWindow) << c.what;
        EXPECT_TRUE(choice.searchedAll) << c.what;
    }
}

TEST(ClockFill, TheOverlapIsTakenOffEachItemAndTheGenreBeforeTheFillCounts) {
    FillProblem p = Problem({{{Song(181000), Song(182000)}}, {{Song(241000)}}}, 420000, 0);
    p.overlapMs = 1000;
    EXPECT_EQ(ChooseFill(p).picks, (std::vector<size_t>{0, 0}));
    p.slots[0].candidates[0].genre = 5;
    p.lastGenre = 5;
    const FillChoice choice = ChooseFill(p);
    EXPECT_EQ(choice.picks, (std::vector<size_t>{1, 0}));
    EXPECT_EQ(choice.errorMs, 1000);
    // A jingle the rules do not count leaves the genre before it for the next song.
    FillCandidate jingle = Song(10000, {}, 6);
    jingle.counted = false;
    FillProblem around = Problem({{{Song(100000, {}, 3)}}, {{jingle}},
                                  {{Song(100000, {}, 3), Song(102000, {}, 4)}}},
                                 210000, 0);
    EXPECT_EQ(ChooseFill(around).picks, (std::vector<size_t>{0, 0, 1}));
    // A song no longer than the overlap would take time back: never chosen, and the fill
    // cannot go on past a slot it cannot fill.
    p.slots[0].candidates = {Song(1000)};
    EXPECT_TRUE(ChooseFill(p).picks.empty());
}

TEST(ClockFill, LooksNoDeeperIntoARotationThanAllowedAndStopsAtItsBudget) {
    FillProblem p = Problem({{{Song(100000), Song(100000), Song(150000)}}}, 150000);
    p.maxChoices = 2;
    EXPECT_FALSE(ChooseFill(p).inWindow);
    p.maxChoices = 3;
    EXPECT_EQ(ChooseFill(p).picks, (std::vector<size_t>{2}));

    // Twenty slots of eight songs that can never land: the search gives up at its budget with
    // the closest it saw.
    FillProblem wide;
    for (int s = 0; s < 20; ++s) {
        FillSlot slot;
        for (int c = 0; c < 8; ++c) slot.candidates.push_back(Song(1000));
        wide.slots.push_back(slot);
    }
    wide.targetMs = 1000000;
    wide.nodeBudget = 5000;
    const FillChoice choice = ChooseFill(wide);
    EXPECT_FALSE(choice.searchedAll);
    EXPECT_FALSE(choice.inWindow);
    EXPECT_LT(choice.errorMs, 0);
}

TEST(ClockFill, AStretchBeforeATimedItemUsesEverySlot) {
    auto stretch = [](std::vector<FillSlot> slots, int64_t target) {
        FillProblem p = Problem(std::move(slots), target);
        p.minSlots = p.slots.size();
        return p;
    };
    const struct {
        const char* what;
        FillProblem problem;
        std::vector<size_t> picks;
        int64_t errorMs;
        bool inWindow;
        bool found;
    } cases[] = {
        // Free to stop, the fill would place the first song alone (on time); the stretch must
        // place all three and lands only far down the rotations.
        {"every slot is used",
         stretch({{{Song(300000), Song(100000)}}, {{Song(100000), Song(110000)}},
                  {{Song(95000), Song(90000)}}},
                 300000),
         {1, 1, 1}, 0, true, true},
        {"the shallowest choice that lands",
         stretch({{{Song(300000), Song(100000)}}, {{Song(100000), Song(110000)}},
                  {{Song(95000), Song(90000)}}},
                 295000),
         {1, 0, 0}, 0, true, true},
        {"too long by every choice: the shortest is placed, late",
         stretch({{{Song(200000), Song(150000)}}, {{Song(200000), Song(180000)}}}, 200000),
         {1, 1}, 130000, false, true},
        {"a slot without songs is passed over, the others still used",
         stretch({{{Song(100000)}}, {}, {{Song(50000), Song(60000)}}}, 160000),
         {0, kPassedOver, 1}, 0, true, true},
        {"the rules leave no way to use every slot",
         stretch({{{Song(100000, {1})}}, {{Song(100000, {1})}}}, 200000), {}, -200000, false,
         false},
    };
    for (const auto& c : cases) {
        const FillChoice choice = ChooseFill(c.problem);
        EXPECT_EQ(choice.picks, c.picks) << c.what;
        EXPECT_EQ(choice.errorMs, c.errorMs) << c.what;
        EXPECT_EQ(choice.inWindow, c.inWindow) << c.what;
        EXPECT_EQ(choice.found, c.found) << c.what;
    }

    // The end of a build with a timed item among its slots (a legal ID just before the hour):
    // the item must be placed and start within its limits, and the end still lands.
    FillProblem end = Problem({{{Song(100000), Song(90000)}},
                               {{Song(10000), Song(30000)}, StartLimits{95000, 100000}},
                               {{Song(20000), Song(40000)}}},
                              150000);
    FillChoice ending = ChooseFill(end);
    EXPECT_EQ(ending.picks, (std::vector<size_t>{0, 0, 1}));
    EXPECT_TRUE(ending.inWindow);
    // Limits no choice meets: the least miss, the item's lateness and the end's together.
    end.slots[1].start = StartLimits{50000, 60000};
    ending = ChooseFill(end);
    EXPECT_EQ(ending.picks, (std::vector<size_t>{0, 0, 1}));
    EXPECT_FALSE(ending.inWindow);
    EXPECT_EQ(ending.missMs, 40000);

    // Twenty slots whose rotations differ by seconds: the bounds lead the search to a choice
    // that lands before its budget runs out.
    FillProblem wide;
    for (int s = 0; s < 20; ++s) {
        FillSlot slot;
        for (int c = 0; c < 8; ++c) slot.candidates.push_back(Song(180000 + 1000 * c));
        wide.slots.push_back(slot);
    }
    wide.minSlots = wide.slots.size();
    wide.targetMs = 20 * 180000 + 7000;
    wide.toleranceMs = 500;
    const FillChoice choice = ChooseFill(wide);
    EXPECT_TRUE(choice.inWindow);
    EXPECT_EQ(choice.picks.size(), 20u);
}

// A slot whose category's one song that keeps the rules that never break is taken by the slot
// before it: passable, it is passed over and the slots after it land the end; otherwise the
// fill ends there, short. A slot whose song may follow is never passed over for the time.
TEST(ClockFill, APassableSlotIsPassedOverOnlyWhereNoneOfItsSongsMayFollow) {
    for (const bool passable : {false, true}) {
        FillSlot current({Song(200000, {1})});
        current.category = 0;
        current.passable = passable;
        FillSlot again = current;
        FillSlot gold({Song(150000, {2}), Song(100000, {3})});
        gold.category = 1;
        const FillChoice choice = ChooseFill(Problem({current, again, gold}, 350000));
        EXPECT_EQ(choice.inWindow, passable);
        EXPECT_EQ(choice.picks, passable ? (std::vector<size_t>{0, kPassedOver, 0})
                                         : (std::vector<size_t>{0}));
        EXPECT_EQ(choice.passed, passable ? 1u : 0u);
    }
    // Would land only by passing the first slot over, but its song may be placed: it misses.
    FillSlot first({Song(200000, {1})});
    first.passable = true;
    const FillChoice choice = ChooseFill(Problem({first, {{Song(100000, {2})}}}, 100000));
    EXPECT_FALSE(choice.inWindow);
    EXPECT_EQ(std::count(choice.picks.begin(), choice.picks.end(), kPassedOver), 0);
}

TEST(ClockFill, NamesAMissInWholeSecondsRoundedUp) {
    EXPECT_EQ(FillMissText(41000, 2), "Hour ends 0:00:41 late (window 2 s)");
    EXPECT_EQ(FillMissText(-2001, 2), "Hour ends 0:00:03 early (window 2 s)");
    EXPECT_EQ(FillMissText(3725400, 5), "Hour ends 1:02:06 late (window 5 s)");
}

TEST(TimingSettings, DefaultsWhenAbsentAndEveryKeyRoundTrips) {
    EXPECT_TRUE(ParseTimingSettings("").AllDefault());
    EXPECT_TRUE(ParseTimingSettings("[Rules]\r\ntitle_hours=2\r\n").AllDefault());
    const TimingSettings exact{FillMode::Exact, 5, 3};
    EXPECT_EQ(ParseTimingSettings(WithTimingSettings("[Config]\r\nplaylistsdir=/p\r\n", exact)),
              exact);
    EXPECT_EQ(WithTimingSettings("", exact), "[Timing]\r\nfill=exact\r\ntolerance=5\r\noverlap=3\r\n");
    const TimingSettings odd = ParseTimingSettings(
        "[timing]\r\nFILL=sometimes\r\ntolerance=-4\r\noverlap=\r\n");
    EXPECT_EQ(odd.fill, FillMode::Walk);
    EXPECT_EQ(odd.toleranceSeconds, 0);
    EXPECT_EQ(odd.overlapSeconds, 0);
    // A value that cannot be used keeps the default and is named by file, section and key;
    // it stops nothing.
    const struct {
        const char* line;
        TimingSettings expected;
        const char* problem;
    } cases[] = {
        {"tolerance=2.5", {}, "/s/kestrune.ini, [Timing] tolerance=2.5: not a whole number of "
                              "seconds from 0 to 120; the default 2 is used."},
        {"overlap=2s", {}, "/s/kestrune.ini, [Timing] overlap=2s: not a whole number of "
                           "seconds from 0 to 30; the default 0 is used."},
        {"overlap=1e3", {}, "/s/kestrune.ini, [Timing] overlap=1e3: not a whole number of "
                            "seconds from 0 to 30; the default 0 is used."},
        {"overlap=2000", {}, "/s/kestrune.ini, [Timing] overlap=2000: not a whole number of "
                             "seconds from 0 to 30; the default 0 is used."},
        {"tolerance=3600", {}, "/s/kestrune.ini, [Timing] tolerance=3600: not a whole number of "
                               "seconds from 0 to 120; the default 2 is used."},
        {"tolerance=\x1b[2J", {}, "/s/kestrune.ini, [Timing] tolerance=\\x1B[2J: not a whole "
                                   "number of seconds from 0 to 120; the default 2 is used."},
        {"tolerance=120", {FillMode::Walk, 120, 0}, ""},
        {"overlap=30", {FillMode::Walk, 2, 30}, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> problems;
        const TimingSettings read = ParseTimingSettings(
            std::string("[Timing]\r\n") + c.line + "\r\n", &problems, "/s/kestrune.ini");
        EXPECT_EQ(read, c.expected) << c.line;
        EXPECT_EQ(problems, *c.problem ? std::vector<std::string>{c.problem}
                                       : std::vector<std::string>{})
            << c.line;
    }
}

}  // namespace
}  // namespace kestrune
