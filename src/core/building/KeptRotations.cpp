#include "building/KeptRotations.h"

#include <algorithm>
#include <utility>

#include "platform/Paths.h"

namespace kestrune {

KeptRotations::KeptRotations(const std::string& statePath) : state_(statePath) {}

KeptRotations::Loaded KeptRotations::Load(const std::string& path) {
    const std::string comparable = ComparablePath(path);
    for (size_t index = 0; index < lists_.size(); ++index)
        if (lists_[index].comparable == comparable) return {index, false};
    Kept& kept = lists_.emplace_back();
    kept.path = path;
    kept.comparable = comparable;
    LoadPlaylist(path, kept.layout, kept.entries);
    const int64_t size = static_cast<int64_t>(kept.entries.size());
    const bool isNew = !state_.Has(path);
    const RoundPlace whole{size, 0};
    const RoundPlace round = isNew ? whole : state_.Round(path).value_or(whole);
    // A file edited by hand since may be shorter than its round said.
    kept.round.unplayed = std::clamp<int64_t>(round.unplayed, 0, size);
    kept.round.early = std::clamp<int64_t>(round.early, 0, size - kept.round.unplayed);
    BeginRoundWhenOver(kept, kept.entries.size());
    return {lists_.size() - 1, isNew};
}

size_t KeptRotations::Searchable(size_t index, size_t entries) const {
    const size_t early = static_cast<size_t>(lists_[index].round.early);
    return entries > early ? entries - early : 0;
}

void KeptRotations::BeginRoundWhenOver(Kept& kept, size_t entries) {
    if (kept.round.unplayed > 0 || entries == 0) return;
    // The early songs have played in the new round: the rest is still to play. Should every
    // song have played early, the round after that begins whole.
    const int64_t size = static_cast<int64_t>(entries);
    kept.round.unplayed = size - kept.round.early;
    kept.round.early = 0;
    if (kept.round.unplayed == 0) kept.round.unplayed = size;
}

void KeptRotations::EndTurn(size_t index, LineList& working, size_t from) {
    Kept& kept = lists_[index];
    kept.changed = true;
    if (working.empty()) return;
    const size_t size = working.size();
    std::string entry = std::move(working.front());
    working.erase(working.begin());
    const size_t unplayed = static_cast<size_t>(kept.round.unplayed);
    const size_t early = static_cast<size_t>(kept.round.early);
    if (from < unplayed) {
        working.insert(working.end() - static_cast<long>(std::min(early, working.size())),
                       std::move(entry));
        --kept.round.unplayed;
        BeginRoundWhenOver(kept, working.size());
        return;
    }
    working.push_back(std::move(entry));
    if (from < size - early) ++kept.round.early;
}

std::vector<FileBytes> KeptRotations::TakeChanges() {
    std::vector<FileBytes> files;
    for (Kept& kept : lists_) {
        if (!kept.changed) continue;
        state_.Keep(kept.path, kept.round);
        files.push_back({kept.path, FormatPlaylist(kept.layout, kept.entries)});
        kept.changed = false;
    }
    if (!files.empty() && !state_.Path().empty()) files.push_back({state_.Path(), state_.Text()});
    return files;
}

void KeptRotations::Save() {
    const std::vector<FileBytes> files = TakeChanges();
    if (!files.empty()) ReplaceFilesTogether(files);
}

}  // namespace kestrune
