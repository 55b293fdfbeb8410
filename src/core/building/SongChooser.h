#pragma once
// How the walk chooses a slot's song against what aired before it: the Dupe and Genre Checkers
// as they have always worked, or the separation rules once any rule setting leaves its default.
// One of the two is picked at the start of a build; the walk and the fill ask it, never which
// one it is.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "building/BuildContext.h"
#include "rules/SeparationRules.h"
#include "rules/SongFactsCache.h"
#include "timing/ClockFill.h"

namespace kestrune {

// The numbers the fill's search compares songs by: one for each key (a file, an artist, a
// title, an album) and one for each genre, the same text always the same number.
class FillIds {
public:
    int Key(const std::string& key) { return Of(keys_, key); }
    int Genre(const std::string& genre) { return Of(genres_, genre); }

private:
    static int Of(std::unordered_map<std::string, int>& ids, const std::string& text) {
        return ids.emplace(text, static_cast<int>(ids.size())).first->second;
    }
    std::unordered_map<std::string, int> keys_;
    std::unordered_map<std::string, int> genres_;
};

// What a chooser sees of the walk. The slot's working list is the session's lbTempListBox1.
struct WalkSight {
    BuildContext& context;
    SongFactsCache& songs;
    // The file the n-th entry of the working list names.
    std::function<std::string(long long)> songAt;
    const std::deque<int32_t>& recentSeconds;  // playing times of the recent songs
    const std::string& lastGenre;              // of the song placed last
    int32_t windowLimit = 0;                   // the Dupe Checker's hours, in seconds
    bool rotate = false;  // the category's order is its rotation (`[Rotation] order=rotate`)
    size_t* broughtFrom = nullptr;  // where the song a chooser brought to the top stood
};

// The entries of the working list a chooser tries, in turn, when the top song does not do: the
// shuffle's from the last of the round up to `lowest`, as the duplicate search has always gone;
// the rotation's from the top down, so that the least recently played goes first.
std::vector<int32_t> SearchOrder(int32_t remaining, int32_t lowest, bool rotate);
// Puts entry `n` on top of the working list, and notes where it stood. The shuffle swaps it with
// the top song; the rotation keeps the songs it passed over in their order, at the top, to play
// as soon as they can.
void BringToTop(const WalkSight& sight, LineList& working, size_t n);

class SongChooser {
public:
    virtual ~SongChooser() = default;

    // Before the first slot, once the categories are shuffled: what the choice looks back on.
    // `desiredSeconds`: the build's length.
    virtual void Begin(int32_t desiredSeconds) = 0;
    // Puts the song to place on top of the slot's working list. `remaining`: the songs of the
    // rotation still to come; `atSeconds`: where the song starts, from the build's start.
    virtual void Choose(const std::string& slotFile, int32_t remaining, int32_t atSeconds) = 0;
    // After Choose: when every song of the category breaks a rule that never breaks, the top
    // song's break of it; the slot is then passed over.
    virtual std::optional<RuleBreak> PassesOver() const { return std::nullopt; }
    // The fill chose `path` for the slot instead.
    virtual void ChosenByFill(const std::string& slotFile, const std::string& path,
                              int32_t atSeconds) = 0;
    // The break the song being placed makes, if any.
    virtual std::optional<RuleBreak> BreakOfPlaced(const SongFacts& song) = 0;
    virtual void Placed(const std::string& path, int32_t atSeconds) = 0;
    // A break is a line of the text log (never with the checkers: their log stays as it was).
    virtual bool LogsBreaks() const = 0;

    // For the fill: a slot whose songs no rule compares; the rule a song breaks against what
    // was placed before the fill; whether, when every song breaks one, the smallest break goes
    // first (else the rotation's order, as the walk keeps the top song); the keys and genre the
    // search keeps apart; the genre its first choice follows.
    virtual bool ExemptSlot(const std::string& slotFile) const = 0;
    virtual std::optional<RuleBreak> BreakBeforeFill(const std::string& path,
                                                     int32_t atSeconds) = 0;
    virtual bool SmallestBreakFirst() const = 0;
    virtual void DescribeForFill(const std::string& path, FillCandidate& candidate,
                                 FillIds& ids) = 0;
    virtual std::optional<std::string> GenreBeforeFill() const = 0;

    // Rules that never break, for the fill: whether there are any (the fill then looks through
    // the whole category); the first one a song breaks against what was placed before the fill
    // (the song is then no candidate at all); the keys and genre that keep them within the fill,
    // for a candidate that may break the others.
    virtual bool HasMustRules() const { return false; }
    virtual std::optional<RuleBreak> MustBreakBeforeFill(const std::string&, int32_t) {
        return std::nullopt;
    }
    virtual void DescribeMustForFill(const std::string&, FillCandidate&, FillIds&) {}
};

std::unique_ptr<SongChooser> MakeCheckerChooser(const WalkSight& sight);
std::unique_ptr<SongChooser> MakeRulesChooser(const WalkSight& sight);

// "DUPLICATE! ARTIST has been played in the last N hour(s). Finding another artist."
std::string DupeMessage(const BuildSession& session, const std::string& artist);

}  // namespace kestrune
