// The local clock on the days it changes, in Berlin and New York (2026): the hour it skips, the
// hour it shows twice, the next occurrence of an hour across the change, and the on-air turns.

#include <gtest/gtest.h>

#include "onair/LocalHours.h"
#include "platform/LocalTime.h"
#include "support/TimeZone.h"

namespace kestrune {
namespace {

using testing::ClockChanges;
using testing::ScopedTimeZone;
using testing::UtcMs;

constexpr int64_t kHour = kMsPerHour;
constexpr ClockChanges kZones[] = {testing::kBerlin, testing::kNewYork};

LocalDateTime Reading(int month, int day, int hour, int minute = 0, int second = 0) {
    return LocalDateTime{2026, month, day, hour, minute, second, 0};
}

// The instant the clock jumps in spring: 02:00 standard time.
int64_t Jump(const ClockChanges& z) {
    return UtcMs(2026, z.springMonth, z.springDay, 2 - z.standardOffsetHours);
}
// The first pass of the hour shown twice in autumn (summer time); the second is an hour later.
int64_t FirstPass(const ClockChanges& z) {
    return UtcMs(2026, z.autumnMonth, z.autumnDay, z.repeatedHour - z.standardOffsetHours - 1);
}

TEST(LocalTime, TheSkippedHourIsTheJumpAndTheRepeatedHourHasTwoInstants) {
    for (const ClockChanges& z : kZones) {
        SCOPED_TRACE(z.zone);
        const ScopedTimeZone tz(z.zone);
        const int64_t jump = Jump(z);
        const LocalDateTime skipped = Reading(z.springMonth, z.springDay, 2, 30);
        EXPECT_EQ(KindOfReading(skipped), ReadingKind::Skipped);
        EXPECT_EQ(InstantOfLocal(skipped, RepeatedReading::Earlier), jump);
        EXPECT_EQ(InstantOfLocal(skipped, RepeatedReading::Later), jump);
        EXPECT_EQ(InstantOfLocal(Reading(z.springMonth, z.springDay, 1, 59, 59)), jump - 1000);
        EXPECT_EQ(InstantOfLocal(Reading(z.springMonth, z.springDay, 3)), jump);
        const LocalDateTime after = LocalFieldsOf(jump);
        EXPECT_EQ(after.hour * 100 + after.minute, 300);
        const LocalDateTime before = LocalFieldsOf(jump - 1);
        EXPECT_EQ(before.hour * 10000 + before.minute * 100 + before.second, 15959);
        EXPECT_EQ(before.millisecond, 999);
        EXPECT_EQ(UtcOffsetSecondsAt(jump) - UtcOffsetSecondsAt(jump - 1), 3600);

        const int64_t first = FirstPass(z);
        const LocalDateTime twice = Reading(z.autumnMonth, z.autumnDay, z.repeatedHour, 30);
        EXPECT_EQ(KindOfReading(twice), ReadingKind::Twice);
        EXPECT_EQ(InstantOfLocal(twice), first + kHour / 2) << "the earlier by default";
        EXPECT_EQ(InstantOfLocal(twice, RepeatedReading::Later), first + kHour * 3 / 2);
        EXPECT_TRUE(ReadingIsRepeated(first));
        EXPECT_TRUE(ReadingIsRepeated(first + 2 * kHour - 1));
        EXPECT_FALSE(ReadingIsRepeated(first - 1));
        EXPECT_FALSE(ReadingIsRepeated(first + 2 * kHour));
        EXPECT_EQ(ZoneAbbreviationAt(first), z.summerName);
        EXPECT_EQ(ZoneAbbreviationAt(first + kHour), z.winterName);

        // The day before is 24 hours, the spring day 23, the autumn day 25.
        const auto dayLength = [](int month, int day) {
            return LocalDayStartMs(AddDays({2026, month, day}, 1)) -
                   LocalDayStartMs({2026, month, day});
        };
        EXPECT_EQ(dayLength(z.springMonth, z.springDay - 1), 24 * kHour);
        EXPECT_EQ(dayLength(z.springMonth, z.springDay), 23 * kHour);
        EXPECT_EQ(dayLength(z.autumnMonth, z.autumnDay), 25 * kHour);
    }
}

TEST(LocalTime, EveryInstantAroundTheChangesIsItsOwnReadingsInstant) {
    for (const ClockChanges& z : kZones) {
        SCOPED_TRACE(z.zone);
        const ScopedTimeZone tz(z.zone);
        for (const int64_t change : {Jump(z), FirstPass(z) + kHour}) {
            int repeated = 0;
            for (int64_t t = change - 30 * kHour; t < change + 30 * kHour; t += 7 * 60000 + 1) {
                const LocalDateTime reading = LocalFieldsOf(t);
                const int64_t earlier = InstantOfLocal(reading, RepeatedReading::Earlier);
                const int64_t later = InstantOfLocal(reading, RepeatedReading::Later);
                ASSERT_TRUE(t == earlier || t == later) << t;
                ASSERT_EQ(ReadingIsRepeated(t), earlier != later) << t;
                ASSERT_NE(KindOfReading(reading), ReadingKind::Skipped) << t;
                repeated += earlier != later;
            }
            // Only around the autumn change does the clock show a reading twice: two hours of
            // instants, one 7-minute step each.
            EXPECT_EQ(repeated > 0, change != Jump(z));
            if (repeated > 0) {
                EXPECT_NEAR(repeated, 2 * 60 / 7, 1);
            }
        }
    }
}

TEST(LocalTime, TheNextHourAcrossTheChangeIsReachedOnceADay) {
    for (const ClockChanges& z : kZones) {
        SCOPED_TRACE(z.zone);
        const ScopedTimeZone tz(z.zone);
        const int winter = z.standardOffsetHours;
        // From 20:00 the evening before: standard time before spring, summer time before autumn.
        const int64_t springEve = UtcMs(2026, z.springMonth, z.springDay - 1, 20 - winter);
        const int64_t autumnEve = UtcMs(2026, z.autumnMonth, z.autumnDay - 1, 20 - winter - 1);
        for (int hour = 0; hour < 6; ++hour) {
            SCOPED_TRACE(hour);
            const int64_t spring = hour < 2 ? UtcMs(2026, z.springMonth, z.springDay, hour - winter)
                                   : hour == 2
                                       ? Jump(z)
                                       : UtcMs(2026, z.springMonth, z.springDay, hour - winter - 1);
            EXPECT_EQ(NextLocalHourMs(springEve, hour), spring);
            const int64_t autumn = hour <= z.repeatedHour
                                       ? UtcMs(2026, z.autumnMonth, z.autumnDay, hour - winter - 1)
                                       : UtcMs(2026, z.autumnMonth, z.autumnDay, hour - winter);
            EXPECT_EQ(NextLocalHourMs(autumnEve, hour), autumn);
        }
        // Inside the first pass of the repeated hour, that hour is next reached tomorrow.
        EXPECT_EQ(NextLocalHourMs(FirstPass(z) + 60000, z.repeatedHour),
                  UtcMs(2026, z.autumnMonth, z.autumnDay + 1, z.repeatedHour - winter));
        // At the very instant, it is now.
        EXPECT_EQ(NextLocalHourMs(Jump(z), 3), Jump(z));
    }
}

TEST(LocalHours, TheOnAirTurnsOfTheChangeDays) {
    for (const ClockChanges& z : kZones) {
        SCOPED_TRACE(z.zone);
        const ScopedTimeZone tz(z.zone);
        const CalendarDate spring{2026, z.springMonth, z.springDay};
        const CalendarDate autumn{2026, z.autumnMonth, z.autumnDay};
        const int64_t jump = Jump(z);
        EXPECT_TRUE(LocalPasses(spring, 2, 0, kHour).empty());
        EXPECT_TRUE(LocalPasses(spring, 2, 59, 60000).empty());
        EXPECT_EQ(LocalPasses(spring, 1, 0, kHour),
                  (std::vector<LocalPass>{{jump - kHour, jump, false}}));
        EXPECT_EQ(LocalPasses(spring, 3, 0, kHour),
                  (std::vector<LocalPass>{{jump, jump + kHour, false}}));
        EXPECT_EQ(LocalPasses(spring, 1, 59, 60000),
                  (std::vector<LocalPass>{{jump - 60000, jump, false}}));

        const int64_t first = FirstPass(z);
        const int r = z.repeatedHour;
        EXPECT_EQ(LocalPasses(autumn, r - 1, 0, kHour),
                  (std::vector<LocalPass>{{first - kHour, first, false}}));
        EXPECT_EQ(LocalPasses(autumn, r, 0, kHour),
                  (std::vector<LocalPass>{{first, first + kHour, false},
                                          {first + kHour, first + 2 * kHour, true}}));
        EXPECT_EQ(LocalPasses(autumn, r + 1, 0, kHour),
                  (std::vector<LocalPass>{{first + 2 * kHour, first + 3 * kHour, false}}));
        EXPECT_EQ(LocalPasses(autumn, r, 59, 60000),
                  (std::vector<LocalPass>{{first + kHour - 60000, first + kHour, false},
                                          {first + 2 * kHour - 60000, first + 2 * kHour, true}}));
        EXPECT_EQ(LocalPasses(autumn, 23, 0, kHour),
                  (std::vector<LocalPass>{{LocalDayStartMs(AddDays(autumn, 1)) - kHour,
                                           LocalDayStartMs(AddDays(autumn, 1)), false}}));

        const std::string twice = (r < 10 ? "0" : "") + std::to_string(r) + ":15:00 ";
        EXPECT_EQ(LocalClockText(first + kHour / 4), twice + z.summerName);
        EXPECT_EQ(LocalClockText(first + kHour * 5 / 4), twice + z.winterName);
        EXPECT_EQ(LocalClockText(jump), "03:00:00");
        // The play history's local seconds: both passes read the same.
        EXPECT_EQ(LocalCalendarSeconds(first + kHour / 4),
                  LocalCalendarSeconds(first + kHour * 5 / 4));
    }
}

}  // namespace
}  // namespace kestrune
