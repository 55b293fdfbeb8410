#pragma once
// What a build needs of each song, read once per build: the MP3 reader is asked the first time
// a file is met and never again for it (so a file that cannot be read asks the reader's error
// question once, not at every comparison, and no song is read twice for one placement).

#include <string>
#include <unordered_map>

#include "mpgtools/MPGTools.h"
#include "rules/SeparationRules.h"

namespace kestrune {

// The facts the rules compare, with the playing time as the reader gives it.
struct SongRead {
    SongFacts facts;
    int32_t wholeSeconds = 0;  // the reader's whole seconds (0: cannot be played)
    int64_t ms = 0;            // to the millisecond where the reader knows it, else 0
    // Only what the tag says, as the written playlist shows it.
    std::string taggedArtist;
    std::string taggedTitle;
    std::string taggedAlbum;
};

class SongFactsCache {
public:
    explicit SongFactsCache(const ReaderSetup& setup) : reader_(setup) {}

    const SongRead& Read(const std::string& path);
    const SongFacts& Get(const std::string& path) { return Read(path).facts; }
    size_t Size() const { return songs_.size(); }

private:
    TMPEGAudio reader_;
    std::unordered_map<std::string, SongRead> songs_;
};

}  // namespace kestrune
