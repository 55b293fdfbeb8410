#pragma once
// Exact playing time of MPEG audio without a Xing header: the frame count of a VBRI
// (Fraunhofer) header, or else the frames themselves, counted one by one. Pure functions over
// bytes, so that the reader, its tests and its fuzz check share the same rules.

#include <cstdint>
#include <optional>
#include <string_view>

#include "mpgtools/AudioBounds.h"

namespace kestrune {

// The frame count of the VBRI header in the frame whose bytes (from its header on) are
// `frame`: "VBRI" 32 bytes after the four header bytes, the count 14 bytes after that.
// nullopt when there is no such header.
std::optional<uint32_t> VbriFrameCount(std::string_view frame);

// What a walk over frames saw.
struct FrameTally {
    int64_t frames = 0;
    int64_t samples = 0;
    int32_t minBitRate = 0;  // kbit/s, of the frames counted
    int32_t maxBitRate = 0;
    int64_t end = 0;  // where the last frame counted ends

    bool BitRateVaries() const { return minBitRate != maxBitRate; }
};

// The frame at `header` belongs to the stream of `first`: same version, layer and sample rate,
// and a bit rate that names a frame length.
bool SameStream(uint32_t first, uint32_t header);

// The length in bytes of the frame the header announces; 0 when it names none.
int32_t FrameLengthOf(uint32_t header);

// Counts the frames of the stream that starts with a valid header at `start`, up to `end`
// (the end of the audio). Bytes that are no frame of the stream (a damaged stretch, a stray
// tag) are crossed to the next header from which two frames of the stream follow one another
// (or one reaches `end`). The walk stops where `fetch` gives no more bytes.
FrameTally CountFrames(const ByteFetcher& fetch, int64_t start, int64_t end);

// The frames of the stream of `first` that end the audio `bytes` (the last bytes of the audio,
// so that the last frame ends where they end): the tally of the longest chain of them that
// fits; nullopt when no frame ends there.
std::optional<FrameTally> FramesBeforeEnd(std::string_view bytes, uint32_t first);

}  // namespace kestrune
