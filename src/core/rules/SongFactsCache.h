#pragma once
// What the rules need of each song, read once per build: the MP3 reader is asked the first time
// a file is met and never again for it (so a file that cannot be read asks the reader's error
// question once, not at every comparison).

#include <string>
#include <unordered_map>

#include "mpgtools/MPGTools.h"
#include "rules/SeparationRules.h"

namespace kestrune {

class SongFactsCache {
public:
    const SongFacts& Get(const std::string& path);
    size_t Size() const { return facts_.size(); }

private:
    TMPEGAudio reader_;
    std::unordered_map<std::string, SongFacts> facts_;
};

}  // namespace kestrune
