#pragma once
// The categories of a build under `[Rotation] order=rotate`: each read once and kept in memory
// with the place of its round, and written once, with the round, when the build ends (a week's
// run keeps them across its hours and writes them once a day): a week of a large library writes
// each category a few times, not once a song.
//
// A category's entries stand in three parts: at the top the songs not yet played this round (a
// song a rule passed over stays there, to play as soon as it can); then those that played this
// round, in the order they played; at the end those that played early, in the next round,
// because every song left in this one broke a rule. A round is over when its last song has
// played: the next one is every song but those that already played in it. So no song plays a
// second time while another has not played once, as long as the rules let the others play.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "building/PlaylistFile.h"
#include "platform/FileSetReplace.h"
#include "rules/RotationSettings.h"

namespace kestrune {

class KeptRotations {
public:
    // `statePath`: the sessions folder's rotation file; empty keeps no round (every category
    // counts as in rotation and each build begins its rounds again).
    explicit KeptRotations(const std::string& statePath);

    // The category's number, read the first time it is asked for; `isNew` when it is new to
    // rotation, for the caller to shuffle it once (and MarkChanged).
    struct Loaded {
        size_t index = 0;
        bool isNew = false;
    };
    Loaded Load(const std::string& path);
    LineList& Entries(size_t index) { return lists_[index].entries; }
    const LineList& Entries(size_t index) const { return lists_[index].entries; }
    const PlaylistLayout& Layout(size_t index) const { return lists_[index].layout; }
    void MarkChanged(size_t index) { lists_[index].changed = true; }

    // The songs at the top not yet played this round.
    size_t Unplayed(size_t index) const { return lists_[index].round.unplayed; }
    // How far down a slot may look for a song that keeps the rules: this round's songs first,
    // then the next round's that have not played early. `entries`: the category's songs, taken
    // out to place one.
    size_t Searchable(size_t index, size_t entries) const;

    // The song on top of `working` (the category's entries, taken out to place a song) has had
    // its turn; it stood at `from` before it was brought to the top. It goes to the end of its
    // part: this round's played songs, or the early ones.
    void EndTurn(size_t index, LineList& working, size_t from);

    // The categories changed since the last time, and the rounds, to be written as one step (old
    // or new, never torn); none when nothing changed.
    std::vector<FileBytes> TakeChanges();
    void Save();

private:
    struct Kept {
        std::string path;
        std::string comparable;
        PlaylistLayout layout;
        LineList entries;
        RoundPlace round;
        bool changed = false;
    };
    // A round with no song left to play begins the next one.
    static void BeginRoundWhenOver(Kept& kept, size_t entries);

    RotationState state_;
    std::vector<Kept> lists_;
};

}  // namespace kestrune
