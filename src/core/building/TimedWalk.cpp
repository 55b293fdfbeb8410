// The walk with timed slots. Each timed item is an anchor at its time; the untimed slots are a
// pattern, walked in the template's order round and round whatever the template's length (one
// pass shorter than the hour, or longer and cut). Between two anchors the fill chooses how many
// of the pattern's next slots to take so that the next anchor starts in its window, and the
// walk goes on where that stretch left off. The anchor that ends the build has its item chosen
// first, so that the stretch before it ends the build on time too. An item airs at its time or
// not at all, never late or early.

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "building/BuildReport.h"
#include "building/PlaylistWalk.h"
#include "platform/TimeTexts.h"

namespace kestrune {

std::vector<PlaylistWalk::Anchor> PlaylistWalk::AnchorsOfBuild() const {
    std::vector<Anchor> anchors;
    for (const auto& [slot, time] : s_.slotTimes.BySlot()) {
        if (slot >= s_.lbClockwheelTemplate.size()) continue;
        // One due at the end belongs to the hour after: the build ends before it.
        for (int64_t due = NextOccurrenceMs(time, 0); due < desiredMs_ - toleranceMs_;
             due = NextOccurrenceMs(time, due + 1))
            anchors.push_back(Anchor{static_cast<int>(slot), time, due});
    }
    std::stable_sort(anchors.begin(), anchors.end(),
                     [](const Anchor& a, const Anchor& b) { return a.dueMs < b.dueMs; });
    return anchors;
}

std::pair<bool, std::string> PlaylistWalk::WalkTimed() {
    patternAt_ = 0;
    untimedSlots_ = 0;
    for (size_t slot = 0; slot < s_.lbClockwheelTemplate.size(); ++slot)
        untimedSlots_ += s_.slotTimes.At(slot) ? 0 : 1;
    const std::vector<Anchor> anchors = AnchorsOfBuild();
    for (size_t i = 0; i < anchors.size(); ++i) {
        const Anchor& anchor = anchors[i];
        const bool endsBuild =
            i + 1 == anchors.size() && desiredMs_ - anchor.dueMs <= kFillHorizonMs;
        if (auto end = WalkPatternTo(anchor.dueMs - kFillHorizonMs)) return {false, *end};
        if (auto end = LandAnchor(anchor, endsBuild)) return {false, *end};
    }
    if (auto end = WalkPatternTo(desiredMs_ - kFillHorizonMs)) return {false, *end};
    const std::string miss = FinishByFill(Pattern(kFillSlots));
    return {ReachedByFill(),
            miss.empty() ? CompleteStatus() : CompleteStatus() + " " + miss + "."};
}

std::vector<int> PlaylistWalk::Pattern(size_t count) const {
    std::vector<int> pattern;
    const size_t slots = s_.lbClockwheelTemplate.size();
    if (untimedSlots_ == 0) return pattern;
    for (size_t slot = static_cast<size_t>(patternAt_); pattern.size() < count;
         slot = (slot + 1) % slots)
        if (!s_.slotTimes.At(slot)) pattern.push_back(static_cast<int>(slot));
    return pattern;
}

int PlaylistWalk::StepPattern() {
    const int slot = Pattern(1).front();
    HandleSlot(slot);
    patternAt_ = static_cast<int>((static_cast<size_t>(slot) + 1) % s_.lbClockwheelTemplate.size());
    return slot;
}

std::optional<std::string> PlaylistWalk::StepPatternChecked(size_t& stepsWithoutTime) {
    const int64_t before = totalMs_;
    const int slot = StepPattern();
    stepsWithoutTime = totalMs_ > before ? 0 : stepsWithoutTime + 1;
    // A whole pass of the pattern that placed no time would go round for ever.
    if (stepsWithoutTime >= untimedSlots_) return std::string(kBuildCannotProgress);
    // Between two slots every file is whole: a stop here loses nothing.
    c_.reader.Pump();
    if (c_.reader.StopRequested()) return StoppedStatus(slot);
    return std::nullopt;
}

std::optional<std::string> PlaylistWalk::WalkPatternTo(int64_t untilMs) {
    size_t stepsWithoutTime = 0;
    while (totalMs_ < untilMs && untimedSlots_ > 0)
        if (auto end = StepPatternChecked(stepsWithoutTime)) return end;
    return std::nullopt;
}

std::optional<std::pair<std::string, int64_t>> PlaylistWalk::ItemEndingTheBuild(
    const Anchor& anchor) {
    const std::string& slotFile = SlotFileOf(anchor.slot);
    std::vector<std::string> files;
    const FillSlot slot =
        FillCandidates(slotFile, PlaylistIndexOf(slotFile, current_), kFillChoices, files);
    const StartWindow window = WindowOf(anchor.time, c_.timing.toleranceSeconds);
    const int64_t opens = anchor.dueMs - window.earlyMs;
    const int64_t closes = anchor.dueMs + window.lateMs;
    std::optional<std::pair<std::string, int64_t>> best;
    int64_t bestOff = 0;
    for (size_t k = 0; k < files.size(); ++k) {
        // Where it starts when it ends the build on the dot, and how far that is from its window.
        const int64_t start = desiredMs_ - NetMs(slot.candidates[k].ms);
        const int64_t off = start < opens ? opens - start : start > closes ? start - closes : 0;
        if (!best || off < bestOff) {
            best = std::make_pair(files[k], start);
            bestOff = off;
        }
    }
    return best;
}

std::optional<std::string> PlaylistWalk::LandAnchor(const Anchor& anchor, bool endsBuild) {
    const int tolerance = c_.timing.toleranceSeconds;
    const StartWindow window = WindowOf(anchor.time, tolerance);
    const int64_t opens = anchor.dueMs - window.earlyMs;
    const int64_t closes = anchor.dueMs + window.lateMs;
    std::optional<std::pair<std::string, int64_t>> ending;
    if (endsBuild) ending = ItemEndingTheBuild(anchor);
    int64_t half = (window.lateMs + window.earlyMs) / 2;
    int64_t target = opens + half;
    if (ending) {
        // The stretch ends where the item both starts in its window and ends the build within
        // the tolerance.
        const int64_t low = std::max(opens, ending->second - toleranceMs_);
        const int64_t high = std::min(closes, ending->second + toleranceMs_);
        if (low <= high) {
            target = low + (high - low) / 2;
            half = (high - low) / 2;
        } else {
            // No item of its category ends the build from its window: it lands at its time as
            // any anchor does, and the fill after it ends the build.
            ending.reset();
        }
    }
    const size_t placedBefore = s_.lbFinalPlaylist.size();
    size_t stepsWithoutTime = 0;
    while (totalMs_ < target - half && untimedSlots_ > 0) {
        const std::vector<int> pattern = Pattern(kFillSlots);
        const FillChoice choice = FillAhead(pattern, target - totalMs_, half, 0, false);
        if (choice.found && choice.inWindow) {
            if (!choice.picks.empty())
                patternAt_ = static_cast<int>((static_cast<size_t>(pattern[choice.picks.size() - 1]) +
                                               1) % s_.lbClockwheelTemplate.size());
            break;
        }
        // Due sooner than any item ends: it is passed over now, never aired late.
        if (choice.found && choice.picks.empty()) break;
        // No choice lands it from here: one slot of the walk, and again from there, until its
        // window opens.
        if (totalMs_ >= opens) break;
        if (auto end = StepPatternChecked(stepsWithoutTime)) return end;
    }
    // The stretch took the item chosen to end the build: the walk chooses another.
    if (ending && std::find(s_.lbFinalPlaylist.begin() + static_cast<long>(placedBefore),
                            s_.lbFinalPlaylist.end(), ending->first) != s_.lbFinalPlaylist.end())
        ending.reset();
    if (!StartsOnTime(anchor.time, totalMs_, anchor.dueMs, tolerance)) {
        PassOverTimed(anchor.slot, anchor.time);
        return std::nullopt;
    }
    PlaceTimed(anchor.slot, anchor.time, anchor.dueMs, [&] {
        if (ending) PlaceFillPick(anchor.slot, ending->first);
        else HandleSlot(anchor.slot);
    });
    return std::nullopt;
}

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

void PlaylistWalk::PassOverTimed(int slot, const SlotTime& time) {
    if (passedOverSlots_.insert(slot).second)
        ReportToUser(c_, "Passed over slot " + std::to_string(slot + 1) + " (" + SlotTimeText(time) +
                             ") at " + PlayingTimeText(static_cast<int32_t>(totalMs_ / 1000)) +
                             " of the build: away from its time.");
}

}  // namespace kestrune
