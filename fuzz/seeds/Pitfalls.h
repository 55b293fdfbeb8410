#pragma once
// Pieces of MP3 files that readers of real files have stumbled over: ID3v2 tags (stacked, or
// claiming more than they hold) whose UTF-16 texts begin with a byte-order mark FF FE that reads
// as a frame header, cover art full of false frame syncs, APE and Lyrics3 tails. For the fuzz
// seeds and the tests of the reader.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kestrune::pitfalls {

// An ID3v2.3 tag holding the given frames; `declared` replaces the size it claims.
std::string Id3v2(const std::string& frames, std::optional<uint32_t> declared = std::nullopt);
// One ID3v2.3 frame.
std::string Id3v2Frame(const std::string& id, const std::string& body);
// A title frame in UTF-16 with the byte-order mark FF FE: the mark and the letter after it read
// as an MPEG-1 Layer I frame header.
std::string Utf16TitleFrame(const std::string& ascii);
// A picture frame whose bytes hold frame syncs FF E3 and whole MPEG-1 Layer III headers
// FF FB 90 64 every thousand bytes or so.
std::string CoverArtFrame(size_t size, uint32_t seed);
// An APE tag (header, one item, footer) as it stands between the audio and an ID3v1 tag.
std::string ApeTail();
// A Lyrics3 v2 block, with a frame sync in its lyrics.
std::string Lyrics3Tail();

}  // namespace kestrune::pitfalls
