#pragma once
// One hour's plan against what aired in it: planned items that never aired, items that aired
// without being planned (fillers, a live change, another list), and items that aired more than
// a set time from their planned start. Pure.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "onair/AsPlayedLog.h"

namespace kestrune {

struct PlannedItem {
    std::string file;
    std::optional<int64_t> startMs;  // UTC; nothing when the playlist gives no lengths
    std::string title;               // the text of its #EXTINF line ("ARTIST - TITLE"), if any
};

struct HourPlan {
    std::string playlist;  // the hour's playlist file, as the as-played log names it
    int64_t startMs = 0;   // the hour, UTC: [startMs, endMs)
    int64_t endMs = 0;
    std::vector<PlannedItem> items;
};

// The playlist of one hour from the on-air script's pattern: %Y, %m, %d and %H replaced by
// the date and hour, %M by the minute (a pattern that names it gives every minute its own list),
// %% by %; any other text kept.
std::string HourPlaylistPath(const std::string& pattern, int year, int month, int day, int hour,
                             int minute = 0);

// The items of an extended M3U text, each planned to start when the ones before it have played
// (their #EXTINF seconds) from `startMs`; without a length before every item, no item has a
// planned start.
std::vector<PlannedItem> PlannedItems(const std::string& playlistText, int64_t startMs);

// Planned: not aired yet, and its time may still come: its hour has not ended where the
// as-played log stops.
enum class AirDifferenceKind { NeverAired, NotPlanned, Late, Planned };

struct AirDifference {
    AirDifferenceKind kind = AirDifferenceKind::NeverAired;
    std::string file;
    std::optional<int64_t> plannedMs;  // NeverAired, Planned and Late
    std::optional<int64_t> airedMs;    // NotPlanned and Late
    std::string airedKind;             // NotPlanned: "plan" or "filler"
    bool operator==(const AirDifference&) const = default;
};

// One line of an hour, plan beside air: a planned item with the item that aired for it, a
// planned item alone (never aired), or an aired item alone (not planned).
struct AirLine {
    std::optional<PlannedItem> planned;
    std::optional<AiredItem> aired;
    std::optional<AirDifferenceKind> difference;  // nothing: aired as planned
};

struct HourOnAir {
    int planned = 0;
    int aired = 0;  // items that started in the hour
    std::vector<AirDifference> differences;
    std::vector<AirLine> lines;  // every planned and aired item, in the order of the differences
};

// The aired items that started within the hour are matched to the plan in order: an item of the
// hour's playlist that is the next planned one still unmatched (or one further on) pairs with
// it; every other item that started in the hour is not planned. Planned items after the last
// one that aired are still planned when the hour ends after `reachedMs`, never aired otherwise;
// those passed over before an item that aired never aired. Without `reachedMs` the hour is over.
HourOnAir CompareHour(const HourPlan& plan, const std::vector<AiredItem>& aired,
                      int64_t lateMs, std::optional<int64_t> reachedMs = std::nullopt);

}  // namespace kestrune
