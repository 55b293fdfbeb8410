#include "mpgtools/FrameCount.h"

#include <algorithm>

#include "mpgtools/FrameHeader.h"

namespace kestrune {

namespace {

constexpr size_t kVbriOffset = 36;    // four header bytes and 32 bytes of side information
constexpr size_t kVbriFrames = 14;    // "VBRI", version, delay, quality, bytes, then frames
constexpr size_t kChunk = 64 * 1024;  // bytes asked for at a time while counting
// Sync, version, layer and sample rate: what every frame of one stream shares.
constexpr uint32_t kStreamMask = 0xFFFE0C00u;

uint32_t BigEndian32(std::string_view bytes, size_t at) {
    const auto b = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i]));
    };
    return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
}

struct Frame {
    int32_t length = 0;
    int32_t samples = 0;
    int32_t bitRate = 0;
};

// The frame a header announces; a length of 0 when the header names none.
Frame Decode(uint32_t h) {
    if ((h & 0xFFE00000u) != 0xFFE00000u) return {};
    uint8_t version = 0;
    switch ((h >> 19) & 3) {
        case 3:
            version = kMpeg1;
            break;
        case 2:
            version = kMpeg2;
            break;
        case 0:
            version = kMpeg25;
            break;
        default:
            return {};
    }
    const uint32_t layerBits = (h >> 17) & 3;
    if (layerBits == 0) return {};
    const auto layer = static_cast<uint8_t>(4 - layerBits);
    const int32_t sampleRate = SampleRateFor(version, (h >> 10) & 3);
    const int32_t bitRate = BitRateFor(version, layer, (h >> 12) & 15);
    if (sampleRate == 0 || bitRate == 0) return {};
    const int32_t length =
        CalcFrameLength(version, layer, sampleRate, bitRate, ((h >> 9) & 1) != 0);
    // Shorter than its own header: no frame at all (and no way forward from it).
    if (length < 4) return {};
    return Frame{length, SamplesPerFrame(version, layer), bitRate};
}

void Add(FrameTally& tally, const Frame& frame, int64_t end) {
    tally.minBitRate =
        tally.frames == 0 ? frame.bitRate : std::min(tally.minBitRate, frame.bitRate);
    tally.maxBitRate = std::max(tally.maxBitRate, frame.bitRate);
    ++tally.frames;
    tally.samples += frame.samples;
    tally.end = end;
}

}  // namespace

std::optional<uint32_t> VbriFrameCount(std::string_view frame) {
    if (frame.size() < kVbriOffset + kVbriFrames + 4) return std::nullopt;
    if (frame.substr(kVbriOffset, 4) != "VBRI") return std::nullopt;
    return BigEndian32(frame, kVbriOffset + kVbriFrames);
}

int32_t FrameLengthOf(uint32_t header) {
    return Decode(header).length;
}

bool SameStream(uint32_t first, uint32_t header) {
    return (first & kStreamMask) == (header & kStreamMask) && Decode(header).length > 0;
}

FrameTally CountFrames(const ByteFetcher& fetch, int64_t start, int64_t end) {
    FrameTally tally;
    tally.end = start;
    const std::string_view head = fetch(start, 4);
    if (head.size() < 4) return tally;
    const uint32_t first = BigEndian32(head, 0);
    if (Decode(first).length == 0) return tally;
    // Whether a frame of the stream (or the end of the audio) follows the frame at `at`.
    const auto followed = [&](int64_t at, const Frame& frame) {
        const int64_t next = at + frame.length;
        if (next + 4 > end) return next <= end;
        const std::string_view bytes = fetch(next, 4);
        return bytes.size() == 4 && SameStream(first, BigEndian32(bytes, 0));
    };
    int64_t position = start;
    bool cutShort = false;
    while (!cutShort && position + 4 <= end) {
        const std::string_view chunk =
            fetch(position, static_cast<size_t>(std::min<int64_t>(end - position, kChunk)));
        if (chunk.size() < 4) break;
        size_t at = 0;
        while (at + 4 <= chunk.size()) {
            const uint32_t header = BigEndian32(chunk, at);
            const Frame frame = SameStream(first, header) ? Decode(header) : Frame{};
            const int64_t here = position + static_cast<int64_t>(at);
            if (frame.length > 0 && here + frame.length <= end) {
                Add(tally, frame, here + frame.length);
                at += static_cast<size_t>(frame.length);
                continue;
            }
            if (frame.length > 0) {  // a last frame cut short: no audio a player can decode
                cutShort = true;
                break;
            }
            // Not a frame: on to the next header that two frames of the stream confirm.
            size_t next = at + 1;
            for (; next + 4 <= chunk.size(); ++next) {
                if (static_cast<uint8_t>(chunk[next]) != 0xFF) continue;
                const uint32_t candidate = BigEndian32(chunk, next);
                if (!SameStream(first, candidate)) continue;
                if (followed(position + static_cast<int64_t>(next), Decode(candidate))) break;
            }
            // Without one in this chunk, the last three bytes are looked at again with the next.
            at = next + 4 <= chunk.size() ? next : std::max(at + 1, chunk.size() - 3);
            if (next + 4 > chunk.size()) break;
        }
        position += static_cast<int64_t>(at);
    }
    return tally;
}

std::optional<FrameTally> FramesBeforeEnd(std::string_view bytes, uint32_t first) {
    for (size_t start = 0; start + 4 <= bytes.size(); ++start) {
        if (static_cast<uint8_t>(bytes[start]) != 0xFF) continue;
        FrameTally tally;
        size_t at = start;
        while (at + 4 <= bytes.size()) {
            const uint32_t header = BigEndian32(bytes, at);
            if (!SameStream(first, header)) break;
            const Frame frame = Decode(header);
            if (at + static_cast<size_t>(frame.length) > bytes.size()) break;
            at += static_cast<size_t>(frame.length);
            Add(tally, frame, static_cast<int64_t>(at));
        }
        if (tally.frames > 0 && at == bytes.size()) return tally;
    }
    return std::nullopt;
}

}  // namespace kestrune
