// The walk with timed slots: each stretch before a timed item is chosen by the fill so that the
// item starts in its window, a timed slot met away from its time is passed over and named, and
// the last part of the build is chosen with its timed items as one. An item airs at its time or
// not at all, never late or early.

#include <string>
#include <utility>
#include <vector>

#include "building/BuildReport.h"
#include "building/PlaylistWalk.h"
#include "building/StopRequest.h"
#include "platform/TimeTexts.h"

namespace kestrune {

void PlaylistWalk::PlaceTimed(int slot, const SlotTime& time, int64_t dueMs,
                              const std::function<void()>& place) {
    const int64_t startMs = totalMs_;
    timedNote_ = "  [slot " + std::to_string(slot + 1) + " " + SlotTimeText(time) + "]";
    place();
    timedNote_.clear();
    const StartWindow window = WindowOf(time, c_.timing.toleranceSeconds);
    const int64_t error = startMs - dueMs;
    if (error >= -window.earlyMs && error <= window.lateMs) return;
    const std::string miss =
        SlotMissText(static_cast<size_t>(slot), time, error, c_.timing.toleranceSeconds);
    ReportToUser(c_, miss);
    s_.lbRuleBreaks.push_back(miss);
}

std::vector<PlaylistWalk::TimedAhead> PlaylistWalk::TimedSlotsAhead(int slot, size_t limit,
                                                                    int64_t ledTo) const {
    const size_t slots = s_.lbClockwheelTemplate.size();
    const bool endNear = desiredMs_ - totalMs_ <= kFillHorizonMs;
    std::vector<TimedAhead> ahead;
    int64_t from = totalMs_;
    for (size_t d = 0; d < limit; ++d) {
        const std::optional<SlotTime> time = s_.slotTimes.At((static_cast<size_t>(slot) + d) % slots);
        if (!time) continue;
        int64_t due = NextOccurrenceMs(*time, from);
        // Reached by the walk, not by a stretch that led to it: the occurrence nearest now,
        // unless its window has passed (the clock came round to the slot after its time): then
        // the next one, and the slot airs then or not at all, never late.
        if (d == 0 && ledTo >= 0) due = ledTo;
        if (d == 0 && ledTo < 0) {
            due = NearestOccurrenceMs(*time, totalMs_);
            if (due + WindowOf(*time, c_.timing.toleranceSeconds).lateMs < totalMs_)
                due = NextOccurrenceMs(*time, totalMs_);
        }
        // One due at the end belongs to the hour after: the build ends before it. A timed item
        // the walk is at is placed, on time or not, unless the end is near.
        if (due >= desiredMs_ - toleranceMs_ && (d > 0 || endNear)) return ahead;
        ahead.push_back(TimedAhead{d, *time, due});
        from = due + 1;  // a slot met again in the same pass is due in a later hour
    }
    return ahead;
}

void PlaylistWalk::PassOverTimed(int slot, const SlotTime& time) {
    if (passedOverSlots_.insert(slot).second)
        ReportToUser(c_, "Passed over slot " + std::to_string(slot + 1) + " (" + SlotTimeText(time) +
                             ") at " + PlayingTimeText(static_cast<int32_t>(totalMs_ / 1000)) +
                             " of the build: away from its time.");
}

std::pair<bool, std::string> PlaylistWalk::WalkTimed() {
    const int slots = static_cast<int>(s_.lbClockwheelTemplate.size());
    int slot = 0;
    int stepsWithoutTime = 0;    // slots walked since the last one that placed playing time
    int64_t due = -1;            // of the timed slot that the last stretch led to; -1: none
    for (;;) {
        const int64_t before = totalMs_;
        const bool endNear = desiredMs_ - totalMs_ <= kFillHorizonMs;
        const std::optional<SlotTime> here = s_.slotTimes.At(static_cast<size_t>(slot));
        size_t steps = 1;
        if (here && due < 0 && !StartsOnTime(*here, totalMs_, NearestOccurrenceMs(*here, totalMs_),
                                          c_.timing.toleranceSeconds)) {
            // The walk came round to a timed slot away from its time (the template is shorter
            // than the hour): it airs at its time or not at all. One due with the next hour is
            // left to the end of the build.
            const bool nextHour =
                NearestOccurrenceMs(*here, totalMs_) >= desiredMs_ - toleranceMs_;
            if (!(endNear && nextHour)) {
                PassOverTimed(slot, *here);
                slot = (slot + 1) % slots;
                if (++stepsWithoutTime >= slots) return {false, kBuildCannotProgress};
                continue;
            }
        }
        const std::vector<TimedAhead> ahead = TimedSlotsAhead(slot, kFillSlots, due);
        due = -1;
        // The end and the timed items of its last part are chosen together, so that an item
        // just before the hour (a legal ID) starts in its window and the hour still ends on it.
        if (endNear || (!ahead.empty() && ahead.front().dueMs >= desiredMs_ - kFillHorizonMs)) {
            const std::string miss = FinishByFill(slot, kFillSlots, ahead);
            return {totalMs_ >= desiredMs_ - toleranceMs_,
                    miss.empty() ? CompleteStatus() : CompleteStatus() + " " + miss + "."};
        }
        if (!ahead.empty() && ahead.front().distance == 0) {
            const TimedAhead& item = ahead.front();
            if (StartsOnTime(item.time, totalMs_, item.dueMs, c_.timing.toleranceSeconds)) {
                PlaceTimed(slot, item.time, item.dueMs, [&] { HandleSlot(slot); });
            } else {
                PassOverTimed(slot, item.time);  // a stretch that led to it missed: never late
            }
        } else if (!ahead.empty()) {
            // The stretch that leads to the timed item, chosen so that it starts on time.
            const TimedAhead& next = ahead.front();
            const StartWindow window = WindowOf(next.time, c_.timing.toleranceSeconds);
            const int64_t centre = next.dueMs + (window.lateMs - window.earlyMs) / 2;
            const FillChoice choice =
                FillAhead(slot, next.distance, centre - totalMs_,
                          (window.lateMs + window.earlyMs) / 2, next.distance, {}, false);
            if (choice.found && !choice.inWindow) {
                // Even its longest choices end early, or its shortest late: the walk goes on,
                // round the template again if it must; the time is met from nearer, or the
                // slot, come round away from it, is passed over. It never airs late.
                HandleSlot(slot);
            } else {
                // No choice keeps the rules in every slot of it: the walk's own choices.
                if (!choice.found)
                    for (size_t k = 0; k < next.distance; ++k)
                        HandleSlot(static_cast<int>((static_cast<size_t>(slot) + k) % slots));
                steps = next.distance;
                due = next.dueMs;
            }
        } else {
            HandleSlot(slot);
        }
        const int last = static_cast<int>((static_cast<size_t>(slot) + steps - 1) % slots);
        slot = static_cast<int>((static_cast<size_t>(slot) + steps) % slots);
        stepsWithoutTime = totalMs_ > before ? 0 : stepsWithoutTime + static_cast<int>(steps);
        if (stepsWithoutTime >= slots) return {false, kBuildCannotProgress};
        PumpMessages();
        if (StopRequested()) return {false, StoppedStatus(last)};
    }
}

}  // namespace kestrune
