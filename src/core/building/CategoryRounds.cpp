#include "building/CategoryRounds.h"

#include <algorithm>

#include "building/PlaylistFile.h"
#include "output/SongPaths.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

namespace kestrune {

namespace {

// Songs read for a category's mean playing time at most.
constexpr size_t kLengthSample = 16;

int64_t MeanSeconds(const std::string& playlist, const LineList& entries, SongFactsCache& songs) {
    int64_t total = 0, counted = 0;
    const size_t step = std::max<size_t>(1, entries.size() / kLengthSample);
    for (size_t n = 0; n < entries.size(); n += step) {
        const auto file = ExistingSongFile(SongLineOf(entries[n]), playlist);
        if (!file) continue;
        const int32_t seconds = songs.Get(*file).seconds;
        if (seconds <= 0) continue;
        total += seconds;
        ++counted;
    }
    return counted == 0 ? 0 : total / counted;
}

}  // namespace

std::vector<CategoryRound> CategoryRoundsOf(const BuildSession& session, SongFactsCache* songs) {
    std::vector<std::string> paths;
    std::vector<CategoryRound> rounds;
    for (const std::string& slot : session.lbClockwheelTemplate) {
        const auto known = std::find(paths.begin(), paths.end(), slot);
        if (known != paths.end()) {
            ++rounds[static_cast<size_t>(known - paths.begin())].slotsPerPass;
            continue;
        }
        paths.push_back(slot);
        CategoryRound round{ExtractFileName(slot), 0, 1};
        try {
            PlaylistLayout layout;
            LineList entries;
            LoadPlaylist(slot, layout, entries);
            round.songs = std::count_if(entries.begin(), entries.end(), [](const std::string& e) {
                return !SongLineOf(e).empty();
            });
            if (songs != nullptr) round.meanSeconds = MeanSeconds(slot, entries, *songs);
        } catch (const KestruneError&) {
            round.songs = 0;  // nothing to keep apart
        }
        rounds.push_back(std::move(round));
    }
    std::erase_if(rounds, [](const CategoryRound& round) { return round.songs == 0; });
    return rounds;
}

}  // namespace kestrune
