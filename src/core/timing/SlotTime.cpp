#include "timing/SlotTime.h"

#include "platform/Digits.h"
#include "platform/TimeTexts.h"
#include "timing/ClockFill.h"

#include <utility>
#include <vector>

namespace kestrune {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// One or two digits, 0 .. 59.
std::optional<int32_t> Sixty(std::string_view digits) {
    if (digits.size() > 2) return std::nullopt;
    const std::optional<int64_t> value = WholeNumber(digits, 59);
    if (!value) return std::nullopt;
    return static_cast<int32_t>(*value);
}

}  // namespace

std::string HourMarkText(int32_t second) { return ":" + TwoDigits(second / 60) + ":" + TwoDigits(second % 60); }

std::optional<int32_t> ParseHourMark(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == ':') text.remove_prefix(1);
    std::vector<std::string_view> parts;
    for (size_t at = 0;;) {
        const size_t colon = text.find(':', at);
        parts.push_back(text.substr(at, colon == std::string_view::npos ? colon : colon - at));
        if (colon == std::string_view::npos) break;
        at = colon + 1;
    }
    // "0:20:00": the hour is the one the slot is in, so only 0 makes sense.
    if (parts.size() == 3) {
        if (parts[0] != "0" && parts[0] != "00") return std::nullopt;
        parts.erase(parts.begin());
    }
    if (parts.size() > 2) return std::nullopt;
    const std::optional<int32_t> minutes = Sixty(parts[0]);
    const std::optional<int32_t> seconds = parts.size() == 2 ? Sixty(parts[1]) : 0;
    if (!minutes || !seconds) return std::nullopt;
    return *minutes * 60 + *seconds;
}

const char* SlotTimeKindName(SlotTimeKind kind) {
    switch (kind) {
    case SlotTimeKind::Hard: return "hard";
    case SlotTimeKind::Soft: return "soft";
    case SlotTimeKind::Before: return "before";
    }
    return "hard";
}

std::optional<SlotTimeKind> ParseSlotTimeKind(std::string_view text) {
    text = Trimmed(text);
    for (const SlotTimeKind kind : {SlotTimeKind::Hard, SlotTimeKind::Soft, SlotTimeKind::Before})
        if (text == SlotTimeKindName(kind)) return kind;
    return std::nullopt;
}

std::string SlotTimeText(const SlotTime& time) {
    const std::string mark = HourMarkText(time.second);
    const std::string window = " (" + std::to_string(time.windowSeconds) + " s)";
    switch (time.kind) {
    case SlotTimeKind::Hard: return "at " + mark + ", hard";
    case SlotTimeKind::Soft: return "at " + mark + ", soft" + window;
    case SlotTimeKind::Before: return "before " + mark + window;
    }
    return mark;
}

StartWindow WindowOf(const SlotTime& time, int toleranceSeconds) {
    const int64_t window = int64_t{time.windowSeconds} * 1000;
    switch (time.kind) {
    case SlotTimeKind::Hard: return {int64_t{toleranceSeconds} * 1000, int64_t{toleranceSeconds} * 1000};
    case SlotTimeKind::Soft: return {window, window};
    case SlotTimeKind::Before: return {window, 0};
    }
    return {};
}

int64_t NextOccurrenceMs(const SlotTime& time, int64_t fromMs) {
    const int64_t mark = int64_t{time.second} * 1000;
    if (fromMs <= mark) return mark;
    const int64_t hours = (fromMs - mark + 3600000 - 1) / 3600000;
    return mark + hours * 3600000;
}

int64_t NearestOccurrenceMs(const SlotTime& time, int64_t atMs) {
    const int64_t mark = int64_t{time.second} * 1000;
    if (atMs <= mark) return mark;
    return mark + (atMs - mark + 1800000) / 3600000 * 3600000;
}

bool StartsOnTime(const SlotTime& time, int64_t startMs, int64_t dueMs, int toleranceSeconds) {
    const StartWindow window = WindowOf(time, toleranceSeconds);
    return startMs - dueMs >= -window.earlyMs && startMs - dueMs <= window.lateMs;
}

std::string SlotMissText(size_t slotIndex, const SlotTime& time, int64_t errorMs,
                         int toleranceSeconds) {
    const int64_t window =
        time.kind == SlotTimeKind::Hard ? toleranceSeconds : time.windowSeconds;
    return "Slot " + std::to_string(slotIndex + 1) +
           (time.kind == SlotTimeKind::Before ? " before " : " at ") + HourMarkText(time.second) +
           " starts " + LateOrEarlyText(errorMs) + " (window " +
           std::to_string(window) + " s)";
}

std::optional<SlotTime> SlotTimes::At(size_t slot) const {
    const auto found = bySlot_.find(slot);
    if (found == bySlot_.end()) return std::nullopt;
    return found->second;
}

void SlotTimes::Set(size_t slot, const std::optional<SlotTime>& time) {
    if (time) {
        bySlot_[slot] = *time;
    } else {
        bySlot_.erase(slot);
    }
}

void SlotTimes::Erase(size_t slot) {
    std::map<size_t, SlotTime> moved;
    for (const auto& [at, time] : bySlot_) {
        if (at == slot) continue;
        moved.emplace(at > slot ? at - 1 : at, time);
    }
    bySlot_ = std::move(moved);
}

void SlotTimes::Swap(size_t a, size_t b) {
    const std::optional<SlotTime> first = At(a);
    Set(a, At(b));
    Set(b, first);
}

}  // namespace kestrune
