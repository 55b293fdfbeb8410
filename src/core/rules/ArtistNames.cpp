#include "rules/ArtistNames.h"

#include <algorithm>
#include <array>

#include "rules/CaseFolding.h"

namespace kestrune {

namespace {

// Joining words between artists, in lower case with the blanks round them. Longer first where
// one starts another (" featuring " before " feat").
constexpr std::array<std::string_view, 12> kJoiners = {
    " featuring ", " feat. ", " feat ", " ft. ", " ft ", " & ",
    " and ",       " with ",  " vs. ",  " vs ",  " x ",  ", ",
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Case folded in every script, no blanks round it, one blank for each run of blanks inside.
std::string Folded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool blank = false;
    for (const char c : CaseFolded(text)) {
        if (IsBlank(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string WithoutLeadingThe(std::string name) {
    if (name.size() > 4 && name.compare(0, 4, "the ") == 0) name.erase(0, 4);
    return name;
}

}  // namespace

std::string CompareForm(std::string_view text, ArtistMatching matching) {
    if (matching == ArtistMatching::Exact) return std::string(text);
    return Folded(text);
}

std::vector<std::string> ArtistKeys(std::string_view credit, ArtistMatching matching) {
    if (matching == ArtistMatching::Exact) return {std::string(credit)};
    // Blanks round the text let a joiner at either end be found like one inside.
    const std::string folded = " " + Folded(credit) + " ";
    std::vector<std::string> keys;
    size_t from = 0;
    while (true) {
        size_t best = std::string::npos;
        size_t bestLength = 0;
        for (const std::string_view joiner : kJoiners) {
            const size_t at = folded.find(joiner, from);
            if (at != std::string::npos &&
                (at < best || (at == best && joiner.size() > bestLength))) {
                best = at;
                bestLength = joiner.size();
            }
        }
        const size_t end = best == std::string::npos ? folded.size() : best;
        std::string name =
            WithoutLeadingThe(Folded(std::string_view(folded).substr(from, end - from)));
        if (!name.empty() && std::find(keys.begin(), keys.end(), name) == keys.end())
            keys.push_back(std::move(name));
        if (best == std::string::npos) break;
        // The joiner's trailing blank may open the next joiner (" x " after ", ").
        from = best + bestLength - 1;
    }
    if (keys.empty()) keys.push_back(std::string());
    return keys;
}

bool ShareArtist(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    for (const std::string& key : a)
        if (std::find(b.begin(), b.end(), key) != b.end()) return true;
    return false;
}

}  // namespace kestrune
