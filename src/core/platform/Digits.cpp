#include "platform/Digits.h"

namespace kestrune {

DigitRun LeadingDigits(std::string_view text, int64_t most) {
    DigitRun run;
    int64_t value = 0;
    bool within = true;
    for (; run.length < text.size(); ++run.length) {
        const char c = text[run.length];
        if (c < '0' || c > '9') break;
        const int digit = c - '0';
        // value * 10 + digit > most, asked without computing it; the run is still read to its
        // end so that its length says where the number stops.
        if (within && (most - digit < 0 || value > (most - digit) / 10)) within = false;
        if (within) value = value * 10 + digit;
    }
    if (run.length > 0 && within) run.value = value;
    return run;
}

std::optional<int64_t> WholeNumber(std::string_view text, int64_t most) {
    const DigitRun run = LeadingDigits(text, most);
    if (run.length != text.size()) return std::nullopt;
    return run.value;
}

std::optional<int> FixedDigits(std::string_view text, size_t from, size_t width) {
    if (from > text.size() || width > text.size() - from) return std::nullopt;
    const DigitRun run = LeadingDigits(text.substr(from, width), std::numeric_limits<int>::max());
    if (run.length != width || !run.value) return std::nullopt;
    return static_cast<int>(*run.value);
}

}  // namespace kestrune
