#include "mpgtools/AudioBounds.h"

#include <string>

#include "platform/Digits.h"

namespace kestrune {

namespace {

constexpr int64_t kId3v1Size = 128;
constexpr int64_t kApeFooterSize = 32;
constexpr int64_t kLyricsEndSize = 15;  // six digits of size, then "LYRICS200"
constexpr std::string_view kLyricsBegin = "LYRICSBEGIN";

uint8_t Byte(std::string_view bytes, size_t at) {
    return static_cast<uint8_t>(bytes[at]);
}

uint32_t LittleEndian32(std::string_view bytes, size_t at) {
    return static_cast<uint32_t>(Byte(bytes, at)) |
           (static_cast<uint32_t>(Byte(bytes, at + 1)) << 8) |
           (static_cast<uint32_t>(Byte(bytes, at + 2)) << 16) |
           (static_cast<uint32_t>(Byte(bytes, at + 3)) << 24);
}

// The size of the APEv2 (or v1) tag whose footer ends at `end`; 0 when there is none.
int64_t ApeTagSize(const ByteFetcher& fetch, int64_t end, int64_t floor) {
    if (end - floor < kApeFooterSize) return 0;
    const std::string_view footer = fetch(end - kApeFooterSize, kApeFooterSize);
    if (footer.size() != kApeFooterSize || footer.substr(0, 8) != "APETAGEX") return 0;
    const int64_t body = LittleEndian32(footer, 12);  // items and footer, not the header
    const bool hasHeader = (Byte(footer, 23) & 0x80) != 0;
    const int64_t size = body + (hasHeader ? kApeFooterSize : 0);
    if (body < kApeFooterSize || size > end - floor) return 0;
    return size;
}

// The size of the Lyrics3v2 block ending at `end`; 0 when there is none.
int64_t LyricsSize(const ByteFetcher& fetch, int64_t end, int64_t floor) {
    if (end - floor < kLyricsEndSize) return 0;
    const std::string_view tail = fetch(end - kLyricsEndSize, static_cast<size_t>(kLyricsEndSize));
    if (tail.size() != kLyricsEndSize || tail.substr(6) != "LYRICS200") return 0;
    const int64_t body = FixedDigits(tail, 0, 6).value_or(0);
    const int64_t size = body + kLyricsEndSize;
    if (body < static_cast<int64_t>(kLyricsBegin.size()) || size > end - floor) return 0;
    if (fetch(end - size, kLyricsBegin.size()) != kLyricsBegin) return 0;
    return size;
}

// The size of an ID3v2 tag appended at the end (it then carries a footer "3DI"); 0 when none.
int64_t AppendedId3v2Size(const ByteFetcher& fetch, int64_t end, int64_t floor) {
    constexpr auto kFooter = static_cast<int64_t>(kId3v2HeaderSize);
    if (end - floor < 2 * kFooter) return 0;
    const std::string_view footer = fetch(end - kFooter, kId3v2HeaderSize);
    if (footer.size() != kId3v2HeaderSize || footer.substr(0, 3) != "3DI") return 0;
    // Only a 2.4 tag with its footer flag has a footer, and its header must stand where the
    // footer's size says.
    std::string asHeader(footer);
    asHeader.replace(0, 3, "ID3");
    if (Id3v2MajorVersion(asHeader) != 4 || (static_cast<uint8_t>(asHeader[5]) & 0x10) == 0)
        return 0;
    const int64_t size = Id3v2TagSize(asHeader);
    if (size == 0 || size > end - floor || fetch(end - size, 3) != "ID3") return 0;
    return size;
}

}  // namespace

int Id3v2MajorVersion(std::string_view header) {
    if (header.size() < kId3v2HeaderSize || header.substr(0, 3) != "ID3") return 0;
    const int major = Byte(header, 3);
    if (major < 2 || major > 4 || Byte(header, 4) == 0xFF) return 0;
    for (size_t i = 6; i < 10; ++i) {
        if (Byte(header, i) >= 0x80) return 0;
    }
    return major;
}

int64_t Id3v2TagSize(std::string_view header) {
    const int major = Id3v2MajorVersion(header);
    if (major == 0) return 0;
    int64_t body = 0;
    for (size_t i = 6; i < 10; ++i) body = (body << 7) | Byte(header, i);
    // Only version 2.4 has a footer, announced by flag bit 4.
    const bool footer = major == 4 && (Byte(header, 5) & 0x10) != 0;
    return static_cast<int64_t>(kId3v2HeaderSize) + body +
           (footer ? static_cast<int64_t>(kId3v2HeaderSize) : 0);
}

int64_t LeadingTagsEnd(const ByteFetcher& fetch, int64_t fileSize) {
    int64_t end = 0;
    while (fileSize - end >= static_cast<int64_t>(kId3v2HeaderSize)) {
        const int64_t size = Id3v2TagSize(fetch(end, kId3v2HeaderSize));
        if (size == 0 || size > fileSize - end) break;
        end += size;
    }
    return end;
}

TrailingTags FindTrailingTags(const ByteFetcher& fetch, int64_t fileSize, int64_t audioStart) {
    TrailingTags tags;
    int64_t end = fileSize;
    if (end - audioStart >= kId3v1Size && fetch(end - kId3v1Size, 3) == "TAG") {
        tags.id3v1 = true;
        end -= kId3v1Size;
    }
    for (;;) {
        if (const int64_t ape = ApeTagSize(fetch, end, audioStart); ape > 0) {
            if (tags.apeStart < 0) {  // the one nearest the end is the one readers take
                tags.apeStart = end - ape;
                tags.apeSize = ape;
            }
            end -= ape;
        } else if (const int64_t lyrics = LyricsSize(fetch, end, audioStart); lyrics > 0) {
            end -= lyrics;
        } else if (const int64_t id3 = AppendedId3v2Size(fetch, end, audioStart); id3 > 0) {
            end -= id3;
        } else {
            break;
        }
    }
    tags.audioEnd = end;
    return tags;
}

}  // namespace kestrune
