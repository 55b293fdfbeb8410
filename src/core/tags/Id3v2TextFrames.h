#pragma once
// The text frames a station uses, read straight from an ID3v2.3 or 2.4 tag as most taggers
// write it. Handing every tag to the tag library cost several times the reading of the file
// itself; the tags that use the standard's rarer parts still go to the library.

#include <string>
#include <string_view>

#include "tags/TrackFacts.h"

namespace kestrune {

// Title (TIT2), artist (TPE1), album (TALB), year (TDRC, else TYER), genre (TCON), track (TRCK),
// ISRC (TSRC), label (TPUB) and comment (COMM, the one without a description first) of `tag` (header and frames, as the
// reader hands them over), in UTF-8, several values joined by " / ", and the version
// ("ID3v2.3", "ID3v2.4"). False, with `fields` untouched, when the tag needs more than this
// reading: version 2.2, unsynchronisation, an extended header, a frame that is compressed,
// encrypted, grouped or carries a data length, a frame id or size that makes no sense, an empty
// frame, an unknown text encoding, or a text that does not decode.
bool ReadId3v2TextFrames(std::string_view tag, TagFields& fields, std::string& version);

}  // namespace kestrune
