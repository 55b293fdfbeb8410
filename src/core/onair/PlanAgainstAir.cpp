#include "onair/PlanAgainstAir.h"

#include <algorithm>
#include <string_view>

#include "output/Extinf.h"
#include "platform/LineList.h"

namespace kestrune {

namespace {

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

}  // namespace

std::string HourPlaylistPath(const std::string& pattern, int year, int month, int day, int hour,
                             int minute) {
    std::string path;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            path += pattern[i];
            continue;
        }
        switch (pattern[++i]) {
        case 'Y': path += std::to_string(year); break;
        case 'm': path += TwoDigits(month); break;
        case 'd': path += TwoDigits(day); break;
        case 'H': path += TwoDigits(hour); break;
        case 'M': path += TwoDigits(minute); break;
        case '%': path += '%'; break;
        default: path += pattern.substr(i - 1, 2);
        }
    }
    return path;
}

std::vector<PlannedItem> PlannedItems(const std::string& playlistText, int64_t startMs) {
    std::vector<PlannedItem> items;
    bool timed = true;
    std::optional<Extinf> extinf;
    std::vector<int64_t> lengths;
    ForEachLine(playlistText, [&](std::string_view line) {
        if (line.empty()) return;
        if (line.front() == '#') {
            if (auto read = ParseExtinf(line)) extinf = std::move(read);
            return;
        }
        items.push_back({std::string(line), std::nullopt, extinf ? extinf->text : std::string()});
        // A list without a length for every item cannot say when each starts.
        if (!extinf || extinf->seconds < 0) timed = false;
        lengths.push_back(extinf ? std::max(0, extinf->seconds) : 0);
        extinf.reset();
    });
    if (timed) {
        int64_t at = startMs;
        for (size_t i = 0; i < items.size(); ++i) {
            items[i].startMs = at;
            at += lengths[i] * 1000;
        }
    }
    return items;
}

HourOnAir CompareHour(const HourPlan& plan, const std::vector<AiredItem>& aired,
                      int64_t lateMs, std::optional<int64_t> reachedMs) {
    HourOnAir hour;
    hour.planned = static_cast<int>(plan.items.size());
    auto line = [&hour](std::optional<PlannedItem> planned, std::optional<AiredItem> item,
                        std::optional<AirDifferenceKind> difference) {
        if (difference) {
            AirDifference named{*difference, planned ? planned->file : item->file,
                                std::nullopt, std::nullopt, std::string()};
            if (planned && *difference != AirDifferenceKind::NotPlanned)
                named.plannedMs = planned->startMs;
            if (item && *difference != AirDifferenceKind::NeverAired) named.airedMs = item->startMs;
            if (*difference == AirDifferenceKind::NotPlanned) named.airedKind = item->kind;
            hour.differences.push_back(std::move(named));
        }
        hour.lines.push_back({std::move(planned), std::move(item), difference});
    };
    size_t next = 0;  // the first planned item that an aired one may still pair with
    for (const AiredItem& item : aired) {
        if (item.startMs < plan.startMs || item.startMs >= plan.endMs) continue;
        ++hour.aired;
        size_t found = plan.items.size();
        if (item.kind == "plan" && item.playlist == plan.playlist) {
            for (size_t i = next; i < plan.items.size(); ++i)
                if (plan.items[i].file == item.file) {
                    found = i;
                    break;
                }
        }
        if (found == plan.items.size()) {
            line(std::nullopt, item, AirDifferenceKind::NotPlanned);
            continue;
        }
        // Planned items passed over on the way never aired.
        for (size_t i = next; i < found; ++i)
            line(plan.items[i], std::nullopt, AirDifferenceKind::NeverAired);
        next = found + 1;
        const std::optional<int64_t> planned = plan.items[found].startMs;
        const bool late = planned && std::llabs(item.startMs - *planned) > lateMs;
        line(plan.items[found], item,
             late ? std::optional(AirDifferenceKind::Late) : std::nullopt);
    }
    // What is left of an hour not over yet may still air.
    const bool over = !reachedMs || plan.endMs <= *reachedMs;
    for (size_t i = next; i < plan.items.size(); ++i)
        line(plan.items[i], std::nullopt,
             over ? AirDifferenceKind::NeverAired : AirDifferenceKind::Planned);
    return hour;
}

}  // namespace kestrune
