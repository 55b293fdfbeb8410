#include "tags/Id3v2TextFrames.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "tags/TagText.h"

namespace kestrune {

namespace {

constexpr size_t kHeaderSize = 10;

enum class Encoding : uint8_t { Latin1 = 0, Utf16 = 1, Utf16BigEndian = 2, Utf8 = 3 };

uint8_t Byte(std::string_view bytes, size_t at) {
    return static_cast<uint8_t>(bytes[at]);
}

// One UTF-16 value. `bigEndian` holds the byte order of the values before: a value with a
// byte-order mark sets it, a value without one follows it; nullopt when neither tells the order.
std::optional<std::string> Utf16Value(std::string_view bytes, std::optional<bool>& bigEndian) {
    size_t at = 0;
    if (bytes.size() >= 2) {
        const auto mark = static_cast<uint16_t>(Byte(bytes, 0) << 8 | Byte(bytes, 1));
        if (mark == 0xFEFF || mark == 0xFFFE) {
            bigEndian = mark == 0xFEFF;
            at = 2;
        }
    }
    if (!bigEndian) return std::nullopt;
    const bool big = *bigEndian;
    auto unit = [&](size_t i) {
        return big ? static_cast<uint16_t>(Byte(bytes, i) << 8 | Byte(bytes, i + 1))
                   : static_cast<uint16_t>(Byte(bytes, i + 1) << 8 | Byte(bytes, i));
    };
    std::string out;
    for (; at + 1 < bytes.size(); at += 2) {
        const uint16_t first = unit(at);
        if (first >= 0xDC00 && first <= 0xDFFF) return std::nullopt;
        if (first < 0xD800 || first > 0xDBFF) {
            AppendUtf8(out, first);
            continue;
        }
        if (at + 3 >= bytes.size()) return std::nullopt;
        const uint16_t second = unit(at + 2);
        if (second < 0xDC00 || second > 0xDFFF) return std::nullopt;
        AppendUtf8(out, 0x10000 + ((uint32_t{first} - 0xD800) << 10) + (second - 0xDC00));
        at += 2;
    }
    return out;
}

size_t WidthOf(Encoding encoding) {
    return encoding == Encoding::Utf16 || encoding == Encoding::Utf16BigEndian ? 2 : 1;
}

// Whether the character at `at` (of `width` bytes) is the encoding's NUL.
bool IsNul(std::string_view text, size_t at, size_t width) {
    return text[at] == '\0' && (width == 1 || text[at + 1] == '\0');
}

// The values of a text in `encoding` (split at the encoding's NUL, trailing NULs and empty
// values left out), each in UTF-8; nullopt when a value does not decode.
std::optional<std::vector<std::string>> Values(std::string_view text, Encoding encoding) {
    // UTF-16 under a Latin-1 encoding byte, as some writers leave it: read as what it is, not
    // as "þÿ" and single letters between NULs.
    if (encoding == Encoding::Latin1 && text.size() >= 2 &&
        ((Byte(text, 0) == 0xFE && Byte(text, 1) == 0xFF) ||
         (Byte(text, 0) == 0xFF && Byte(text, 1) == 0xFE)))
        encoding = Encoding::Utf16;
    const size_t width = WidthOf(encoding);
    text = text.substr(0, text.size() - text.size() % width);
    std::vector<std::string> values;
    std::optional<bool> bigEndian;
    if (encoding == Encoding::Utf16BigEndian) bigEndian = true;
    size_t start = 0;
    for (size_t at = 0; at <= text.size(); at += width) {
        if (at < text.size() && !IsNul(text, at, width)) continue;
        const std::string_view raw = text.substr(start, at - start);
        start = at + width;
        if (raw.empty()) continue;
        std::string value;
        if (encoding == Encoding::Latin1) {
            value = Latin1ToUtf8(raw);
        } else if (encoding == Encoding::Utf8) {
            if (!IsValidUtf8(raw)) return std::nullopt;
            value = std::string(raw);
        } else {
            std::optional<std::string> decoded = Utf16Value(raw, bigEndian);
            if (!decoded) return std::nullopt;
            value = std::move(*decoded);
        }
        if (!value.empty()) values.push_back(std::move(value));
    }
    return values;
}

std::optional<std::string> Joined(const std::vector<std::string>& values) {
    std::string joined;
    for (const std::string& value : values) {
        if (!joined.empty()) joined += kTagValueSeparator;
        joined += value;
    }
    if (joined.empty()) return std::nullopt;
    return joined;
}

bool IsFrameIdChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

struct Frame {
    std::string_view id;
    std::string_view body;
};

// The frames of the tag; nullopt when the layout is one this reading leaves to the library.
std::optional<std::vector<Frame>> FramesOf(std::string_view tag, int major) {
    std::vector<Frame> frames;
    size_t at = kHeaderSize;
    while (tag.size() - at >= kHeaderSize) {
        if (tag[at] == '\0') break;  // padding
        const std::string_view id = tag.substr(at, 4);
        for (const char c : id)
            if (!IsFrameIdChar(c)) return std::nullopt;
        uint32_t size = 0;
        for (size_t i = 4; i < 8; ++i) {
            const uint8_t b = Byte(tag, at + i);
            if (major == 4 && (b & 0x80) != 0) return std::nullopt;  // not syncsafe
            size = major == 4 ? (size << 7) | b : (size << 8) | b;
        }
        if (Byte(tag, at + 9) != 0) return std::nullopt;  // compressed, encrypted, grouped...
        // An empty frame ends the tag library's reading of the tag; the library decides.
        if (size == 0 || size > tag.size() - at - kHeaderSize) return std::nullopt;
        frames.push_back(Frame{id, tag.substr(at + kHeaderSize, size)});
        at += kHeaderSize + size;
    }
    return frames;
}

// The values of a text frame; nullopt when the frame does not decode.
std::optional<std::vector<std::string>> TextValues(std::string_view body) {
    if (body.empty()) return std::vector<std::string>{};
    const uint8_t encoding = Byte(body, 0);
    if (encoding > 3) return std::nullopt;
    return Values(body.substr(1), static_cast<Encoding>(encoding));
}

// A comment's description and text; nullopt when the frame does not decode.
std::optional<std::pair<std::string, std::string>> Comment(std::string_view body) {
    if (body.size() < 4) return std::pair<std::string, std::string>{};
    const uint8_t code = Byte(body, 0);
    if (code > 3) return std::nullopt;
    const auto encoding = static_cast<Encoding>(code);
    const size_t width = WidthOf(encoding);
    const std::string_view rest = body.substr(4);
    size_t split = 0;
    while (split + width <= rest.size() && !IsNul(rest, split, width)) split += width;
    const size_t textStart = std::min(rest.size(), split + width);
    // The text may hold a byte-order mark of its own; a description without one leaves the
    // text's order to the text.
    const auto description = Values(rest.substr(0, split), encoding);
    const auto text = Values(rest.substr(textStart), encoding);
    if (!description || !text) return std::nullopt;
    return std::pair{description->empty() ? std::string() : description->front(),
                     text->empty() ? std::string() : text->front()};
}

// "(17)" then "Hard Rock" as two values (a 2.4 tag's way) reads as "(17)Hard Rock".
std::optional<std::string> GenreText(const std::vector<std::string>& values) {
    if (values.empty()) return std::nullopt;
    const std::string& first = values.front();
    const bool number = first.find_first_not_of("0123456789") == std::string::npos;
    if (number && values.size() > 1) return "(" + first + ")" + values[1];
    return first;
}

}  // namespace

bool ReadId3v2TextFrames(std::string_view tag, TagFields& fields, std::string& version) {
    if (tag.size() < kHeaderSize || tag.substr(0, 3) != "ID3") return false;
    const int major = Byte(tag, 3);
    if (major != 3 && major != 4) return false;
    if ((Byte(tag, 5) & 0xC0) != 0) return false;  // unsynchronised or extended header
    const std::optional<std::vector<Frame>> frames = FramesOf(tag, major);
    if (!frames) return false;

    TagFields read;
    std::optional<std::string> yearFromTyer;
    std::optional<std::pair<std::string, std::string>> firstComment;
    std::optional<std::string> plainComment;
    for (const Frame& frame : *frames) {
        std::optional<std::string>* target = nullptr;
        if (frame.id == "TIT2") target = &read.title;
        else if (frame.id == "TPE1") target = &read.artist;
        else if (frame.id == "TALB") target = &read.album;
        else if (frame.id == "TDRC") target = &read.year;
        else if (frame.id == "TYER") target = &yearFromTyer;
        else if (frame.id == "TCON") target = &read.genre;
        else if (frame.id == "TRCK") target = &read.track;
        else if (frame.id == "TSRC") target = &read.isrc;
        else if (frame.id == "TPUB") target = &read.label;
        if (target != nullptr) {
            const auto values = TextValues(frame.body);
            if (!values) return false;
            if (target->has_value()) continue;  // the first frame of an id counts
            *target = frame.id == "TCON" ? GenreText(*values) : Joined(*values);
            continue;
        }
        if (frame.id != "COMM") continue;
        auto comment = Comment(frame.body);
        if (!comment) return false;
        if (!firstComment) firstComment = comment;
        if (comment->first.empty() && !plainComment) plainComment = comment->second;
    }
    if (!read.year) read.year = yearFromTyer;
    const std::string comment = plainComment ? *plainComment
                                : firstComment ? firstComment->second
                                               : std::string();
    if (!comment.empty()) read.comment = comment;
    fields = std::move(read);
    version = "ID3v2." + std::to_string(major);
    return true;
}

}  // namespace kestrune
