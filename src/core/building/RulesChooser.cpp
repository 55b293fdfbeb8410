// The separation rules: the first song, from the top down the way the duplicate search goes,
// that keeps every rule against the plays before it (the history's and this build's) takes the
// slot; when none does, the top song (or, relaxed, the one with the smallest break) stays and
// its break is named. A song that breaks a rule the station says must hold is never placed:
// the search then goes through the whole category, and where every song breaks such a rule
// the slot is passed over.

#include <algorithm>

#include "building/BuildReport.h"
#include "building/SongChooser.h"
#include "onair/AiredHistory.h"
#include "platform/Files.h"
#include "platform/LineList.h"
#include "rules/ArtistNames.h"
#include "rules/PlayHistoryFile.h"
#include "rules/RuleSettings.h"

namespace kestrune {

namespace {

class RulesChooser : public SongChooser {
public:
    explicit RulesChooser(const WalkSight& sight)
        : see_(sight), c_(sight.context), s_(sight.context.session), view_(sight.context.view),
          settings_(c_.rules), history_(settings_.artistMatching) {
        rules_.artistWindow = s_.fDMCA.cbDupeCheck ? see_.windowLimit : 0;
        rules_.titleWindow = int64_t{settings_.titleHours} * 3600;
        rules_.albumWindow = int64_t{settings_.albumHours} * 3600;
        rules_.performanceComplement = settings_.performanceComplement;
        rules_.genre = s_.fGenre.cbGenreCheck;
        rules_.hourDays = c_.rotation.hourDays;
        rules_.matching = settings_.artistMatching;
        mustRules_ = rules_.Only(settings_.must);
        buildStart_ = CalendarSeconds(c_.plannedStart ? *c_.plannedStart : c_.clock.Now());
    }

    void Begin(int32_t desiredSeconds) override {
        if (!settings_.history || c_.historyFolder == nullptr || c_.historyFolder->empty())
            return;
        LoadPlayHistory(desiredSeconds);
    }

    void Choose(const std::string& slotFile, int32_t remaining, int32_t atSeconds) override {
        chosenBreak_.reset();
        passesOver_.reset();
        exempt_ = IsExemptSlot(settings_, slotFile);
        if (exempt_) return;
        const int64_t start = buildStart_ + atSeconds;
        const auto top = BreakOf(rules_, see_.songs.Get(see_.songAt(0)), start);
        if (!top) return;
        view_.ShowStatus(RuleMessage(*top));
        const std::vector<int32_t> order = SearchOrder(remaining, 1, see_.rotate);
        Search search(Candidate{0, *top, MustBreakAt(0, start)});
        if (search.Scan(*this, order, start)) return Place(*search.keepsAll, std::nullopt);
        // As the walk has always done: the top song, or relaxed the smallest break.
        const Candidate& may =
            settings_.relax == Relax::LeastRecent ? search.smallest : search.top;
        if (!may.must) return Place(may.at, may.brk);
        // A rule that never breaks: as deep into the category as it takes, then the smallest
        // break of the others; where every song breaks it, no song.
        if (search.Scan(*this, RestOf(order), start)) return Place(*search.keepsAll, std::nullopt);
        if (search.smallestMay) return Place(search.smallestMay->at, search.smallestMay->brk);
        passesOver_ = search.top.must;
    }

    std::optional<RuleBreak> PassesOver() const override { return passesOver_; }

    void ChosenByFill(const std::string& slotFile, const std::string& path,
                      int32_t atSeconds) override {
        exempt_ = IsExemptSlot(settings_, slotFile);
        chosenBreak_.reset();
        if (!exempt_)
            chosenBreak_ =
                BreakOf(rules_, see_.songs.Get(path), buildStart_ + atSeconds);
    }

    std::optional<RuleBreak> BreakOfPlaced(const SongFacts&) override { return chosenBreak_; }

    void Placed(const std::string& path, int32_t atSeconds) override {
        if (exempt_) return;
        const SongFacts& facts = see_.songs.Get(path);
        const int64_t start = buildStart_ + atSeconds;
        history_.Add(facts, start);
        if (historyPath_.empty()) return;
        // Recorded with the playlist, when it is written.
        s_.historyText = WithPlayedSong(
            std::move(s_.historyText),
            PlayOf(start, facts.seconds, facts.artist, facts.title, facts.album, path));
    }

    bool LogsBreaks() const override { return true; }

    bool ExemptSlot(const std::string& slotFile) const override {
        return IsExemptSlot(settings_, slotFile);
    }

    std::optional<RuleBreak> BreakBeforeFill(const std::string& path,
                                             int32_t atSeconds) override {
        // Against what was placed before the fill; the genre is the search's own business.
        RuleSet before = rules_;
        before.genre = false;
        return BreakOf(before, see_.songs.Get(path), buildStart_ + atSeconds);
    }

    bool SmallestBreakFirst() const override { return settings_.relax == Relax::LeastRecent; }

    void DescribeForFill(const std::string& path, FillCandidate& candidate,
                         FillIds& ids) override {
        Describe(rules_, path, candidate, ids);
    }

    bool HasMustRules() const override { return mustRules_.AnyOn(); }

    std::optional<RuleBreak> MustBreakBeforeFill(const std::string& path,
                                                 int32_t atSeconds) override {
        if (!mustRules_.AnyOn()) return std::nullopt;
        RuleSet before = mustRules_;
        before.genre = false;
        return BreakOf(before, see_.songs.Get(path), buildStart_ + atSeconds);
    }

    void DescribeMustForFill(const std::string& path, FillCandidate& candidate,
                             FillIds& ids) override {
        Describe(mustRules_, path, candidate, ids);
    }

    std::optional<std::string> GenreBeforeFill() const override {
        if (rules_.genre && history_.Size() > 0 && !history_.Entries().back().song.genre.empty())
            return history_.Entries().back().song.genre;
        return std::nullopt;
    }

private:
    // A song the walk may place: its entry in the working list, the first rule it breaks, and
    // the first rule that never breaks that it breaks.
    struct Candidate {
        int32_t at = 0;
        RuleBreak brk;
        std::optional<RuleBreak> must;
    };
    // What a look down the category found so far.
    struct Search {
        explicit Search(const Candidate& first) : top(first), smallest(first) {}
        Candidate top;
        Candidate smallest;
        std::optional<Candidate> smallestMay;  // of the songs that keep every must rule
        std::optional<int32_t> keepsAll;

        // Goes through `order`; true at the first song that keeps every rule.
        bool Scan(const RulesChooser& chooser, const std::vector<int32_t>& order, int64_t start) {
            if (!top.must && !smallestMay) smallestMay = top;
            for (const int32_t n : order) {
                const SongFacts& facts = chooser.see_.songs.Get(chooser.see_.songAt(n));
                if (facts.seconds == 0) continue;  // never placed: no playing time
                auto brk = chooser.BreakOf(chooser.rules_, facts, start);
                if (!brk) {
                    keepsAll = n;
                    return true;
                }
                Candidate candidate{n, std::move(*brk), chooser.MustBreakOf(facts, start)};
                if (SmallerBreak(candidate.brk, smallest.brk)) smallest = candidate;
                if (!candidate.must &&
                    (!smallestMay || SmallerBreak(candidate.brk, smallestMay->brk)))
                    smallestMay = std::move(candidate);
            }
            return false;
        }
    };

    // Without a history file the artists of the builds before this one in the run (the Dupe
    // Checker's carried list) still count, when they were heard unknown, as for the checker.
    std::optional<RuleBreak> BreakOf(const RuleSet& rules, const SongFacts& facts,
                                     int64_t start) const {
        if (rules.artistWindow > 0 && historyPath_.empty()) {
            const LineList& artists = s_.lbDupeArtistChecklist;
            const size_t carried = artists.size() > s_.lbRepeatCheckList.size()
                                       ? artists.size() - s_.lbRepeatCheckList.size()
                                       : 0;
            const std::vector<std::string> keys = ArtistKeys(facts.artist, rules.matching);
            for (size_t i = 0; i < carried; ++i) {
                if (!ShareArtist(ArtistKeys(artists[i], rules.matching), keys)) continue;
                RuleBreak brk;
                brk.rule = Rule::Artist;
                brk.subject = facts.artist;
                brk.window = rules.artistWindow;
                return brk;
            }
        }
        return FirstBreak(rules, history_, facts, start);
    }

    std::optional<RuleBreak> MustBreakOf(const SongFacts& facts, int64_t start) const {
        if (!mustRules_.AnyOn()) return std::nullopt;
        return BreakOf(mustRules_, facts, start);
    }
    std::optional<RuleBreak> MustBreakAt(int32_t n, int64_t start) const {
        return MustBreakOf(see_.songs.Get(see_.songAt(n)), start);
    }

    // The entries of the working list below the top that `order` leaves out, from the top.
    std::vector<int32_t> RestOf(const std::vector<int32_t>& order) const {
        std::vector<bool> tried(s_.lbTempListBox1.size(), false);
        for (const int32_t n : order)
            if (n >= 0 && static_cast<size_t>(n) < tried.size())
                tried[static_cast<size_t>(n)] = true;
        std::vector<int32_t> rest;
        for (size_t n = 1; n < tried.size(); ++n)
            if (!tried[n]) rest.push_back(static_cast<int32_t>(n));
        return rest;
    }

    void Place(int32_t n, std::optional<RuleBreak> brk) {
        if (n != 0) BringToTop(see_, s_.lbTempListBox1, static_cast<size_t>(n));
        chosenBreak_ = std::move(brk);
    }

    // Within the last part of an hour every window of the rules is open: two songs that one of
    // `rules` compares are never both chosen.
    void Describe(const RuleSet& rules, const std::string& path, FillCandidate& candidate,
                  FillIds& ids) {
        const SongFacts& facts = see_.songs.Get(path);
        const ArtistMatching matching = rules.matching;
        for (const std::string& key : ArtistKeys(facts.artist, matching)) {
            if (rules.artistWindow > 0 || rules.performanceComplement)
                candidate.keys.push_back(ids.Key("a\n" + key));
            if (rules.titleWindow > 0)
                candidate.keys.push_back(ids.Key("t\n" + TitleKey(key, facts.title, matching)));
        }
        const std::string album = CompareForm(facts.album, matching);
        if (!album.empty() && (rules.albumWindow > 0 || rules.performanceComplement))
            candidate.keys.push_back(ids.Key("l\n" + album));
        // The rules never compare a genre that is not known.
        if (rules.genre && !facts.genre.empty()) candidate.genre = ids.Genre(facts.genre);
    }

    std::string RuleMessage(const RuleBreak& brk) const {
        if (brk.rule == Rule::Artist) return DupeMessage(s_, brk.subject);
        if (brk.rule == Rule::Genre)
            return "GENRE REPEATED! " + brk.subject +
                   " is from the same genre as the previous song. Finding another song.";
        return "RULE! " + DescribeBreak(brk) + ". Finding another song.";
    }

    void LoadPlayHistory(int32_t desiredSeconds) {
        historyPath_ = PlayHistoryPath(*c_.historyFolder);
        // A build added to one not yet written goes on from that one's plays.
        const bool pending = s_.historyPath == historyPath_;
        const std::string text = pending                    ? s_.historyText
                                 : FileExists(historyPath_) ? ReadWholeFile(historyPath_)
                                                            : std::string();
        std::vector<HistoryLine> lines = ReadHistoryLines(text);
        for (size_t i = 0; i < lines.size(); ++i)
            if (!lines[i].song && !pending)
                ReportToUser(c_, UnreadHistoryLineText(historyPath_, i + 1, lines[i].text));
        // Separation holds against what listeners heard: the hours the as-played log covers
        // count their aired plays, not the planned ones.
        lines = HistoryFollowingAir(
            std::move(lines), *c_.historyFolder, buildStart_ - rules_.LongestWindow(), settings_,
            see_.songs, [this](const std::string& problem) { ReportToUser(c_, problem); });
        std::vector<PlayedSong> songs;
        for (const HistoryLine& line : lines)
            if (line.song) songs.push_back(*line.song);
        if (!c_.plannedStart) buildStart_ = ChainedStart(songs, buildStart_);
        // An hour built again replaces the plays it had; the rules look back from its start.
        const int64_t replacedEnd = c_.plannedStart ? buildStart_ + desiredSeconds : buildStart_;
        const int64_t keep = rules_.LongestWindow();
        std::erase_if(lines, [&](const HistoryLine& line) {
            if (!line.song) return false;
            const int64_t start = line.song->start;
            return buildStart_ - start > keep || (start >= buildStart_ && start < replacedEnd);
        });
        std::erase_if(songs, [&](const PlayedSong& song) {
            return buildStart_ - song.start > keep || song.start >= buildStart_;
        });
        std::stable_sort(songs.begin(), songs.end(), [](const PlayedSong& a, const PlayedSong& b) {
            return a.start < b.start;
        });
        for (const PlayedSong& song : songs) history_.Add(FactsOf(song), song.start);
        s_.historyPath = historyPath_;
        s_.historyText = FormatHistoryLines(lines);
    }

    WalkSight see_;
    BuildContext& c_;
    BuildSession& s_;
    BuildView& view_;
    RuleSettings settings_;
    RuleSet rules_;
    RuleSet mustRules_;  // the rules that never break; all off when none
    PlayHistory history_;
    int64_t buildStart_ = 0;  // planned start of the build, calendar seconds
    bool exempt_ = false;     // the slot being placed is one no rule compares
    std::optional<RuleBreak> chosenBreak_;
    std::optional<RuleBreak> passesOver_;
    std::string historyPath_;  // empty: no history file
};

}  // namespace

std::unique_ptr<SongChooser> MakeRulesChooser(const WalkSight& sight) {
    return std::make_unique<RulesChooser>(sight);
}

}  // namespace kestrune
