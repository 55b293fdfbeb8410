#pragma once
// Whether a separation window can hold for a category at all: a category whose songs come round
// faster than the window breaks it by its size alone, whatever the build does. Pure: the caller
// counts the songs and the slots.

#include <cstdint>
#include <string>
#include <vector>

#include "rules/RuleSettings.h"

namespace kestrune {

// One category of the clock template.
struct CategoryRound {
    std::string name;          // the playlist's file name
    int64_t songs = 0;         // songs in it
    int64_t slotsPerPass = 0;  // slots of the template that take from it
    int64_t meanSeconds = 0;   // a song's playing time, on average; 0 when not known
};

// How long one pass of the template plays: each slot its category's mean; 0 when a mean is not
// known.
int64_t PassSeconds(const std::vector<CategoryRound>& categories);

// One line for each window (title_hours, album_hours) that a category's round is shorter than:
// "title_hours=6 cannot hold for current.m3u: 36 songs at 5 an hour come round every 7.2 h".
// `passSeconds`: how long one pass of the template plays; 0 or less, an hour. Exempt categories
// are not looked at.
std::vector<std::string> WindowsThatCannotHold(const RuleSettings& settings,
                                               const std::vector<CategoryRound>& categories,
                                               int64_t passSeconds = 3600);

}  // namespace kestrune
