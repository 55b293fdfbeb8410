#pragma once
// A slot of the clock template that starts at a time of the hour: news at :00 (hard: exactly,
// within the timing's tolerance), a spot break at :20 (soft: within a window either side), a
// legal ID before :59:50 (at that time at the latest, within a window before it). The times of
// a template live apart from its slots, by slot index, so that a session file keeps its format.
// Pure; nothing here throws.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

enum class SlotTimeKind { Hard, Soft, Before };

inline constexpr int32_t kDefaultSlotWindowSeconds = 30;

struct SlotTime {
    int32_t second = 0;  // of the hour, 0 .. 3599
    SlotTimeKind kind = SlotTimeKind::Hard;
    int32_t windowSeconds = kDefaultSlotWindowSeconds;  // soft and before; hard has the tolerance
    bool operator==(const SlotTime&) const = default;
};

// ":20:00" and back; the parse takes ":20", ":20:00", "20:00", "20" and "0:20:00" (an hour of 0
// only), minutes 0-59 and seconds 0-59, blanks round it.
std::string HourMarkText(int32_t second);
std::optional<int32_t> ParseHourMark(std::string_view text);

// "hard", "soft", "before" and back.
const char* SlotTimeKindName(SlotTimeKind kind);
std::optional<SlotTimeKind> ParseSlotTimeKind(std::string_view text);

// "at :20:00, hard", "at :20:00, soft (30 s)", "before :59:50 (30 s)": how the template shows it.
std::string SlotTimeText(const SlotTime& time);

// How far before and after its set time an item still starts on time.
struct StartWindow {
    int64_t earlyMs = 0;
    int64_t lateMs = 0;
};
StartWindow WindowOf(const SlotTime& time, int toleranceSeconds);

// The set time of a slot whose occurrence is due next at or after `fromMs` (milliseconds from the
// top of the hour the build starts in).
int64_t NextOccurrenceMs(const SlotTime& time, int64_t fromMs);
// The occurrence nearest to `atMs`, and whether `atMs` is within its window.
int64_t NearestOccurrenceMs(const SlotTime& time, int64_t atMs);
bool StartsOnTime(const SlotTime& time, int64_t startMs, int64_t dueMs, int toleranceSeconds);

// "Slot 6 at :20:00 starts 0:00:41 late (window 30 s)": the error from the set time, in whole
// seconds rounded up so that a miss never reads as on time.
std::string SlotMissText(size_t slotIndex, const SlotTime& time, int64_t errorMs,
                         int toleranceSeconds);

// The times of one template, by slot index. Slots without a time have no entry.
class SlotTimes {
public:
    std::optional<SlotTime> At(size_t slot) const;
    void Set(size_t slot, const std::optional<SlotTime>& time);
    // The slot went: the times of the slots after it move up with them.
    void Erase(size_t slot);
    void Swap(size_t a, size_t b);
    void Clear() { bySlot_.clear(); }
    bool Empty() const { return bySlot_.empty(); }
    const std::map<size_t, SlotTime>& BySlot() const { return bySlot_; }
    bool operator==(const SlotTimes&) const = default;

private:
    std::map<size_t, SlotTime> bySlot_;
};

}  // namespace kestrune
