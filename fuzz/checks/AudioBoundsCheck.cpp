// The bounds of the audio on any bytes: the leading ID3v2 tags agree with a plain walk over
// their headers, the tag handed to the tag library is well formed, and the blocks peeled off the
// end lie between the audio and the end of the file, each beginning with its own signature.

#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "mpgtools/AudioBounds.h"
#include "mpgtools/Id3v2Slim.h"

namespace kestrune::fuzz {

namespace {

// The header rule written out byte by byte.
int64_t ModelTagSize(std::string_view bytes, size_t at) {
    if (bytes.size() - at < 10 || bytes.substr(at, 3) != "ID3") return 0;
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[at + i]); };
    if (byte(3) < 2 || byte(3) > 4 || byte(4) == 0xFF) return 0;
    if (byte(6) >= 0x80 || byte(7) >= 0x80 || byte(8) >= 0x80 || byte(9) >= 0x80) return 0;
    const int64_t body = (int64_t{byte(6)} << 21) | (int64_t{byte(7)} << 14) |
                         (int64_t{byte(8)} << 7) | int64_t{byte(9)};
    return 10 + body + (byte(3) == 4 && (byte(5) & 0x10) != 0 ? 10 : 0);
}

int64_t ModelLeadingEnd(std::string_view bytes) {
    size_t at = 0;
    for (;;) {
        const int64_t size = ModelTagSize(bytes, at);
        if (size == 0 || size > static_cast<int64_t>(bytes.size() - at))
            return static_cast<int64_t>(at);
        at += static_cast<size_t>(size);
    }
}

}  // namespace

std::string CheckAudioBounds(std::string_view bytes) {
    const auto size = static_cast<int64_t>(bytes.size());
    int fetches = 0;
    const ByteFetcher fetch = [bytes, size, &fetches](int64_t offset, size_t count) {
        ++fetches;
        if (offset < 0 || offset > size || static_cast<int64_t>(count) > size - offset)
            return std::string_view();
        return bytes.substr(static_cast<size_t>(offset), count);
    };
    const int64_t start = LeadingTagsEnd(fetch, size);
    if (start != ModelLeadingEnd(bytes))
        return Finding("leading tags end at " + std::to_string(start),
                       "the model says " + std::to_string(ModelLeadingEnd(bytes)));

    // The tag handed to the tag library: a valid header and its body, no larger than the tag.
    const std::string slim = Id3v2WithoutPictures(fetch, size);
    if (!slim.empty()) {
        const int64_t declared = Id3v2TagSize(slim);
        if (declared == 0 || declared > static_cast<int64_t>(bytes.size()) ||
            (slim != bytes.substr(0, slim.size()) && declared != static_cast<int64_t>(slim.size())))
            return Finding("tag handed on is malformed");
    }

    // From the leading tags' end, and from every start the reader may fall back to.
    for (const int64_t audioStart : {start, int64_t{0}, int64_t{10}, size / 2}) {
        if (audioStart > size) continue;
        fetches = 0;
        const TrailingTags tags = FindTrailingTags(fetch, size, audioStart);
        if (tags.audioEnd < audioStart || tags.audioEnd > size)
            return Finding("audio ends outside the file", std::to_string(tags.audioEnd));
        if (tags.id3v1 !=
            (size - audioStart >= 128 && bytes.substr(bytes.size() - 128, 3) == "TAG"))
            return Finding("ID3v1 tag misjudged");
        if (tags.id3v1 && tags.audioEnd > size - 128) return Finding("audio runs into ID3v1");
        if (tags.apeStart >= 0) {
            if (tags.apeStart < tags.audioEnd || tags.apeStart + tags.apeSize > size ||
                bytes.substr(static_cast<size_t>(tags.apeStart + tags.apeSize - 32), 8) !=
                    "APETAGEX")
                return Finding("APE tag misplaced");
        }
        // Every block peeled off is at least 15 bytes, so the walk is short.
        if (fetches > 4 * (size / 15 + 2)) return Finding("too many looks at the end");
        if (tags.audioEnd < size && !tags.id3v1 && tags.apeStart < 0) {
            const std::string_view rest = bytes.substr(static_cast<size_t>(tags.audioEnd));
            if (rest.substr(0, 11) != "LYRICSBEGIN" && rest.substr(0, 3) != "ID3")
                return Finding("an unknown block was taken off the end");
        }
    }
    return {};
}

}  // namespace kestrune::fuzz
