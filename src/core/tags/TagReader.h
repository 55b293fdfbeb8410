#pragma once
// The reader's way to a tag library. The core knows only this interface; the program and the
// command-line tool install one at start-up (SetTagReader), tests install the real one too.
// A reader never throws: it answers a status.

#include <memory>

#include "tags/AudioFormat.h"
#include "tags/TrackFacts.h"

namespace kestrune {

class RandomAccessFile;

enum class TagReadStatus { Success, Unsupported, Unreadable };

class TagReader {
public:
    virtual ~TagReader() = default;

    // The ID3v2 tag (first) and the APEv2 tag of an MP3 file, read from the open file, each into
    // its own fields. `apeStart` is -1 when the file has no APE tag.
    virtual TagReadStatus ReadMp3Tags(const RandomAccessFile& file, bool id3v2, int64_t apeStart,
                                      TagFields& id3v2Fields, std::string& id3v2Version,
                                      TagFields& apeFields) = 0;

    // Playing time, properties and tags of a file in one of the other formats.
    virtual TagReadStatus ReadOtherFormat(const RandomAccessFile& file, AudioFormat format,
                                          TrackFacts& facts) = 0;
};

// The installed reader, shared by every TMPEGAudio; null when none is installed (the reader then
// takes ID3v1 tags only and knows MPEG audio only).
void SetTagReader(std::shared_ptr<TagReader> reader);
TagReader* InstalledTagReader();

}  // namespace kestrune
