#pragma once
// What the reader's two halves, the audio (MPGTools.cpp) and the tags (MPGTags.cpp), share of a
// tag's fields: the ID3v1 tag's size and the fields cut to what they hold.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrune {

inline constexpr size_t kId3v1TagSize = 128;

inline void Assign(std::string& field, std::string_view text, size_t capacity) {
    field.assign(text.substr(0, capacity));
}

inline std::string Cut(std::string_view text, size_t capacity) {
    return std::string(text.substr(0, capacity));
}

}  // namespace kestrune
