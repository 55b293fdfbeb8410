#include "mpgtools/MPGTools.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <utility>

#include "mpgtools/FrameCount.h"
#include "mpgtools/FrameHeader.h"
#include "mpgtools/Id3v2Slim.h"
#include "mpgtools/TagFieldText.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/RandomAccessFile.h"
#include "tags/TagText.h"

namespace kestrune {

namespace {

constexpr int32_t kRetry = 4;

constexpr size_t kXingDataSize = 116;  // flags, frames, bytes, table of contents, quality

// A typical file is read whole when it is small, else its first few kilobytes, which hold the
// first header, the second one and the Xing probe. Stretches without audio are crossed in
// larger pieces.
constexpr int64_t kWholeFileRead = 16 * 1024;
constexpr size_t kFirstRead = 4 * 1024;
constexpr size_t kScanChunk = 64 * 1024;
constexpr int64_t kScanLookahead = 256;

constexpr int64_t kPumpInterval = 300;

// The end of a file is read in one piece this long: the ID3v1 tag and the footers of the blocks
// before it.
constexpr int64_t kTailRead = 512;

constexpr uint32_t kSyncMask = 0xFFE00000u;

uint32_t ReadBigEndian32(const uint8_t* b) {
    return (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16) |
           (static_cast<uint32_t>(b[2]) << 8) | static_cast<uint32_t>(b[3]);
}

// False for headers that cannot be valid whatever the file: no sync, reserved version or
// layer, free-format or reserved bit rate, reserved sample rate. Lets the search skip the full
// decode for nearly every byte it crosses.
bool MayBeValid(uint32_t h) {
    if ((h & kSyncMask) != kSyncMask) return false;
    if (((h >> 19) & 3) == 1) return false;
    if (((h >> 17) & 3) == 0) return false;
    const uint32_t bitRateIndex = (h >> 12) & 15;
    if (bitRateIndex == 0 || bitRateIndex == 15) return false;
    return ((h >> 10) & 3) != 3;
}

// The first position in [p, last] where a header that may be valid starts; null if none.
// Every byte from p + 1 to last + 3 must be readable.
const uint8_t* FindCandidate(const uint8_t* p, const uint8_t* last) {
    while (p <= last) {
        if (*p != 0xFF) {
            p = static_cast<const uint8_t*>(
                std::memchr(p + 1, 0xFF, static_cast<size_t>(last - p)));
            if (p == nullptr) return nullptr;
        }
        if ((p[1] & 0xE0) == 0xE0 && MayBeValid(ReadBigEndian32(p))) return p;
        ++p;
    }
    return nullptr;
}

// amount / unit, rounded to the nearest whole number with ties to even: samples / rate for
// seconds, bits / bit rate for seconds or milliseconds. Whole-number arithmetic, so that exact
// ties are recognised as such.
int64_t RoundedSeconds(int64_t samples, int64_t sampleRate) {
    const int64_t whole = samples / sampleRate;
    const int64_t rest = samples % sampleRate;
    if (2 * rest > sampleRate) return whole + 1;
    if (2 * rest == sampleRate) return whole + (whole & 1);
    return whole;
}

const char* MpegFormatName(uint8_t layer) {
    static constexpr const char* kNames[] = {"", "MP1", "MP2", "MP3"};
    return kNames[layer < 4 ? layer : 0];
}

}  // namespace

double DosDateTimeToDateTime(int32_t dosDateTime) {
    if (dosDateTime == 0) return 0;
    const uint32_t packed = static_cast<uint32_t>(dosDateTime);
    const uint32_t date = packed >> 16;
    const uint32_t time = packed & 0xFFFF;
    const std::chrono::year_month_day day{std::chrono::year(1980 + static_cast<int>(date >> 9)),
                                          std::chrono::month((date >> 5) & 15),
                                          std::chrono::day(date & 31)};
    const uint32_t hour = time >> 11;
    const uint32_t minute = (time >> 5) & 63;
    const uint32_t second = (time & 31) * 2;
    if (!day.ok() || hour > 23 || minute > 59 || second > 59) return 0;
    constexpr std::chrono::sys_days kEpoch{std::chrono::year(1899) / 12 / 30};
    const auto days = (std::chrono::sys_days(day) - kEpoch).count();
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

TMPEGAudio::TMPEGAudio() : TMPEGAudio(ReaderSetup{}) {}

TMPEGAudio::TMPEGAudio(ReaderSetup setup)
    // The question is held by the callback itself, so that a copied reader asks it too.
    : ErrorCallback([ask = setup.askOnError](const TMPEGFileInfo& info) -> uint16_t {
          return ask ? static_cast<uint16_t>(ask(info.FileName)) : uint16_t{5};
      }),
      setup_(std::move(setup)) {}

void TMPEGAudio::SetFileName(std::string_view fileName) {
    MPEGFileInfo.FileName.assign(fileName);
    if (AutoLoad) Load();
}

int32_t TMPEGAudio::Load() {
    const std::string given = MPEGFileInfo.FileName;
    ResetInfo();
    MPEGFileInfo.FileName = ExpandFileName(given);
    int32_t result = 0;
    do {
        result = Attempt(given);
        if (result != 0 && ErrorCallback) result = ErrorCallback(MPEGFileInfo);
    } while (result == kRetry);
    return result;
}

int32_t TMPEGAudio::Attempt(const std::string& givenName) {
    TMPEGFileInfo& info = MPEGFileInfo;
    // One look at the file tells whether it exists and gives its date and attributes. It comes
    // before the open: a pipe would make the open wait for a writer. Pipes, sockets and devices
    // have no length, and read as an empty file.
    const auto status = GetFileStatus(info.FileName);
    if (!status || status->isDirectory) {
        Assign(info.Title, "[not found: " + ExtractFileName(givenName) + "]", kTitleCapacity);
        return -1;
    }
    HeaderPosition = 0;
    if ((status->attributes & kAttrArchive) == 0) return 0;
    RandomAccessFile file;
    const int openError = file.Open(info.FileName);
    if (openError != 0) return openError;
    const int64_t size = file.Size();
    // Nothing to play: asked about and passed over like any file that cannot be timed.
    if (size <= 5) {
        info.Problem = "the file is empty";
        return -1;
    }
    try {
        info.FileDateTime = status->dosDateTime;
        info.FileAttr = status->attributes;
        info.VolumeLabel.clear();  // Linux volumes carry no label
        // The record holds 32 bits; a larger file keeps the low ones, as the field always has.
        info.FileLength = static_cast<int32_t>(size);
        window_.Attach(&file);
        const int32_t result = ReadAudio(file, size);
        window_.Detach();
        return result;
    } catch (const std::exception&) {
        window_.Detach();
        return -1;
    }
}

int32_t TMPEGAudio::ReadAudio(const RandomAccessFile& file, int64_t fileSize) {
    const size_t firstRead =
        fileSize <= kWholeFileRead ? static_cast<size_t>(fileSize) : kFirstRead;
    const uint8_t* first = window_.Fetch(0, 4, firstRead);
    if (first == nullptr) return -1;
    // The start stays at hand while the tag's frames send the window past its pictures.
    head_.assign(reinterpret_cast<const char*>(first), window_.AvailableFrom(0));
    // A miss reads on from there: the next frame header of a tag, or the first audio frame.
    const ByteFetcher fetch = [this](int64_t offset, size_t count) {
        if (offset + static_cast<int64_t>(count) <= static_cast<int64_t>(head_.size()))
            return std::string_view(head_).substr(static_cast<size_t>(offset), count);
        const uint8_t* bytes = window_.Fetch(offset, count, kFirstRead);
        return bytes == nullptr ? std::string_view()
                                : std::string_view(reinterpret_cast<const char*>(bytes), count);
    };
    // The tag's frames are taken first, while the file's start is in memory.
    id3v2Tag_.clear();
    if (setup_.tags != nullptr && !setup_.library.id3v1Only)
        id3v2Tag_ = Id3v2WithoutPictures(fetch, fileSize);
    const int64_t tagsEnd = LeadingTagsEnd(fetch, fileSize);
    const size_t headSize = static_cast<size_t>(
        std::min<int64_t>(fileSize - tagsEnd, static_cast<int64_t>(kSniffBytes)));
    const std::string_view head = fetch(tagsEnd, headSize);
    const AudioFormat format = SniffAudioFormat(head);
    // An Ogg stream is never MPEG audio, whatever bytes inside it look like frames.
    if (format == AudioFormat::Unknown) {
        MPEGFileInfo.Problem = OggCodecName(head) + ": a format the tag library cannot time";
        return -1;
    }
    // The other formats need the tag library; without one every file is searched for frames.
    if (setup_.tags != nullptr && format != AudioFormat::Mpeg)
        return ReadOtherFormat(file, format);
    int32_t result = FrameSearch(fileSize, tagsEnd);
    if (result != 0 && tagsEnd != 0) {
        // The declared size led to no frame: search from the first byte after the tag's header.
        ResetKeepingFile();
        result = FrameSearch(fileSize, static_cast<int64_t>(kId3v2HeaderSize));
    }
    if (result != 0 && MPEGFileInfo.Problem.empty())
        MPEGFileInfo.Problem = "no MPEG audio frames were found";
    return result;
}

int32_t TMPEGAudio::ReadOtherFormat(const RandomAccessFile& file, AudioFormat format) {
    TMPEGFileInfo& info = MPEGFileInfo;
    TrackFacts facts;
    const std::string name = AudioFormatName(format);
    if (setup_.tags->ReadOtherFormat(file, format, facts) != TagReadStatus::Success) {
        info.Problem = name + ": the tag library cannot read this file";
        return -1;
    }
    // Never a made-up length: a file the tag library gives no playing time is not placed.
    if (facts.durationMs <= 0) {
        info.Problem = name + ": the tag library cannot time this file";
        return -1;
    }
    info.Format = name;
    info.SampleRate = facts.sampleRate;
    info.BitRate = facts.bitRate;
    info.DurationMs = facts.durationMs;
    info.Duration = static_cast<uint16_t>(RoundedSeconds(facts.durationMs, 1000));
    if (setup_.library.id3v1Only) return 0;
    if (facts.tags.year) facts.tags.year = TagYear(*facts.tags.year);
    TakeTags(facts.tags, facts.tagSource);
    return 0;
}

int32_t TMPEGAudio::FrameSearch(int64_t fileSize, int64_t start) {
    TMPEGFileInfo& info = MPEGFileInfo;
    int64_t position = start;
    int32_t result = -1;
    for (;;) {
        const uint8_t* bytes = window_.Fetch(position, 4, kScanChunk);
        if (bytes == nullptr) return -1;
        position += 4;
        uint32_t header = ReadBigEndian32(bytes);
        if (!DecodeFrameHeader(header) && !ScanForHeader(fileSize, position, header)) return -1;

        const int64_t headerPosition = position - 4;
        HeaderPosition = static_cast<int32_t>(headerPosition);
        const int64_t room = static_cast<int64_t>(info.FileLength) - headerPosition -
                             info.FrameLength + (info.ProtectionBit ? 2 : 0);
        if (IsValid() && room > 0) {
            const int64_t second = headerPosition + info.FrameLength;
            const uint8_t* next = window_.Fetch(second, 4, kScanChunk);
            if (next == nullptr) return -1;
            position = second + 4;
            if (!DecodeFrameHeader(ReadBigEndian32(next))) {
                // A false sync: look again from the byte after it.
                ResetKeepingFile();
                position = headerPosition + 1;
                result = -1;
            } else {
                return FinishPair(fileSize, headerPosition);
            }
        } else {
            ResetKeepingFile();
            HeaderPosition = static_cast<int32_t>(static_cast<int64_t>(info.FileLength) + 1);
            result = -1;
        }
        if (IsValid() || position >= fileSize || (SearchLimit > 0 && position > SearchLimit)) {
            return result;
        }
    }
}

int32_t TMPEGAudio::FinishPair(int64_t fileSize, int64_t headerPosition) {
    TMPEGFileInfo& info = MPEGFileInfo;
    const uint8_t* first = window_.Fetch(headerPosition, 4, kScanChunk);
    if (first == nullptr) return -1;
    const uint32_t firstHeader = ReadBigEndian32(first);
    if (ReadXing(headerPosition) != 0) return -1;
    const bool xing = info.BitRate == -1;
    // Without a Xing header: a VBRI or Info header counts the frames; else the frames at hand
    // (already in memory, no read) tell a variable bit rate, which the byte count cannot time.
    std::optional<uint32_t> headerFrames;
    FrameTally seen;
    infoFrame_ = false;
    if (!xing) {
        headerFrames = FrameCountHeader(headerPosition, fileSize);
        if (!headerFrames && !infoFrame_) seen = CountFrames(HeldBytes(), headerPosition, fileSize);
    }
    // The end of the file in one read: the ID3v1 tag and the footers of the blocks before it.
    const int64_t tailStart = std::max(headerPosition, fileSize - kTailRead);
    if (window_.Fetch(tailStart, static_cast<size_t>(fileSize - tailStart)) == nullptr) return -1;
    const TrailingTags trailing = FindTrailingTags(
        [this](int64_t offset, size_t count) {
            const uint8_t* bytes = window_.Fetch(offset, count, count);
            return bytes == nullptr ? std::string_view()
                                    : std::string_view(reinterpret_cast<const char*>(bytes), count);
        },
        fileSize, headerPosition);
    info.Format = MpegFormatName(info.Layer);
    info.AudioStart = headerPosition;
    info.AudioBytes = trailing.audioEnd - headerPosition;
    if (info.BitRate > 0) {
        // Constant bit rate: the audio's bytes alone make the playing time.
        const int64_t headerFrame = infoFrame_ ? FrameLengthOf(firstHeader) : 0;
        const int64_t bits = std::max<int64_t>(0, info.AudioBytes - headerFrame) * 8;
        info.Duration = static_cast<uint16_t>(RoundedSeconds(bits, info.BitRate * 1000LL));
        info.DurationMs = RoundedSeconds(bits, info.BitRate);
    }
    if (headerFrames) {
        TakeSamples(static_cast<int64_t>(SamplesPerFrame(info.Version, info.Layer)) *
                    *headerFrames);
    } else if (!xing && (seen.BitRateVaries() ||
                         TailBitRateDiffers(firstHeader, seen, tailStart, trailing))) {
        // Variable bit rate and nothing that says how many frames: the frames are counted.
        const FrameTally all = CountFrames(
            [this](int64_t offset, size_t count) {
                const uint8_t* bytes = window_.Fetch(offset, count, kScanChunk);
                return bytes == nullptr
                           ? std::string_view()
                           : std::string_view(reinterpret_cast<const char*>(bytes), count);
            },
            headerPosition, trailing.audioEnd);
        TakeSamples(all.samples);
    }
    if (info.FileLength > static_cast<int32_t>(kId3v1TagSize) && !ReadTags(trailing)) return -1;
    return 0;
}

ByteFetcher TMPEGAudio::HeldBytes() const {
    return [this](int64_t offset, size_t count) { return window_.Held(offset).substr(0, count); };
}

bool TMPEGAudio::TailBitRateDiffers(uint32_t firstHeader, const FrameTally& seen, int64_t tailStart,
                                    const TrailingTags& trailing) const {
    if (seen.frames == 0 || trailing.audioEnd <= tailStart) return false;
    const std::string_view tail =
        window_.Held(tailStart).substr(0, static_cast<size_t>(trailing.audioEnd - tailStart));
    const std::optional<FrameTally> last = FramesBeforeEnd(tail, firstHeader);
    return last && (last->minBitRate != seen.minBitRate || last->maxBitRate != seen.minBitRate);
}

std::optional<uint32_t> TMPEGAudio::FrameCountHeader(int64_t headerPosition, int64_t fileSize) {
    TMPEGFileInfo& info = MPEGFileInfo;
    const int64_t at = headerPosition + XingOffset();
    // LAME's header of a constant-bit-rate file holds no audio: the bytes after it are timed
    // (its frame count is not trusted over the bytes there are).
    if (const uint8_t* tag = window_.Fetch(at, 4, kScanChunk);
        tag != nullptr && std::memcmp(tag, "Info", 4) == 0) {
        infoFrame_ = true;
        return std::nullopt;
    }
    const size_t vbriBytes = 36 + 18;
    if (fileSize - headerPosition < static_cast<int64_t>(vbriBytes)) return std::nullopt;
    const uint8_t* frame = window_.Fetch(headerPosition, vbriBytes, kScanChunk);
    if (frame == nullptr) return std::nullopt;
    const std::optional<uint32_t> frames =
        VbriFrameCount(std::string_view(reinterpret_cast<const char*>(frame), vbriBytes));
    if (!frames || *frames == 0) return std::nullopt;
    info.BitRate = -1;  // variable, as with a Xing header
    info.FrameLength = static_cast<uint16_t>(static_cast<int64_t>(info.FileLength) / *frames);
    return frames;
}

void TMPEGAudio::TakeSamples(int64_t samples) {
    TMPEGFileInfo& info = MPEGFileInfo;
    info.Duration = static_cast<uint16_t>(RoundedSeconds(samples, info.SampleRate));
    info.DurationMs = RoundedSeconds(samples * 1000, info.SampleRate);
}

int64_t TMPEGAudio::XingOffset() const {
    const TMPEGFileInfo& info = MPEGFileInfo;
    if (info.Version == kMpeg1) return info.Mode == 3 ? 21 : 36;
    return info.Mode == 3 ? 13 : 21;
}

bool TMPEGAudio::ScanForHeader(int64_t fileSize, int64_t& position, uint32_t& header) {
    for (;;) {
        int64_t end = fileSize;
        if (SearchLimit != 0) {
            if (position > SearchLimit) break;
            end = std::min<int64_t>(end, static_cast<int64_t>(SearchLimit) + 1);
        }
        if (position >= end) break;

        // Every header still to be tried starts at or after the window's second byte.
        const int64_t base = position - 3;
        const size_t wanted = static_cast<size_t>(std::min(end - base, kScanLookahead));
        const uint8_t* data = window_.Fetch(base, wanted, kScanChunk);
        if (data == nullptr) return false;
        const int64_t stop =
            std::min(end, base + static_cast<int64_t>(window_.AvailableFrom(base)));

        const uint8_t* hit = FindCandidate(data, data + (stop - 4 - base));
        const int64_t reached = hit != nullptr ? base + (hit - data) + 4 : stop;

        // The user interface gets its turn at every multiple of 300 crossed. (Only possible
        // headers are decoded on the way, so meanwhile the fields are those of the last one.)
        for (int64_t at = (position / kPumpInterval + 1) * kPumpInterval; at <= reached;
             at += kPumpInterval) {
            setup_.Pump();
        }
        position = reached;
        header = ReadBigEndian32(data + (reached - 4 - base));
        if (hit != nullptr && DecodeFrameHeader(header)) return true;
    }
    // The last header crossed decides the header fields, as decoding every byte would.
    DecodeFrameHeader(header);
    return true;
}

int32_t TMPEGAudio::ReadXing(int64_t headerPosition) {
    TMPEGFileInfo& info = MPEGFileInfo;
    const int64_t at = headerPosition + XingOffset();
    const uint8_t* tag = window_.Fetch(at, 4, kScanChunk);
    if (tag == nullptr) return -1;
    if (std::memcmp(tag, "Xing", 4) != 0) return 0;
    info.BitRate = -1;
    const uint8_t* data = window_.Fetch(at + 4, kXingDataSize, kScanChunk);
    if (data == nullptr) return -1;
    const uint32_t flags = ReadBigEndian32(data);
    const uint32_t frames = (flags & 1) != 0 ? ReadBigEndian32(data + 4) : 0;
    const int64_t samples =
        static_cast<int64_t>(SamplesPerFrame(info.Version, info.Layer)) * frames;
    info.Duration = static_cast<uint16_t>(RoundedSeconds(samples, info.SampleRate));
    info.DurationMs = RoundedSeconds(samples * 1000, info.SampleRate);
    if (frames == 0) return -1;  // no frame count: the mean frame length cannot be had
    info.FrameLength =
        static_cast<uint16_t>(static_cast<int64_t>(info.FileLength) / static_cast<int64_t>(frames));
    return 0;
}

void TMPEGAudio::ResetInfo() {
    TMPEGFileInfo& info = MPEGFileInfo;
    info = TMPEGFileInfo{};
    info.Header = "BAD";
    info.Title = "[notag]";
    info.Artist = "[notag]";
    info.Album = "[notag]";
    info.Year = "    ";
    info.Comment = "[notag]";
    info.Genre = 255;
    info.TagSource = "none";
    artistMissing_ = false;
    titleMissing_ = false;
    albumMissing_ = false;
}

void TMPEGAudio::ResetKeepingFile() {
    TMPEGFileInfo& info = MPEGFileInfo;
    std::string fileName = std::move(info.FileName);
    const int32_t fileDateTime = info.FileDateTime;
    const uint16_t fileAttr = info.FileAttr;
    const int32_t fileLength = info.FileLength;
    ResetInfo();
    info.FileName = std::move(fileName);
    info.FileDateTime = fileDateTime;
    info.FileAttr = fileAttr;
    info.FileLength = fileLength;
}

void TMPEGAudio::ClearHeaderFields() {
    TMPEGFileInfo& info = MPEGFileInfo;
    info.Version = 0;
    info.Layer = 0;
    info.SampleRate = 0;
    info.BitRate = 0;
    info.Mode = 0;
    info.CopyrightBit = false;
    info.OriginalBit = false;
    info.ProtectionBit = false;
    info.Padding = false;
    info.FrameLength = 0;
}

bool TMPEGAudio::DecodeFrameHeader(uint32_t h) {
    TMPEGFileInfo& info = MPEGFileInfo;
    ClearHeaderFields();
    if ((h & kSyncMask) != kSyncMask) return false;
    switch ((h >> 19) & 3) {
        case 3:
            info.Version = kMpeg1;
            break;
        case 2:
            info.Version = kMpeg2;
            break;
        case 0:
            info.Version = kMpeg25;
            break;
        default:
            info.Version = 0;
            break;
    }
    if (info.Version == 0) return IsValid();
    const uint32_t layerBits = (h >> 17) & 3;
    info.Layer = layerBits == 0 ? 0 : static_cast<uint8_t>(4 - layerBits);
    info.SampleRate = SampleRateFor(info.Version, (h >> 10) & 3);
    info.ProtectionBit = ((h >> 16) & 1) != 0;
    info.CopyrightBit = ((h >> 3) & 1) != 0;
    info.OriginalBit = ((h >> 2) & 1) != 0;
    info.Mode = static_cast<uint8_t>((h >> 6) & 3);
    info.Padding = ((h >> 9) & 1) != 0;
    info.BitRate = BitRateFor(info.Version, info.Layer, (h >> 12) & 15);
    // The whole file counts, tags included; 64 bits so that large files do not overflow.
    info.Duration = info.BitRate == 0
                        ? 0
                        : static_cast<uint16_t>(static_cast<int64_t>(info.FileLength) * 8 /
                                                (static_cast<int64_t>(info.BitRate) * 1000));
    info.FrameLength = static_cast<uint16_t>(
        CalcFrameLength(info.Version, info.Layer, info.SampleRate, info.BitRate, info.Padding));
    return IsValid();
}

bool TMPEGAudio::IsValid() const {
    const TMPEGFileInfo& info = MPEGFileInfo;
    return info.FileLength > 5 && info.Version != 0 && info.Layer != 0 && info.FileDateTime != 0 &&
           info.BitRate != 0 && info.BitRate >= -1 && info.SampleRate > 0;
}

int64_t PlayingSeconds(const TMPEGFileInfo& info) {
    constexpr int64_t kDurationLimitMs = 65535000;
    if (info.DurationMs < kDurationLimitMs) return info.Duration;
    return RoundedSeconds(info.DurationMs, 1000);
}

std::string TMPEGAudio::GetShortFileName() const {
    return "Error converting long filename to short.";
}

double TMPEGAudio::GetFileDateTime() const {
    return DosDateTimeToDateTime(MPEGFileInfo.FileDateTime);
}

std::string TMPEGAudio::GetModeText() const {
    static constexpr std::string_view kModes[] = {"Stereo", "Joint-Stereo", "Dual-Channel",
                                                  "Single-Channel"};
    return MPEGFileInfo.Mode < 4 ? std::string(kModes[MPEGFileInfo.Mode]) : std::string();
}

std::string TMPEGAudio::GetLayerText() const {
    static constexpr std::string_view kLayers[] = {"Unknown", "I", "II", "III"};
    return std::string(kLayers[MPEGFileInfo.Layer < 4 ? MPEGFileInfo.Layer : 0]);
}

}  // namespace kestrune
