#pragma once
// Where the audio of an MP3 file lies: after any ID3v2 tags at its start, before the ID3v1,
// APEv2, Lyrics3v2 and appended ID3v2 blocks at its end. Pure functions over bytes, so that the
// reader and its tests and fuzz checks agree on the same rules.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace kestrune {

inline constexpr size_t kId3v2HeaderSize = 10;

// The whole size (header, body, footer) of the ID3v2 tag whose header is `header`; 0 when the
// ten bytes are no ID3v2 (2.2, 2.3 or 2.4) header: "ID3", major version 2 to 4, a revision
// below FF, a 28-bit size of four bytes below 80.
int64_t Id3v2TagSize(std::string_view header);

// The major version (2, 3 or 4) of the ID3v2 header; 0 when it is none.
int Id3v2MajorVersion(std::string_view header);

// Gives the `count` bytes at `offset`, or an empty view when they cannot be had.
using ByteFetcher = std::function<std::string_view(int64_t offset, size_t count)>;

// The end of the ID3v2 tags in a row at the start of a file of `fileSize` bytes: 0 when there
// is none. A tag whose declared size runs past the end of the file ends the row before it.
int64_t LeadingTagsEnd(const ByteFetcher& fetch, int64_t fileSize);

// What closes a file after its audio.
struct TrailingTags {
    int64_t audioEnd = 0;   // the first byte of the first trailing block (the file size if none)
    bool id3v1 = false;     // the last 128 bytes are an ID3v1 tag
    int64_t apeStart = -1;  // where the APEv2 tag begins (its header, when it has one); -1 none
    int64_t apeSize = 0;    // its bytes, header and footer included
};

// Peels the blocks off the end of a file of `fileSize` bytes that begins its audio at
// `audioStart`: ID3v1 (last), then in any order APEv2 (footer "APETAGEX"), Lyrics3v2 (ending in
// "LYRICS200") and an appended ID3v2 tag (footer "3DI"). A block that would reach before
// `audioStart` is not taken, nor anything before it.
TrailingTags FindTrailingTags(const ByteFetcher& fetch, int64_t fileSize, int64_t audioStart);

}  // namespace kestrune
