#include "Mp3Synth.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

namespace kestrune::synth {

namespace {

// Bit rates in kbit/s by index: MPEG-1 Layers I, II, III, then MPEG-2/2.5 Layer I and II/III.
constexpr std::array<std::array<int, 16>, 5> kBitRates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
}};

constexpr std::array<int, 4> kMpeg1Rates{44100, 48000, 32000, 0};

bool IsMpeg1(const FrameFields& frame) {
    return frame.version == Version::Mpeg1;
}

void PutBigEndian32(std::string& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<char>(value >> 24);
    bytes[at + 1] = static_cast<char>(value >> 16);
    bytes[at + 2] = static_cast<char>(value >> 8);
    bytes[at + 3] = static_cast<char>(value);
}

// A small generator with a fixed definition, so that files are the same on every platform.
class Generator {
public:
    explicit Generator(uint32_t seed) : state_(0x9E3779B97F4A7C15ull ^ seed) {}
    uint8_t NextByte() {
        state_ += 0x9E3779B97F4A7C15ull;
        uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<uint8_t>((z ^ (z >> 31)) >> 56);
    }

private:
    uint64_t state_;
};

void PutText(std::string& tag, size_t at, size_t width, const std::string& text, char fill) {
    for (size_t i = 0; i < width; ++i) tag[at + i] = i < text.size() ? text[i] : fill;
}

}  // namespace

uint16_t FrameCrc16(std::string_view bytes) {
    uint32_t crc = 0xFFFF;
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = ((crc >> 15) & 1) != ((byte >> bit) & 1u);
            crc = (crc << 1) & 0xFFFF;
            if (top) crc ^= 0x8005;
        }
    }
    return static_cast<uint16_t>(crc);
}

uint32_t HeaderWord(const FrameFields& f) {
    const uint32_t layerBits =
        f.layer >= 1 && f.layer <= 3 ? static_cast<uint32_t>(4 - f.layer) : 0;
    return 0xFFE00000u | (static_cast<uint32_t>(f.version) & 3) << 19 | layerBits << 17 |
           (f.protectionBit ? 1u : 0u) << 16 | (static_cast<uint32_t>(f.bitRateIndex) & 15) << 12 |
           (static_cast<uint32_t>(f.sampleRateIndex) & 3) << 10 | (f.padding ? 1u : 0u) << 9 |
           (static_cast<uint32_t>(f.mode) & 3) << 6 |
           (static_cast<uint32_t>(f.modeExtension) & 3) << 4 | (f.copyright ? 1u : 0u) << 3 |
           (f.original ? 1u : 0u) << 2 | (static_cast<uint32_t>(f.emphasis) & 3);
}

std::string HeaderBytes(const FrameFields& frame) {
    std::string bytes(4, '\0');
    PutBigEndian32(bytes, 0, HeaderWord(frame));
    return bytes;
}

int BitRateKbps(const FrameFields& f) {
    if (f.version == Version::Reserved || f.layer < 1 || f.layer > 3) return 0;
    if (f.bitRateIndex < 0 || f.bitRateIndex > 15) return 0;
    const size_t row = IsMpeg1(f) ? static_cast<size_t>(f.layer - 1) : (f.layer == 1 ? 3 : 4);
    return kBitRates[row][static_cast<size_t>(f.bitRateIndex)];
}

int SampleRateHz(const FrameFields& f) {
    if (f.version == Version::Reserved || f.sampleRateIndex < 0 || f.sampleRateIndex > 3) return 0;
    const int base = kMpeg1Rates[static_cast<size_t>(f.sampleRateIndex)];
    switch (f.version) {
        case Version::Mpeg1:
            return base;
        case Version::Mpeg2:
            return base / 2;
        case Version::Mpeg25:
            return base / 4;
        default:
            return 0;
    }
}

int SamplesPerFrame(const FrameFields& f) {
    if (f.layer == 1) return 384;
    if (f.layer == 3 && !IsMpeg1(f)) return 576;
    return 1152;
}

int FrameLength(const FrameFields& f) {
    const long long bitRate = BitRateKbps(f);
    const long long sampleRate = SampleRateHz(f);
    if (bitRate == 0 || sampleRate == 0) return 0;
    const long long pad = f.padding ? 1 : 0;
    if (f.layer == 1) return static_cast<int>((12 * bitRate * 1000 / sampleRate + pad) * 4);
    return static_cast<int>(SamplesPerFrame(f) / 8 * bitRate * 1000 / sampleRate + pad);
}

int SideInfoSize(const FrameFields& f) {
    const bool mono = f.mode == kSingleChannel;
    if (IsMpeg1(f)) return mono ? 17 : 32;
    return mono ? 9 : 17;
}

std::string SilentFrame(const FrameFields& frame) {
    const int length = FrameLength(frame);
    if (length < 4) throw std::invalid_argument("frame has no usable bit rate or sample rate");
    std::string bytes(static_cast<size_t>(length), '\0');
    PutBigEndian32(bytes, 0, HeaderWord(frame));
    if (!frame.protectionBit && frame.layer == 3) {
        // Checksum over the last two header bytes and the (zero) side information.
        const size_t side = static_cast<size_t>(SideInfoSize(frame));
        if (static_cast<size_t>(length) < 6 + side) {
            throw std::invalid_argument("frame too short for its side information");
        }
        const uint16_t crc = FrameCrc16(bytes.substr(2, 2) + std::string(side, '\0'));
        bytes[4] = static_cast<char>(crc >> 8);
        bytes[5] = static_cast<char>(crc);
    }
    return bytes;
}

int XingSize(const XingFields& xing) {
    int size = 8;
    if (xing.flags & kXingFrames) size += 4;
    if (xing.flags & kXingBytes) size += 4;
    if (xing.flags & kXingToc) size += 100;
    if (xing.flags & kXingQuality) size += 4;
    return size;
}

std::string XingFrame(const FrameFields& frame, const XingFields& xing) {
    std::string bytes = SilentFrame(frame);
    const size_t at = static_cast<size_t>(xing.offset > 0 ? xing.offset : 4 + SideInfoSize(frame));
    const size_t size = static_cast<size_t>(XingSize(xing));
    if (at + size > bytes.size()) throw std::invalid_argument("Xing header does not fit the frame");
    bytes.replace(at, 4, "Xing");
    size_t field = at + 4;
    PutBigEndian32(bytes, field, xing.flags);
    field += 4;
    if (xing.flags & kXingFrames) {
        PutBigEndian32(bytes, field, xing.frames);
        field += 4;
    }
    if (xing.flags & kXingBytes) {
        PutBigEndian32(bytes, field, xing.bytes);
        field += 4;
    }
    if (xing.flags & kXingToc) {
        for (size_t i = 0; i < 100; ++i) bytes[field + i] = static_cast<char>(i * 256 / 100);
        field += 100;
    }
    if (xing.flags & kXingQuality) PutBigEndian32(bytes, field, xing.quality);
    return bytes;
}

std::string Id3v1Bytes(const Id3v1Tag& tag) {
    std::string bytes(128, '\0');
    PutText(bytes, 0, 3, tag.header, tag.fill);
    PutText(bytes, 3, 30, tag.title, tag.fill);
    PutText(bytes, 33, 30, tag.artist, tag.fill);
    PutText(bytes, 63, 30, tag.album, tag.fill);
    PutText(bytes, 93, 4, tag.year, tag.fill);
    if (tag.track) {
        PutText(bytes, 97, 28, tag.comment, tag.fill);
        bytes[125] = '\0';
        bytes[126] = static_cast<char>(*tag.track);
    } else {
        PutText(bytes, 97, 30, tag.comment, tag.fill);
    }
    bytes[127] = static_cast<char>(tag.genre);
    return bytes;
}

std::string Junk(size_t size, uint32_t seed) {
    Generator generator(seed);
    std::string bytes(size, '\0');
    uint8_t previous = 0;
    for (size_t i = 0; i < size; ++i) {
        uint8_t byte = generator.NextByte();
        if (previous == 0xFF && byte >= 0xE0) byte &= 0x7F;
        if (i + 1 == size && byte == 0xFF) byte = 0xFE;
        bytes[i] = static_cast<char>(byte);
        previous = byte;
    }
    return bytes;
}

std::string RandomBytes(size_t size, uint32_t seed) {
    Generator generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(generator.NextByte());
    return bytes;
}

std::string Id3v2Block(size_t size, std::optional<size_t> falseSync, uint32_t falseHeader) {
    if (size < 10) throw std::invalid_argument("an ID3v2 block has at least 10 bytes");
    std::string bytes(size, '\0');
    bytes.replace(0, 5, "ID3\x03\x00", 5);
    // The size after the 10-byte header, in four 7-bit groups.
    const size_t body = size - 10;
    for (int i = 0; i < 4; ++i)
        bytes[6 + static_cast<size_t>(i)] = static_cast<char>((body >> (7 * (3 - i))) & 0x7F);
    if (falseSync) {
        if (*falseSync < 10 || *falseSync + 4 > size) {
            throw std::invalid_argument("false sync must lie inside the block's body");
        }
        PutBigEndian32(bytes, *falseSync, falseHeader);
    }
    return bytes;
}

std::string BuildFile(const FileLayout& layout) {
    if (layout.frames < 0) throw std::invalid_argument("negative frame count");
    if (layout.xing && layout.frames < 1) throw std::invalid_argument("a Xing header needs a frame");
    std::string bytes = layout.prefix;
    const std::string silent = layout.frames > 0 ? SilentFrame(layout.frame) : std::string();
    bytes.reserve(bytes.size() + silent.size() * static_cast<size_t>(layout.frames) + 128);
    for (int i = 0; i < layout.frames; ++i) {
        bytes += (i == 0 && layout.xing) ? XingFrame(layout.frame, *layout.xing) : silent;
    }
    if (layout.tag) bytes += Id3v1Bytes(*layout.tag);
    if (layout.truncateAt) bytes = Truncate(bytes, *layout.truncateAt);
    return bytes;
}

std::string Truncate(const std::string& bytes, size_t size) {
    return bytes.substr(0, std::min(size, bytes.size()));
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot create " + path);
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) throw std::runtime_error("cannot write " + path);
}

}  // namespace kestrune::synth
