#pragma once
// The ID3v2 tag at a file's start as the tag library needs it: every frame but the pictures and
// other embedded files, which a station never reads and which make up nearly all of a tag's
// bytes. The frames are walked by their headers; a picture's bytes are never fetched.

#include <cstdint>
#include <string>

#include "mpgtools/AudioBounds.h"

namespace kestrune {

// The tag (its header rewritten to the new size) without APIC, PIC, GEOB and GEO frames and
// without padding, read
// through `fetch` from offset 0. A tag whose frames cannot be walked (unsynchronised as a whole
// before version 2.4, compressed or cut short) is given whole. Empty when the file starts with
// no ID3v2 tag or it runs past `fileSize`.
std::string Id3v2WithoutPictures(const ByteFetcher& fetch, int64_t fileSize);

}  // namespace kestrune
