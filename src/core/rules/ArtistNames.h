#pragma once
// How two songs are taken to share an artist. Exact: the artist texts are equal, byte for byte.
// Loose: letter case (in every script, by Unicode simple case folding; accents count), blanks round the name and a leading "The " do not count, and a
// credit of several artists ("A feat. B", "A & B", "A, B", ...) names each of them.

#include <string>
#include <string_view>
#include <vector>

#include "rules/RuleSettings.h"

namespace kestrune {

// The names a credit counts as, each in its compared form; never empty (an empty credit is one
// empty name). Exact matching gives the credit itself.
std::vector<std::string> ArtistKeys(std::string_view credit, ArtistMatching matching);

// A title or album in its compared form: as it stands when exact; loose: lower case, blanks
// round it and runs of blanks inside taken as one.
std::string CompareForm(std::string_view text, ArtistMatching matching);

// True when two credits' keys (as ArtistKeys gives them) share an artist.
bool ShareArtist(const std::vector<std::string>& a, const std::vector<std::string>& b);

}  // namespace kestrune
