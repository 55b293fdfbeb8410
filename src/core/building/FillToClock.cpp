// The fill to the clock: the end of a build, and the stretch before a timed item, chosen as one
// so that they add up to the time left. The walk's categories, rotations and chooser give each
// slot its candidates; the search (timing/ClockFill) picks; the walk places the picks.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "building/BuildReport.h"
#include "building/PlaylistWalk.h"
#include "output/SongPaths.h"
#include "platform/Paths.h"

namespace kestrune {

int64_t PlaylistWalk::LengthMs(const std::string& path) {
    const SongRead& song = songs_.Read(path);
    // A song without whole seconds is one the walk never places: nor does the fill.
    return song.wholeSeconds <= 0 ? 0 : song.ms > 0 ? song.ms : int64_t{song.wholeSeconds} * 1000;
}

FillCandidate PlaylistWalk::CandidateFor(const std::string& path, bool exempt) {
    FillCandidate candidate;
    candidate.ms = LengthMs(path);
    candidate.keys.push_back(fillIds_.Key("f\n" + path));
    if (exempt) {
        candidate.counted = false;
        return candidate;
    }
    chooser_->DescribeForFill(path, candidate, fillIds_);
    return candidate;
}

FillSlot PlaylistWalk::FillCandidates(const std::string& slotFile, size_t playlist,
                                      size_t choices, std::vector<std::string>& files,
                                      std::optional<RuleBreak>* mustBreak) {
    FillSlot slot;
    slot.category = static_cast<int>(playlist);
    const bool exempt = chooser_->ExemptSlot(slotFile);
    // A rule that never breaks: a song that breaks it is no candidate, and the search looks
    // through the whole category for those that keep it.
    const bool must = !exempt && chooser_->HasMustRules();
    slot.passable = must;
    std::optional<RuleBreak> firstMust;
    PlaylistLayout layout;
    LineList read;
    if (!kept_) LoadPlaylist(slotFile, layout, read);
    const LineList& working = kept_ ? kept_->Entries(keptOf_[playlist]) : read;
    // The songs still to come in this rotation, from its top, keeping the rules: nothing played
    // comes round again before the rest of its category, as long as the rest keeps the rules.
    const size_t unplayed = Unplayed(playlist) > 0 ? Unplayed(playlist) : working.size();
    struct Relaxed {
        std::string file;
        std::optional<RuleBreak> brk;
    };
    std::vector<Relaxed> relaxed;
    const size_t scan =
        must ? working.size() : std::min(working.size(), std::max(unplayed, kFillScan));
    for (size_t n = 0; n < scan && slot.candidates.size() < choices; ++n) {
        const bool inRotation = n < unplayed;
        if (!inRotation && relaxed.size() >= kFillScan) break;
        const std::optional<std::string> file =
            ExistingSongFile(SongLineOf(working[n]), slotFile);
        if (!file || LengthMs(*file) <= overlapMs_) continue;
        if (must) {
            if (auto broken = chooser_->MustBreakBeforeFill(*file, exactTotal_)) {
                if (!firstMust) firstMust = std::move(broken);
                continue;
            }
        }
        std::optional<RuleBreak> brk;
        if (!exempt) brk = chooser_->BreakBeforeFill(*file, exactTotal_);
        if (inRotation && !brk) {
            files.push_back(*file);
            slot.candidates.push_back(CandidateFor(*file, exempt));
            // Once more, relaxed: kept apart from nothing else in the fill.
            relaxed.push_back(Relaxed{*file, std::nullopt});
        } else if (relaxed.size() < kFillScan) {
            relaxed.push_back(Relaxed{*file, std::move(brk)});
        }
    }
    if (slot.candidates.size() >= choices) return slot;
    if (mustBreak != nullptr && relaxed.empty()) *mustBreak = firstMust;
    // Too few keep the rules: the rest of the choices relax them as the walk does, each kept
    // apart only from itself and named where it breaks one once placed. A song that breaks
    // nothing before the fill comes first, then the smallest break where the station relaxes
    // so, else the rotation's order.
    const bool smallestFirst = chooser_->SmallestBreakFirst();
    std::stable_sort(relaxed.begin(), relaxed.end(), [&](const Relaxed& a, const Relaxed& b) {
        if (a.brk.has_value() != b.brk.has_value()) return !a.brk;
        return smallestFirst && a.brk && SmallerBreak(*a.brk, *b.brk);
    });
    for (size_t k = 0; k < relaxed.size() && slot.candidates.size() < choices; ++k) {
        files.push_back(relaxed[k].file);
        FillCandidate candidate;
        candidate.ms = LengthMs(relaxed[k].file);
        candidate.keys.push_back(fillIds_.Key("f\n" + relaxed[k].file));
        candidate.relaxed = true;
        // It may break the other rules, never a must rule within the fill either.
        if (must) chooser_->DescribeMustForFill(relaxed[k].file, candidate, fillIds_);
        slot.candidates.push_back(std::move(candidate));
    }
    return slot;
}

FillChoice PlaylistWalk::FillAhead(const std::vector<int>& slotOf, int64_t targetMs,
                                   int64_t toleranceMs, size_t minSlots, bool placeEarly,
                                   EndPreference prefer) {
    const size_t count = slotOf.size();
    FillProblem problem;
    problem.prefer = prefer;
    problem.targetMs = targetMs;
    problem.toleranceMs = toleranceMs;
    problem.overlapMs = overlapMs_;
    problem.minSlots = minSlots;
    // The song the genre rule compares the first choice with: the last one the rules counted,
    // or for the Genre Checker the last one placed.
    if (const std::optional<std::string> genre = chooser_->GenreBeforeFill())
        problem.lastGenre = fillIds_.Genre(*genre);
    std::vector<size_t> playlistOf;
    size_t playlist = current_;
    for (size_t k = 0; k < count; ++k) {
        playlist = PlaylistIndexOf(SlotFileOf(slotOf[k]), playlist);
        playlistOf.push_back(playlist);
    }
    // Slots of one category take its songs in rotation order: where a stretch may use many of
    // them, each still has its choices beyond the songs the ones before it took.
    size_t most = 1;
    for (const size_t list : playlistOf)
        most = std::max<size_t>(
            most, static_cast<size_t>(std::count(playlistOf.begin(), playlistOf.end(), list)));
    problem.maxChoices = kFillChoices + most - 1;
    std::vector<std::vector<std::string>> files(count);
    std::vector<std::optional<RuleBreak>> mustBreaks(count);
    for (size_t k = 0; k < count; ++k) {
        // A timed slot is an anchor of its own: inside a fill it is passed over, as the walk
        // passes it over, and airs at its time or not at all.
        if (s_.slotTimes.At(static_cast<size_t>(slotOf[k]))) {
            problem.slots.emplace_back();
            continue;
        }
        problem.slots.push_back(
            FillCandidates(SlotFileOf(slotOf[k]), playlistOf[k], problem.maxChoices, files[k],
                           &mustBreaks[k]));
    }
    const FillChoice choice = ChooseFill(problem);
    NoteExhausted(slotOf, files, choice);
    if (!placeEarly && choice.found && !choice.inWindow) return choice;
    for (size_t k = 0; k < choice.picks.size(); ++k) {
        if (choice.picks[k] != kPassedOver)
            PlaceFillPick(slotOf[k], files[k][choice.picks[k]]);
        else if (mustBreaks[k] ||
                 (problem.slots[k].passable && !problem.slots[k].candidates.empty()))
            PassOverSlot(slotOf[k], mustBreaks[k]);
    }
    return choice;
}

void PlaylistWalk::NoteExhausted(const std::vector<int>& slotOf,
                                 const std::vector<std::vector<std::string>>& files,
                                 const FillChoice& choice) {
    exhausted_.clear();
    std::vector<std::string> picked;
    for (size_t k = 0; k < choice.picks.size(); ++k)
        if (choice.picks[k] != kPassedOver) picked.push_back(files[k][choice.picks[k]]);
    auto note = [&](size_t k) {
        const std::string name = ExtractFileName(SlotFileOf(slotOf[k]));
        if (std::find(exhausted_.begin(), exhausted_.end(), name) == exhausted_.end())
            exhausted_.push_back(name);
    };
    // A slot passed over had no song at all; the slot the fill stopped before, none but those
    // the fill already took.
    for (size_t k = 0; k < choice.picks.size(); ++k)
        if (choice.picks[k] == kPassedOver && !s_.slotTimes.At(static_cast<size_t>(slotOf[k])))
            note(k);
    const size_t next = choice.picks.size();
    if (next < slotOf.size() && !s_.slotTimes.At(static_cast<size_t>(slotOf[next])) &&
        std::all_of(files[next].begin(), files[next].end(), [&](const std::string& file) {
            return std::find(picked.begin(), picked.end(), file) != picked.end();
        }))
        note(next);
}

std::vector<int> PlaylistWalk::SlotsFrom(int slot, size_t count) const {
    const size_t slots = s_.lbClockwheelTemplate.size();
    std::vector<int> sequence;
    for (size_t k = 0; k < count; ++k)
        sequence.push_back(static_cast<int>((static_cast<size_t>(slot) + k) % slots));
    return sequence;
}

std::string PlaylistWalk::FinishByFill(const std::vector<int>& slotOf) {
    // The end of the build: the station's preferred side of the hour.
    const FillChoice choice =
        FillAhead(slotOf, desiredMs_ - totalMs_, toleranceMs_, 0, true, c_.timing.prefer);
    const int64_t error = totalMs_ - desiredMs_;
    if (error >= -toleranceMs_ && error <= toleranceMs_) return std::string();
    std::string miss = FillMissText(error, c_.timing.toleranceSeconds);
    // Short because a category had nothing left to give, not even against the rules: which.
    if (error < 0)
        for (size_t k = 0; k < exhausted_.size(); ++k)
            miss += (k == 0 ? "; nothing left in " : ", ") + exhausted_[k];
    ReportToUser(c_, miss);
    s_.lbRuleBreaks.push_back(miss);
    return miss;
}

void PlaylistWalk::PlaceFillPick(int slot, const std::string& path) {
    const std::string slotFile = LoadSlot(slot);
    LineList& working = s_.lbTempListBox1;
    broughtFrom_ = 0;
    for (size_t n = 0; n < working.size(); ++n) {
        if (SongAt(static_cast<long long>(n)) != path) continue;
        // On top, the songs it passed keeping their order ahead of the rest.
        broughtFrom_ = n;
        std::rotate(working.begin(), working.begin() + static_cast<long>(n),
                    working.begin() + static_cast<long>(n) + 1);
        break;
    }
    chooser_->ChosenByFill(slotFile, path, exactTotal_);
    PlaceTopSong(slotFile);
}

}  // namespace kestrune
