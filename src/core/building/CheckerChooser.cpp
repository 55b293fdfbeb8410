// The Dupe Checker and the Genre Checker: the top song stays unless its artist is among the
// recent ones or its genre follows the same genre; then the first song from the bottom of the
// rotation that passes takes its place. The order of the checks, and what a search shows on the
// status line, are as they have always been: the text logs depend on them.

#include <algorithm>

#include "building/PlaylistBuilder.h"
#include "building/SongChooser.h"
#include "platform/LineList.h"

namespace kestrune {

namespace {

class CheckerChooser : public SongChooser {
public:
    explicit CheckerChooser(const WalkSight& sight)
        : see_(sight), s_(sight.context.session), view_(sight.context.view) {}

    void Begin(int32_t) override {}

    void Choose(const std::string&, int32_t remaining, int32_t) override {
        const SongFacts& top = see_.songs.Get(see_.songAt(0));
        const std::string artist = top.artist;
        const std::string genre = top.genre;
        const bool dupe = s_.fDMCA.cbDupeCheck;
        const bool genreCheck = s_.fGenre.cbGenreCheck;
        const bool anyRecent = !s_.lbRepeatCheckList.empty();
        if (dupe && genreCheck && anyRecent) {
            if (ArtistInList(artist, s_.lbDupeArtistChecklist) || GenreSameAsLast(genre)) {
                view_.ShowStatus(DupeMessage(s_, artist));
                FindReplacement(remaining);
            }
        }
        if (dupe && anyRecent && ArtistInList(artist, s_.lbDupeArtistChecklist)) {
            view_.ShowStatus(DupeMessage(s_, artist));
            FindReplacement(remaining);
        }
        if (genreCheck && !dupe && anyRecent && GenreSameAsLast(genre)) {
            view_.ShowStatus("GENRE REPEATED! " + genre +
                             " is from the same genre as the previous song. Finding another song.");
            FindDifferentGenre(remaining);
        }
    }

    void ChosenByFill(const std::string&, const std::string&, int32_t) override {}

    std::optional<RuleBreak> BreakOfPlaced(const SongFacts& song) override {
        if (s_.lbRepeatCheckList.empty()) return std::nullopt;
        const LineList& artists = s_.lbDupeArtistChecklist;
        if (s_.fDMCA.cbDupeCheck) {
            const auto found = std::find(artists.rbegin(), artists.rend(), song.artist);
            if (found != artists.rend()) {
                RuleBreak brk;
                brk.subject = song.artist;
                brk.window = see_.windowLimit;
                // The artists line up with the recent songs from the end; older entries are
                // left from an earlier build.
                const std::deque<int32_t>& recent = see_.recentSeconds;
                const size_t back = static_cast<size_t>(found - artists.rbegin());
                if (back < recent.size()) {
                    brk.elapsed = 0;
                    for (size_t k = 0; k <= back; ++k) brk.elapsed += recent[recent.size() - 1 - k];
                }
                return brk;
            }
        }
        if (s_.fGenre.cbGenreCheck && song.genre == see_.lastGenre) {
            RuleBreak brk;
            brk.rule = Rule::Genre;
            brk.subject = song.genre;
            return brk;
        }
        return std::nullopt;
    }

    void Placed(const std::string&, int32_t) override {}
    bool LogsBreaks() const override { return false; }
    bool ExemptSlot(const std::string&) const override { return false; }

    std::optional<RuleBreak> BreakBeforeFill(const std::string& path, int32_t) override {
        const std::string& artist = see_.songs.Get(path).artist;
        if (!s_.fDMCA.cbDupeCheck || s_.lbRepeatCheckList.empty() ||
            !ArtistInList(artist, s_.lbDupeArtistChecklist))
            return std::nullopt;
        RuleBreak brk;
        brk.subject = artist;
        return brk;
    }

    bool SmallestBreakFirst() const override { return false; }

    void DescribeForFill(const std::string& path, FillCandidate& candidate,
                         FillIds& ids) override {
        const SongFacts& song = see_.songs.Get(path);
        if (s_.fDMCA.cbDupeCheck) candidate.keys.push_back(ids.Key("a\n" + song.artist));
        if (s_.fGenre.cbGenreCheck) candidate.genre = ids.Genre(song.genre);
    }

    std::optional<std::string> GenreBeforeFill() const override {
        if (s_.fGenre.cbGenreCheck && !s_.lbRepeatCheckList.empty()) return see_.lastGenre;
        return std::nullopt;
    }

private:
    bool GenreSameAsLast(const std::string& genre) {
        const LineList& recent = s_.lbRepeatCheckList;
        return see_.songs.Get(LineAt(recent, static_cast<long long>(recent.size()) - 1)).genre ==
               genre;
    }

    // From the bottom of the rotation up, the first song whose artist is not recent (and, with
    // the Genre Checker, whose genre does not follow the last one) takes the top.
    void FindReplacement(int32_t remaining) {
        LineList& working = s_.lbTempListBox1;
        for (const int32_t n : SearchOrder(remaining, 0, see_.rotate)) {
            const SongRead& song = see_.songs.Read(see_.songAt(n));
            if (song.wholeSeconds == 0) continue;  // never placed: no playing time
            if (ArtistInList(song.facts.artist, s_.lbDupeArtistChecklist)) continue;
            if (s_.fGenre.cbGenreCheck && GenreSameAsLast(song.facts.genre)) continue;
            BringToTop(see_, working, static_cast<size_t>(n));
            return;
        }
    }

    void FindDifferentGenre(int32_t remaining) {
        view_.ShowStatus("Finding a different genre.");
        LineList& working = s_.lbTempListBox1;
        for (const int32_t n : SearchOrder(remaining, 0, see_.rotate)) {
            const SongRead& song = see_.songs.Read(see_.songAt(n));
            if (song.wholeSeconds == 0) continue;
            if (!GenreSameAsLast(song.facts.genre)) {
                BringToTop(see_, working, static_cast<size_t>(n));
                return;
            }
        }
    }

    WalkSight see_;
    BuildSession& s_;
    BuildView& view_;
};

}  // namespace

std::unique_ptr<SongChooser> MakeCheckerChooser(const WalkSight& sight) {
    return std::make_unique<CheckerChooser>(sight);
}

std::string DupeMessage(const BuildSession& session, const std::string& artist) {
    return "DUPLICATE! " + artist + " has been played in the last " + session.fDMCA.ComboBox1 +
           " hour(s). Finding another artist.";
}

}  // namespace kestrune
