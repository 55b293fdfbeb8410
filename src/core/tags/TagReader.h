#pragma once
// The reader's way to a tag library. The core knows only this interface; the program and the
// command-line tool put one in the reader's setup at start-up, tests use the real one too.
// A reader never throws: it answers a status.

#include <cstdint>
#include <string>
#include <string_view>

#include "tags/AudioFormat.h"
#include "tags/TrackFacts.h"

namespace kestrune {

class RandomAccessFile;

enum class TagReadStatus { Success, Unsupported, Unreadable };

class TagReader {
public:
    virtual ~TagReader() = default;

    // The ID3v2 tag at the start of an MP3 file and its APEv2 tag, as bytes the reader has read
    // (either may be empty), each into its own fields.
    virtual TagReadStatus ReadMp3Tags(std::string_view id3v2Tag, std::string_view apeTag,
                                      TagFields& id3v2Fields, std::string& id3v2Version,
                                      TagFields& apeFields) = 0;

    // Playing time, properties and tags of a file in one of the other formats.
    virtual TagReadStatus ReadOtherFormat(const RandomAccessFile& file, AudioFormat format,
                                          TrackFacts& facts) = 0;
};

}  // namespace kestrune
