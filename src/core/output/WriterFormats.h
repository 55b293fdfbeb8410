#pragma once
// The writers behind PlaylistWriters(), one per format; and the small text helpers they share.

#include <string>
#include <string_view>

#include "output/PlaylistWriter.h"

namespace kestrune::output {

const PlaylistWriter& PlainM3uWriter();
const PlaylistWriter& ExtendedM3uWriter();
const PlaylistWriter& PlsWriter();
const PlaylistWriter& XspfWriter();

inline constexpr std::string_view kLineEnd = "\r\n";

// "#EXTINF:SECONDS,ARTIST - TITLE".
std::string ExtinfLine(const PlaylistEntry& entry);
// Splits a display title at its first " - " into artist and title; all title without one.
void SplitDisplayTitle(std::string_view text, PlaylistEntry& entry);
// A whole number of seconds at the start of the text (0 when there is none or it is negative).
int32_t LeadingSeconds(std::string_view text);

}  // namespace kestrune::output
