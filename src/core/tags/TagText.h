#pragma once
// Text rules of tags that do not depend on a tag library: ID3v1's single-byte texts made UTF-8,
// genres written in their several ID3 forms, years and track numbers taken from longer texts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tags/TrackFacts.h"

namespace kestrune {

// The length of the valid UTF-8 character that starts at `at` (below the text's size); 0 when the
// bytes there are none (a stray byte, a cut or overlong sequence, a surrogate, past U+10FFFF).
size_t Utf8SequenceLength(std::string_view text, size_t at = 0);

bool IsValidUtf8(std::string_view text);

// Appends one Unicode code point (at most 0x10FFFF, no surrogate) in UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);

std::string Latin1ToUtf8(std::string_view text);

// ID3v1 texts are Latin-1 by the standard, but some taggers wrote UTF-8 into them: valid UTF-8
// stays as it is, anything else is taken as Latin-1.
std::string Latin1ToUtf8UnlessUtf8(std::string_view text);

// What a playlist, a log or a report keeps of a tag text: valid UTF-8 as it is, any other byte
// taken as Latin-1; line breaks and other control characters, the line and paragraph
// separators (U+0085, U+2028, U+2029) and the right-to-left override (U+202E) become blanks, so
// no text can break or turn a line.
std::string CleanText(std::string_view text);

// The number of characters of a UTF-8 text (bytes that do not continue a character).
size_t Utf8Length(std::string_view text);

struct Genre {
    uint8_t code = 255;  // the ID3v1 code, 255 when the genre has none
    std::string name;    // the name to show; empty when the text names no genre
};

// "(17)", "17" and "Rock" give code 17 and "Rock"; "(17)Hard Rock" gives code 17 and the
// refinement "Hard Rock"; "(RX)" and "(CR)" give "Remix" and "Cover"; free text is its own
// name with code 255.
Genre ParseGenre(std::string_view text);

// "2019-05-04" and "2019" give "2019"; a text that does not begin with four digits stays whole.
std::string YearOf(std::string_view text);
// YearOf for the tags beyond ID3v1; nullopt for a text without a single digit (the bytes of a
// broken frame, "þÿ"), which names no year.
std::optional<std::string> TagYear(std::string_view text);

// "7/12" and "07" give 7; 0 for no number or one above 255.
uint8_t TrackOf(std::string_view text);

}  // namespace kestrune
