#pragma once
// The genre names of ID3v1 tags: the original list (codes 0 to 79) and its common extension
// (80 to 125), spelled as the tag world has always spelled them.

#include <array>
#include <cstddef>
#include <string_view>

namespace kestrune {

inline constexpr size_t kGenreCount = 126;

extern const std::array<std::string_view, kGenreCount> GenreNames;

}  // namespace kestrune
