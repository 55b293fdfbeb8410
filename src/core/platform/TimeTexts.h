#pragma once
// Playing times and times of the hour as the status line, the text log and the rule breaks
// write them.

#include <cstdint>
#include <string>

namespace kestrune {

// "07", "42": a number below 100 in two digits, as the clock texts write minutes and seconds.
std::string TwoDigits(int64_t value);
// "M:SS" of the hour clock, minutes without leading zero.
std::string HourClockText(int32_t seconds);
// "H:MM:SS" of a playing time, hours without leading zero.
std::string PlayingTimeText(int32_t seconds);

}  // namespace kestrune
