#pragma once
// Songs of a chosen playing time that cost almost no disk: two real frames at the start, the
// ID3v1 tag at the end, and a hole between. A reader that takes the constant-bit-rate playing
// time from the file length (as ours does) sees exactly the seconds asked for.

#include <string>

#include "Mp3Synth.h"

namespace kestrune::synth {

// MPEG-1 Layer III, 32 kbit/s, 32 kHz, single channel: 144-byte frames, 4000 bytes a second.
FrameFields SparseSongFrame();
inline constexpr int kSparseBytesPerSecond = 4000;

// Writes the file; its size is seconds x 4000 bytes (at least two frames and the tag).
void WriteSparseSong(const std::string& path, int seconds, const Id3v1Tag& tag);

}  // namespace kestrune::synth
