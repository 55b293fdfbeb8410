#include "rules/SongFactsCache.h"

namespace kestrune {

const SongFacts& SongFactsCache::Get(const std::string& path) {
    const auto found = facts_.find(path);
    if (found != facts_.end()) return found->second;
    reader_.SetFileName(path);
    SongFacts facts{static_cast<int32_t>(PlayingSeconds(reader_.MPEGFileInfo)), reader_.GetArtist(),
                    reader_.GetTitle(), reader_.MPEGFileInfo.Album, reader_.GetGenreText()};
    return facts_.emplace(path, std::move(facts)).first->second;
}

}  // namespace kestrune
