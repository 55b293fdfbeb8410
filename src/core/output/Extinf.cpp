#include "output/Extinf.h"

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
    size_t digits = 0;
    int32_t seconds = 0;
    while (digits < length.size() && digits < kMostDigits && length[digits] >= '0' &&
           length[digits] <= '9')
        seconds = seconds * 10 + (length[digits++] - '0');
    // What may follow the number: nothing, a fraction, or the attributes IPTV lists put there.
    const bool whole = digits == length.size() || length[digits] == '.' || length[digits] == ' ';
    if (digits > 0 && whole) extinf.seconds = seconds;
    return extinf;
}

}  // namespace kestrune
