#pragma once
// Makes MP3 files byte by byte: frame headers of any version, layer and rate, silent frames,
// a Xing header, ID3v1 and ID3v1.1 tags, junk and ID3v2-like blocks in front, cut files.
// Used by tests, benchmarks, the demo station generator and fuzz corpora. Everything is
// deterministic: the same arguments give the same bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::synth {

// The header's two version bits.
enum class Version : uint8_t { Mpeg25 = 0, Reserved = 1, Mpeg2 = 2, Mpeg1 = 3 };

// Channel modes (header bits 7..6).
inline constexpr int kStereo = 0;
inline constexpr int kJointStereo = 1;
inline constexpr int kDualChannel = 2;
inline constexpr int kSingleChannel = 3;

// One frame header, field by field. Out-of-range values are masked to their bit width, so
// reserved and invalid combinations can be written on purpose.
struct FrameFields {
    Version version = Version::Mpeg1;
    int layer = 3;            // 1..3; 0 writes the reserved layer bits 00
    int bitRateIndex = 9;     // 0..15; 9 is 128 kbit/s for MPEG-1 Layer III
    int sampleRateIndex = 0;  // 0..3; 0 is 44100 Hz for MPEG-1
    int mode = kStereo;       // 0..3
    int modeExtension = 0;    // 0..3
    bool padding = false;
    bool protectionBit = true;  // header bit 16: 1 means no checksum follows the header
    bool copyright = false;
    bool original = false;
    int emphasis = 0;  // 0..3
};

// The 32-bit header, first byte in the top bits, and the same as four bytes.
uint32_t HeaderWord(const FrameFields& frame);
std::string HeaderBytes(const FrameFields& frame);

// Rates of the standard tables; 0 for free-format, reserved or unknown entries.
int BitRateKbps(const FrameFields& frame);
int SampleRateHz(const FrameFields& frame);
// 384 for Layer I, 576 for Layer III of MPEG-2 and MPEG-2.5, else 1152.
int SamplesPerFrame(const FrameFields& frame);
// The real length of the frame in bytes, padding included; 0 when its rates are unusable.
int FrameLength(const FrameFields& frame);
// Layer III side information size: 32/17 bytes (MPEG-1 stereo/mono), 17/9 (MPEG-2 and 2.5).
int SideInfoSize(const FrameFields& frame);

// The CRC-16 of MPEG frame checksums: polynomial 0x8005, start value 0xFFFF, high bit first.
uint16_t FrameCrc16(std::string_view bytes);

// A frame of FrameLength bytes: the header, a checksum when protectionBit is false (computed
// for Layer III, zero for the other layers), and zero bytes. For MPEG-1 Layer III that is a
// valid frame of silence. Throws std::invalid_argument when the frame has no length.
std::string SilentFrame(const FrameFields& frame);

// The Xing header of a variable-bit-rate file, carried in the first frame.
inline constexpr uint32_t kXingFrames = 0x1;
inline constexpr uint32_t kXingBytes = 0x2;
inline constexpr uint32_t kXingToc = 0x4;
inline constexpr uint32_t kXingQuality = 0x8;

struct XingFields {
    uint32_t flags = kXingFrames | kXingBytes | kXingToc;
    uint32_t frames = 0;   // written when flags has kXingFrames
    uint32_t bytes = 0;    // written when flags has kXingBytes
    uint32_t quality = 0;  // written when flags has kXingQuality
    // Where "Xing" starts inside the frame; 0 means right after the Layer III side
    // information (4 + SideInfoSize), where readers look for it.
    int offset = 0;
};

// Xing data length: "Xing", the flags word and the fields the flags ask for.
int XingSize(const XingFields& xing);
// A silent frame carrying the Xing header. Throws std::invalid_argument when it does not fit.
std::string XingFrame(const FrameFields& frame, const XingFields& xing);

// An ID3v1 tag. Texts are cut to their fields and padded with `fill`. With a track number the
// tag has the ID3v1.1 form: 28 comment bytes, a NUL, the track.
struct Id3v1Tag {
    std::string header = "TAG";
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::optional<uint8_t> track;
    uint8_t genre = 255;
    char fill = '\0';
};

// The 128 bytes of the tag.
std::string Id3v1Bytes(const Id3v1Tag& tag);

// Seeded bytes in which no MPEG frame sync can start (an FF byte is never followed by a byte
// of E0 or more, and the block never ends with FF).
std::string Junk(size_t size, uint32_t seed);
// Seeded bytes without any rule: anything may appear.
std::string RandomBytes(size_t size, uint32_t seed);

// A block that looks like an ID3v2 tag ("ID3", version, flags, sync-safe size) filled with
// zero bytes, `size` bytes in all (at least 10). With `falseSync`, the four bytes of the given
// header are written at that offset: a frame sync that is no frame.
std::string Id3v2Block(size_t size, std::optional<size_t> falseSync = std::nullopt,
                       uint32_t falseHeader = 0xFFFB9064u);

// A whole file: prefix, the frames (the first one carrying the Xing header when asked for),
// the tag, then cut to `truncateAt` bytes when given.
struct FileLayout {
    std::string prefix;
    FrameFields frame;
    int frames = 2;
    std::optional<XingFields> xing;
    std::optional<Id3v1Tag> tag;
    std::optional<size_t> truncateAt;
};

std::string BuildFile(const FileLayout& layout);

// The first `size` bytes (all of them when the text is shorter).
std::string Truncate(const std::string& bytes, size_t size);

// Writes the bytes to a new or replaced file; throws std::runtime_error when it cannot.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace kestrune::synth
