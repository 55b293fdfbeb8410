#pragma once
// The core's TagReader over TagLib: ID3v2 and APEv2 tags of MP3 files, and playing time,
// properties and tags of FLAC, Ogg Vorbis, Opus, MP4, WAV and AIFF files.

#include "tags/TagReader.h"

namespace kestrune {

class TagLibReader : public TagReader {
public:
    TagReadStatus ReadMp3Tags(std::string_view id3v2Tag, std::string_view apeTag,
                              TagFields& id3v2Fields, std::string& id3v2Version,
                              TagFields& apeFields) override;
    TagReadStatus ReadOtherFormat(const RandomAccessFile& file, AudioFormat format,
                                  TrackFacts& facts) override;
};

}  // namespace kestrune
