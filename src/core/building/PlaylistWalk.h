#pragma once
// The walk of one build, shared by its three files: the walk itself (PlaylistWalk.cpp: shuffle,
// slots, placing), the fill to the clock (FillToClock.cpp) and the walk with timed slots
// (TimedWalk.cpp). Only the builder includes it.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "building/KeptRotations.h"
#include "building/PlaylistBuilder.h"
#include "building/PlaylistFile.h"
#include "building/SongChooser.h"
#include "rules/SongFactsCache.h"
#include "timing/ClockFill.h"
#include "timing/SlotTime.h"

namespace kestrune {

// With the exact fill the walk hands over to the search when this much is left to fill: enough
// songs and breaks to choose from even where the rules leave each category only a few (the
// demo hour, its small categories and its artists apart for three hours, lands within 2 s on
// every seed only from 25 minutes; from 15 it missed on four seeds of ten).
inline constexpr int64_t kFillHorizonMs = 25 * 60 * 1000;
// How many slots ahead the search may look, and how deep into each rotation.
inline constexpr size_t kFillSlots = 24;
inline constexpr size_t kFillChoices = 8;
// An end of the fill more than this early is an hour short, not a timing miss.
inline constexpr int64_t kShortByFillMs = 60 * 1000;
// Entries of a category read for its candidates at most.
inline constexpr size_t kFillScan = 64;

class PlaylistWalk {
public:
    explicit PlaylistWalk(BuildContext& context);

    BuildOutcome Run();

private:
    // --- The walk (PlaylistWalk.cpp)
    BuildOutcome Walk();
    void LogHeader();
    void ShuffleMasterPlaylists();
    void ShuffleFile(const std::string& path);
    // Marks the slot, reshuffles its category when its rotation has come round and loads it
    // into the working list; answers its playlist file.
    std::string LoadSlot(int slot);
    // Under the rotation the working list goes back to its kept category after the slot.
    void PutSlotBack();
    // How far down the slot's category a chooser may look, and the songs at its top still to
    // play this round.
    int32_t Searchable() const;
    size_t Unplayed(size_t playlist) const;
    // One slot of the template; answers the playing time it placed.
    int32_t HandleSlot(int slot);
    void PlaceTopSong(const std::string& slotFile);
    void NameBreak(const RuleBreak& brk, int32_t songStart);
    // Names a slot that gets no song: every song of its category breaks a must rule (`must`,
    // the top song's), or (nothing) those that keep them are placed by the slots before it.
    void PassOverSlot(int slot, const std::optional<RuleBreak>& must);
    void DropOldSongsFromWindow();
    // The file the n-th entry of the slot's working list names.
    std::string SongAt(long long n) const;
    // Moves songs that name no file or cannot be played to the end of the working list, naming
    // each once a build, until a playable one is on top; false when there is none.
    bool BringPlayableSongToTop(const std::string& slotFile);
    void NamePassedOver(const std::string& song, const char* why);
    size_t PlaylistIndexOf(const std::string& slotFile, size_t fallback) const;
    int32_t ShownTotalSeconds() const;
    // Whether a build the fill ended reached its length: an end a little off the hour is a
    // timing miss, named as such; one more than kShortByFillMs early is an hour short (its
    // categories had nothing left that fits).
    bool ReachedByFill() const { return totalMs_ >= desiredMs_ - std::max(toleranceMs_, kShortByFillMs); }
    std::string CompleteStatus() const;
    std::string OverlapTakesAllText() const;
    std::string StoppedStatus(int slot) const;

    // --- The fill to the clock (FillToClock.cpp): lengths in milliseconds, each item less the
    // overlap at its join.
    // Chooses and places the songs of the slots `slotOf` (a prefix of them, at least
    // `minSlots`) so that they add up to the target. A timed slot among them is passed over.
    // With `placeEarly` false, a choice that misses is answered but not placed.
    FillChoice FillAhead(const std::vector<int>& slotOf, int64_t targetMs, int64_t toleranceMs,
                         size_t minSlots, bool placeEarly = true,
                         EndPreference prefer = EndPreference::Rotation);
    // `count` slots of the template from `slot` on, round again as needed.
    std::vector<int> SlotsFrom(int slot, size_t count) const;
    // Fills the end of the build over the slots `slotOf`; answers the miss it named, or nothing
    // when the end is on time.
    std::string FinishByFill(const std::vector<int>& slotOf);
    // Also answers each candidate's file, in the same order.
    // `mustBreak`: where every song breaks a must rule, the first such break.
    FillSlot FillCandidates(const std::string& slotFile, size_t playlist, size_t choices,
                            std::vector<std::string>& files,
                            std::optional<RuleBreak>* mustBreak = nullptr);
    FillCandidate CandidateFor(const std::string& path, bool exempt);
    // Notes the categories of `slotOf` that the fill's `choice` found with nothing left.
    void NoteExhausted(const std::vector<int>& slotOf,
                       const std::vector<std::vector<std::string>>& files,
                       const FillChoice& choice);
    void PlaceFillPick(int slot, const std::string& path);
    int64_t LengthMs(const std::string& path);
    // An item counts for its length less the crossfade at its join, never for less than nothing.
    int64_t NetMs(int64_t lengthMs) const { return std::max<int64_t>(0, lengthMs - overlapMs_); }
    const std::string& SlotFileOf(int slot) const {
        return s_.lbClockwheelTemplate[static_cast<size_t>(slot)];
    }

    // --- Timed slots (TimedWalk.cpp). Each timed item is an anchor at its time; the untimed
    // slots are a pattern walked in the template's order, round and round, each stretch
    // between two anchors taking as many of them as lands the next anchor in its window.
    struct Anchor {
        int slot = 0;
        SlotTime time;
        int64_t dueMs = 0;  // from the build's start
    };
    // Every timed item due within the build, in the order they are due.
    std::vector<Anchor> AnchorsOfBuild() const;
    std::pair<bool, std::string> WalkTimed();
    // Walks the pattern until `untilMs` is reached; answers the closing status when the walk
    // must end (stopped, or a whole pass placed no time).
    std::optional<std::string> WalkPatternTo(int64_t untilMs);
    // The stretch to the anchor, then the anchor: at its time or passed over. The one that ends
    // the build has its item chosen first, so that it ends the build on time too.
    std::optional<std::string> LandAnchor(const Anchor& anchor, bool endsBuild);
    // The item of a timed slot whose start lands the end of the build closest to on time within
    // its window, and that start; nothing when its category has no candidate.
    std::optional<std::pair<std::string, int64_t>> ItemEndingTheBuild(const Anchor& anchor);
    // The next `count` untimed slots from the pattern's place on.
    std::vector<int> Pattern(size_t count) const;
    // Places the pattern's next slot; answers that slot.
    int StepPattern();
    // The same, with the walk's guards: answers the closing status when the walk must end.
    std::optional<std::string> StepPatternChecked(size_t& stepsWithoutTime);
    // Places one timed item by `place`, noting its time in the text log and naming a miss.
    void PlaceTimed(int slot, const SlotTime& time, int64_t dueMs,
                    const std::function<void()>& place);
    // Names, once a build, a timed slot that does not air because it is away from its time.
    void PassOverTimed(int slot, const SlotTime& time);

    BuildContext& c_;
    BuildSession& s_;
    BuildView& view_;
    SongFactsCache songs_;  // every song the build reads, read once
    std::unique_ptr<SongChooser> chooser_;
    FillIds fillIds_;
    std::vector<std::string> exhausted_;  // of the last fill: categories with nothing left

    int32_t windowLimit_ = 0;
    int32_t target_ = 0;
    int32_t placed_ = 0;
    int32_t exactTotal_ = 0;
    int32_t hourClock_ = 0;
    int32_t windowSum_ = 0;
    std::vector<std::string> names_;
    PlaylistLayout layout_;             // of the file whose entries are in the working list
    std::string slotFile_;              // that file
    std::set<std::string> passedOver_;  // songs already named as passed over
    std::vector<int32_t> initial_;
    std::vector<int32_t> remaining_;
    // The categories under `order=rotate`: the job's, or the build's own; keptOf_ gives each
    // master playlist's number among them.
    KeptRotations* kept_ = nullptr;
    std::optional<KeptRotations> ownKept_;
    std::vector<size_t> keptOf_;
    size_t broughtFrom_ = 0;             // where the song on top stood before its choice
    size_t current_ = 0;
    size_t songsBefore_ = 0;  // what the final playlist held when the build began
    int breaks_ = 0;
    int slotsPassedOver_ = 0;  // for a must rule
    std::deque<int32_t> recentSeconds_;  // playing times of the recent songs, for the breaks' ages
    std::string lastGenre_;              // of the song placed last

    bool exact_ = false;
    bool timed_ = false;
    int64_t desiredMs_ = 0;
    int64_t overlapMs_ = 0;
    int64_t toleranceMs_ = 0;
    int64_t totalMs_ = 0;      // what this build placed, joins taken off
    int64_t hourClockMs_ = 0;  // the text log's clock with the exact fill
    std::string timedNote_;    // added to the text log's line of the timed item being placed
    std::set<int> passedOverSlots_;  // timed slots named as passed over
    int patternAt_ = 0;              // the template slot the pattern goes on from
    size_t untimedSlots_ = 0;        // slots of the template without a time
};

}  // namespace kestrune
