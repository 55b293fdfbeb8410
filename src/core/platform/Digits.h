#pragma once
// Whole numbers written in ASCII digits, as the station's files, logs and options hold them: no
// sign, no blanks, nothing but '0' to '9'. Each reader takes a bound and refuses a value past
// it, so that no run of digits, however long, wraps around.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace kestrune {

inline constexpr int64_t kNoDigitBound = std::numeric_limits<int64_t>::max();

// The digits at the front of a text, as far as they go.
struct DigitRun {
    size_t length = 0;             // how many digits there are; 0 when the text starts otherwise
    std::optional<int64_t> value;  // none when there is no digit or the value passes the bound
};
DigitRun LeadingDigits(std::string_view text, int64_t most = kNoDigitBound);

// The value of a text that is one digit or more and nothing else, when it is at most `most`.
std::optional<int64_t> WholeNumber(std::string_view text, int64_t most = kNoDigitBound);

// Exactly `width` digits at `from` of `text` (2 for a month or an hour, 4 for a year; at most
// 9): none when the text ends first or one of them is not a digit.
std::optional<int> FixedDigits(std::string_view text, size_t from, size_t width);

}  // namespace kestrune
