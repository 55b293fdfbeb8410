#include "output/PlaylistWriter.h"

#include <cstdint>

#include "output/WriterFormats.h"
#include "platform/Paths.h"

namespace kestrune {

const std::vector<const PlaylistWriter*>& PlaylistWriters() {
    static const std::vector<const PlaylistWriter*> writers{
        &output::PlainM3uWriter(), &output::ExtendedM3uWriter(), &output::PlsWriter(),
        &output::XspfWriter()};
    return writers;
}

const PlaylistWriter& WriterForPath(std::string_view path) {
    const std::string name = LowerCase(ExtractFileName(path));
    for (const PlaylistWriter* writer : PlaylistWriters()) {
        const std::string_view extension = writer->Extension();
        if (name.size() > extension.size() &&
            name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
            return *writer;
    }
    return *PlaylistWriters().front();
}

std::string OutputFileFilter() {
    std::string filter;
    for (const PlaylistWriter* writer : PlaylistWriters()) {
        if (!filter.empty()) filter += '|';
        filter.append(writer->Description()).append("|*").append(writer->Extension());
    }
    return filter;
}

namespace {

// The length of the valid UTF-8 sequence at the start of `text`, or 0 when it is not one.
size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(0);
    size_t length = 0;
    uint32_t code = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10FFFF ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

std::string CleanText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    while (!text.empty()) {
        const size_t length = Utf8SequenceLength(text);
        const auto lead = static_cast<uint8_t>(text[0]);
        if (length == 0) {  // Latin-1, the usual 8-bit tag text, to UTF-8
            clean += static_cast<char>(0xC0 | (lead >> 6));
            clean += static_cast<char>(0x80 | (lead & 0x3F));
            text.remove_prefix(1);
        } else if (lead < 0x20 || lead == 0x7F) {
            clean += ' ';
            text.remove_prefix(1);
        } else {
            clean.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return clean;
}

std::string DisplayTitle(const PlaylistEntry& entry) {
    return CleanText(entry.artist) + " - " + CleanText(entry.title);
}

}  // namespace kestrune
