#include "mpgtools/Id3v2Slim.h"

namespace kestrune {

namespace {

uint8_t Byte(std::string_view bytes, size_t at) {
    return static_cast<uint8_t>(bytes[at]);
}

uint32_t BigEndian(std::string_view bytes, size_t at, size_t count) {
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i) value = (value << 8) | Byte(bytes, at + i);
    return value;
}

uint32_t Syncsafe(std::string_view bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = (value << 7) | (Byte(bytes, at + i) & 0x7F);
    return value;
}

bool IsPicture(std::string_view id) {
    return id == "APIC" || id == "GEOB" || id == "PIC" || id == "GEO";
}

std::string WholeTag(const ByteFetcher& fetch, int64_t tagSize) {
    return std::string(fetch(0, static_cast<size_t>(tagSize)));
}

}  // namespace

std::string Id3v2WithoutPictures(const ByteFetcher& fetch, int64_t fileSize) {
    const std::string header(fetch(0, kId3v2HeaderSize));
    const int major = Id3v2MajorVersion(header);
    if (major == 0) return {};
    const int64_t tagSize = Id3v2TagSize(header);
    if (tagSize > fileSize) return {};
    const uint8_t flags = Byte(header, 5);
    // Before 2.4 unsynchronisation covers the frame headers too; 2.2 compression has no form.
    if (major < 4 && (flags & 0x80) != 0) return WholeTag(fetch, tagSize);
    if (major == 2 && (flags & 0x40) != 0) return WholeTag(fetch, tagSize);

    const int64_t bodyEnd = static_cast<int64_t>(kId3v2HeaderSize) + Syncsafe(header, 6);
    int64_t at = static_cast<int64_t>(kId3v2HeaderSize);
    std::string kept;
    if (major >= 3 && (flags & 0x40) != 0) {  // an extended header, kept as it is
        const std::string_view size = fetch(at, 4);
        if (size.size() != 4) return WholeTag(fetch, tagSize);
        const int64_t extended = major == 3 ? 4 + static_cast<int64_t>(BigEndian(size, 0, 4))
                                            : static_cast<int64_t>(Syncsafe(size, 0));
        if (extended < 4 || extended > bodyEnd - at) return WholeTag(fetch, tagSize);
        kept.append(fetch(at, static_cast<size_t>(extended)));
        at += extended;
    }
    const size_t headerSize = major == 2 ? 6 : 10;
    const size_t idSize = major == 2 ? 3 : 4;
    while (bodyEnd - at >= static_cast<int64_t>(headerSize)) {
        const std::string_view frameHeader = fetch(at, headerSize);
        if (frameHeader.size() != headerSize || frameHeader[0] == '\0') break;  // padding
        const int64_t body = major == 2   ? BigEndian(frameHeader, 3, 3)
                             : major == 3 ? BigEndian(frameHeader, 4, 4)
                                          : Syncsafe(frameHeader, 4);
        const int64_t frameSize = static_cast<int64_t>(headerSize) + body;
        if (frameSize > bodyEnd - at) return WholeTag(fetch, tagSize);
        if (!IsPicture(frameHeader.substr(0, idSize))) {
            const std::string_view frame = fetch(at, static_cast<size_t>(frameSize));
            if (frame.size() != static_cast<size_t>(frameSize)) return WholeTag(fetch, tagSize);
            kept.append(frame);
        }
        at += frameSize;
    }
    // The same header with the new size, without padding and footer.
    std::string slim = header;
    slim[5] = static_cast<char>(flags & ~0x10);
    const auto size = static_cast<uint32_t>(kept.size());
    for (size_t i = 0; i < 4; ++i) slim[6 + i] = static_cast<char>((size >> (21 - 7 * i)) & 0x7F);
    return slim + kept;
}

}  // namespace kestrune
