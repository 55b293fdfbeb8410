#include "rules/WindowsThatHold.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace kestrune {

namespace {

// One decimal, never rounded up: a round that reads as long as the window would not say why it
// cannot hold.
std::string TenthsDown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::floor(value * 10 + 1e-9) / 10);
    return text;
}

// Whole where it is whole, else one decimal.
std::string PerHourText(int64_t slotsPerPass, int64_t passSeconds) {
    if (slotsPerPass * 3600 % passSeconds == 0)
        return std::to_string(slotsPerPass * 3600 / passSeconds);
    char text[32];
    std::snprintf(text, sizeof text, "%.1f",
                  static_cast<double>(slotsPerPass) * 3600 / static_cast<double>(passSeconds));
    return text;
}

}  // namespace

int64_t PassSeconds(const std::vector<CategoryRound>& categories) {
    int64_t seconds = 0;
    for (const CategoryRound& category : categories) {
        if (category.meanSeconds <= 0) return 0;
        seconds += category.slotsPerPass * category.meanSeconds;
    }
    return seconds;
}

std::vector<std::string> WindowsThatCannotHold(const RuleSettings& settings,
                                               const std::vector<CategoryRound>& categories,
                                               int64_t passSeconds) {
    if (passSeconds <= 0) passSeconds = 3600;
    const std::pair<const char*, int> windows[] = {{"title_hours", settings.titleHours},
                                                   {"album_hours", settings.albumHours}};
    std::vector<std::string> lines;
    for (const CategoryRound& category : categories) {
        if (category.songs <= 0 || category.slotsPerPass <= 0) continue;
        if (IsExemptSlot(settings, category.name)) continue;
        for (const auto& [key, hours] : windows) {
            // A round of the category, each song once at the slots' pace, against the window.
            if (hours <= 0 ||
                category.songs * passSeconds >= int64_t{hours} * 3600 * category.slotsPerPass)
                continue;
            const bool one = category.songs == 1;
            lines.push_back(
                std::string(key) + "=" + std::to_string(hours) + " cannot hold for " +
                category.name + ": " + std::to_string(category.songs) +
                (one ? " song at " : " songs at ") +
                PerHourText(category.slotsPerPass, passSeconds) +
                (one ? " an hour comes round every " : " an hour come round every ") +
                TenthsDown(static_cast<double>(category.songs) * static_cast<double>(passSeconds) /
                           static_cast<double>(category.slotsPerPass) / 3600) +
                " h");
        }
    }
    return lines;
}

}  // namespace kestrune
