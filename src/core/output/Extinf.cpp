#include "output/Extinf.h"

#include "platform/Digits.h"

namespace kestrune {

namespace {

constexpr std::string_view kTag = "#EXTINF:";
constexpr size_t kMostDigits = 9;

}  // namespace

bool IsExtinfLine(std::string_view line) {
    return line.substr(0, kTag.size()) == kTag;
}

std::optional<Extinf> ParseExtinf(std::string_view line) {
    if (!IsExtinfLine(line)) return std::nullopt;
    line.remove_prefix(kTag.size());
    const size_t comma = line.find(',');
    const std::string_view length = line.substr(0, comma);
    Extinf extinf;
    if (comma != std::string_view::npos) extinf.text = std::string(line.substr(comma + 1));
    const DigitRun seconds = LeadingDigits(length.substr(0, kMostDigits));
    const size_t digits = seconds.length;
    // What may follow the number: nothing, a fraction, or the attributes IPTV lists put there.
    const bool whole = digits == length.size() || length[digits] == '.' || length[digits] == ' ';
    if (seconds.value && whole) extinf.seconds = static_cast<int32_t>(*seconds.value);
    return extinf;
}

}  // namespace kestrune
