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
                                      size_t choices, std::vector<std::string>& files) {
    FillSlot slot;
    slot.category = static_cast<int>(playlist);
    const bool exempt = chooser_->ExemptSlot(slotFile);
    PlaylistLayout layout;
    LineList working;
    LoadPlaylist(slotFile, layout, working);
    // The songs still to come in this rotation, from its top: nothing played comes round again
    // before the rest of its category.
    const size_t unplayed = remaining_[playlist] > 0 ? static_cast<size_t>(remaining_[playlist])
                                                    : working.size();
    const size_t scan = std::min({working.size(), unplayed, kFillScan});
    for (size_t n = 0; n < scan && slot.candidates.size() < choices; ++n) {
        const std::string_view line = SongLineOf(working[n]);
        const std::optional<std::string> file = ExistingSongFile(line, slotFile);
        if (!file || LengthMs(*file) <= overlapMs_) continue;
        // Against what was placed before the fill.
        if (!exempt && chooser_->BreaksBeforeFill(*file, exactTotal_)) continue;
        files.push_back(*file);
        slot.candidates.push_back(CandidateFor(*file, exempt));
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
    for (size_t k = 0; k < count; ++k) {
        // A timed slot is an anchor of its own: inside a fill it is passed over, as the walk
        // passes it over, and airs at its time or not at all.
        if (s_.slotTimes.At(static_cast<size_t>(slotOf[k]))) {
            problem.slots.emplace_back();
            continue;
        }
        problem.slots.push_back(
            FillCandidates(SlotFileOf(slotOf[k]), playlistOf[k], problem.maxChoices, files[k]));
    }
    // A rotation that has no candidate that keeps the rules gives the walk's own choice.
    for (size_t k = 0; k < problem.slots.size(); ++k) {
        if (!problem.slots[k].candidates.empty()) continue;
        if (s_.slotTimes.At(static_cast<size_t>(slotOf[k]))) continue;
        const std::string& slotFile = SlotFileOf(slotOf[k]);
        PlaylistLayout layout;
        LineList working;
        LoadPlaylist(slotFile, layout, working);
        for (const std::string& entry : working) {
            const std::optional<std::string> file = ExistingSongFile(SongLineOf(entry), slotFile);
            if (!file || LengthMs(*file) <= overlapMs_) continue;
            FillCandidate candidate;
            candidate.ms = LengthMs(*file);
            candidate.keys.push_back(fillIds_.Key("f\n" + *file));
            problem.slots[k].candidates.push_back(candidate);
            problem.slots[k].category = -1;  // its one song is not a place in the rotation
            files[k].push_back(*file);
            break;
        }
    }
    const FillChoice choice = ChooseFill(problem);
    if (!placeEarly && choice.found && !choice.inWindow) return choice;
    for (size_t k = 0; k < choice.picks.size(); ++k)
        if (choice.picks[k] != kPassedOver) PlaceFillPick(slotOf[k], files[k][choice.picks[k]]);
    return choice;
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
    FillAhead(slotOf, desiredMs_ - totalMs_, toleranceMs_, 0, true, c_.timing.prefer);
    const int64_t error = totalMs_ - desiredMs_;
    if (error >= -toleranceMs_ && error <= toleranceMs_) return std::string();
    const std::string miss = FillMissText(error, c_.timing.toleranceSeconds);
    ReportToUser(c_, miss);
    s_.lbRuleBreaks.push_back(miss);
    return miss;
}

void PlaylistWalk::PlaceFillPick(int slot, const std::string& path) {
    const std::string slotFile = LoadSlot(slot);
    LineList& working = s_.lbTempListBox1;
    for (size_t n = 0; n < working.size(); ++n) {
        if (SongAt(static_cast<long long>(n)) != path) continue;
        // On top, the songs it passed keeping their order ahead of the rest.
        std::rotate(working.begin(), working.begin() + static_cast<long>(n),
                    working.begin() + static_cast<long>(n) + 1);
        break;
    }
    chooser_->ChosenByFill(slotFile, path, exactTotal_);
    PlaceTopSong(slotFile);
}

}  // namespace kestrune
