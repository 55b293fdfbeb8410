#include "rules/CaseFolding.h"

#include <algorithm>
#include <iterator>

#include "tags/TagText.h"

namespace kestrune {

namespace {

struct FoldRun {
    char32_t first;
    char32_t last;
    int step;
    int delta;
};

constexpr FoldRun kRuns[] = {
#include "rules/CaseFoldingTable.inc"
};

char32_t Decode(std::string_view text, size_t length) {
    const auto byte = [&](size_t i) { return static_cast<char32_t>(static_cast<uint8_t>(text[i])); };
    if (length == 1) return byte(0);
    char32_t value = byte(0) & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (size_t i = 1; i < length; ++i) value = (value << 6) | (byte(i) & 0x3F);
    return value;
}

}  // namespace

char32_t SimpleCaseFold(char32_t c) {
    // The last run that starts at or before the character.
    const auto after = std::upper_bound(std::begin(kRuns), std::end(kRuns), c,
                                        [](char32_t v, const FoldRun& run) { return v < run.first; });
    if (after == std::begin(kRuns)) return c;
    const FoldRun& run = *std::prev(after);
    if (c > run.last || (c - run.first) % static_cast<char32_t>(run.step) != 0) return c;
    return static_cast<char32_t>(static_cast<int64_t>(c) + run.delta);
}

std::string CaseFolded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            out += text[0];
            text.remove_prefix(1);
            continue;
        }
        const char32_t c = Decode(text, length);
        if (c < 0x80) {
            out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
        } else {
            AppendUtf8(out, SimpleCaseFold(c));
        }
        text.remove_prefix(length);
    }
    return out;
}

}  // namespace kestrune
