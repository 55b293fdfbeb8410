#pragma once
// Unicode simple case folding: one character for one, so "ZOË" and "Zoë", "ΣΩΚΡΆΤΗΣ" and
// "σωκράτης", "ЁЛКА" and "ёлка" come out the same. Accents stay: "é" is not "e".

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrune {

char32_t SimpleCaseFold(char32_t codePoint);

// Every valid UTF-8 character of the text folded; any other byte kept as it is.
std::string CaseFolded(std::string_view text);

}  // namespace kestrune
