#pragma once
// The "#EXTINF:SECONDS,TEXT" line of an extended M3U playlist, read one way everywhere: by the
// playlist files of the build, the M3U reader and the plan that is compared with the air.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

struct Extinf {
    int32_t seconds = -1;  // -1: the line gives no length ("#EXTINF:-1,...", as players write)
    std::string text;      // after the first comma; empty without one
};

bool IsExtinfLine(std::string_view line);

// The length and text of an #EXTINF line; nothing for any other line. The length is the whole
// seconds at the start (a fraction, as in HLS lists, is cut; attributes after a blank are
// passed over); a negative, missing or garbled length, or one of more than nine digits, is -1.
std::optional<Extinf> ParseExtinf(std::string_view line);

}  // namespace kestrune
