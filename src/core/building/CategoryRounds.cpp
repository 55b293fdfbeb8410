#include "building/CategoryRounds.h"

#include <algorithm>

#include "building/PlaylistFile.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

namespace kestrune {

std::vector<CategoryRound> CategoryRoundsOf(const BuildSession& session) {
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
        } catch (const KestruneError&) {
            round.songs = 0;  // nothing to keep apart
        }
        rounds.push_back(std::move(round));
    }
    std::erase_if(rounds, [](const CategoryRound& round) { return round.songs == 0; });
    return rounds;
}

}  // namespace kestrune
