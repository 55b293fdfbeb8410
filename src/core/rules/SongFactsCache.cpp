#include "rules/SongFactsCache.h"

namespace kestrune {

const SongRead& SongFactsCache::Read(const std::string& path) {
    const auto found = songs_.find(path);
    if (found != songs_.end()) return found->second;
    reader_.SetFileName(path);
    const TMPEGFileInfo& info = reader_.MPEGFileInfo;
    SongRead song{SongFacts{static_cast<int32_t>(PlayingSeconds(info)), reader_.GetArtist(),
                            reader_.GetTitle(), info.Album, reader_.GetGenreText()},
                  info.Duration, info.DurationMs, reader_.TaggedArtist(),
                  reader_.TaggedTitle(), reader_.TaggedAlbum()};
    return songs_.emplace(path, std::move(song)).first->second;
}

}  // namespace kestrune
