// The walk of a build: the categories shuffled, the template walked slot by slot, each slot's
// song chosen by the build's chooser, placed in the final playlist and the text log and rotated
// to the end of its category, whose file is written back at once (under `order=rotate`, once
// when the build ends). The exact fill and timed
// slots hand the end of the build, and the stretches before timed items, to the fill.

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "building/BuildReport.h"
#include "building/PlaylistWalk.h"
#include "building/ShuffleList.h"
#include "output/FinalPlaylistFile.h"
#include "output/SongPaths.h"
#include "platform/FileReplace.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "platform/TimeTexts.h"
#include "tags/TagText.h"

namespace kestrune {

namespace {

const char* const kHourDivider = "-----------------------------------------------------";

// The desired length in seconds where it can be read; 0 where it cannot (nothing is asked of a
// build that never reads it).
int32_t DesiredSecondsOrZero(const std::string& minutes) {
    try {
        return CheckedMul(StrToInt(minutes), 60);
    } catch (const KestruneError&) {
        return 0;
    }
}

}  // namespace

PlaylistWalk::PlaylistWalk(BuildContext& context)
    : c_(context), s_(context.session), view_(context.view), songs_(context.reader) {}

BuildOutcome PlaylistWalk::Run() {
    const BuildOutcome outcome = Walk();
    // The rotations are written once, with what the build placed (a stopped build's too); a
    // job of many builds writes its own.
    if (ownKept_) ownKept_->Save();
    return outcome;
}

BuildOutcome PlaylistWalk::Walk() {
    songsBefore_ = s_.lbFinalPlaylist.size();
    windowLimit_ = CheckedMul(StrToInt(s_.fDMCA.ComboBox1), 3600);
    // The chooser of this build: with every rule setting at its default the walk checks and
    // searches exactly as it always has; any other setting hands the choice to the rules.
    const WalkSight sight{c_,         songs_,      [this](long long n) { return SongAt(n); },
                          recentSeconds_, lastGenre_, windowLimit_,
                          c_.rotation.order == RotationOrder::Rotate, &broughtFrom_};
    chooser_ = c_.rules.AllDefault() && c_.rotation.hourDays == 0 ? MakeCheckerChooser(sight)
                                                                  : MakeRulesChooser(sight);
    LogHeader();
    BuildOutcome outcome;
    if (s_.lbMasterPlaylists.Empty() || s_.lbClockwheelTemplate.empty()) {
        outcome.desiredSeconds = DesiredSecondsOrZero(s_.ComboBox1);
        outcome.reachedLength = outcome.desiredSeconds <= 0;
        return outcome;
    }
    s_.lbRepeatCheckList.clear();
    windowSum_ = 0;
    target_ = CheckedSub(CheckedMul(StrToInt(s_.ComboBox1), 60), 30);
    outcome.desiredSeconds = CheckedAdd(target_, 30);
    // A slot set for a time needs the hour timed to the millisecond, whatever the fill.
    timed_ = !s_.slotTimes.Empty();
    exact_ = c_.timing.fill == FillMode::Exact || timed_;
    desiredMs_ = int64_t{outcome.desiredSeconds} * 1000;
    overlapMs_ = int64_t{c_.timing.overlapSeconds} * 1000;
    toleranceMs_ = int64_t{c_.timing.toleranceSeconds} * 1000;
    ShuffleMasterPlaylists();
    chooser_->Begin(outcome.desiredSeconds);
    placed_ = exactTotal_ = hourClock_ = 0;
    totalMs_ = hourClockMs_ = 0;
    view_.SetMeterMax(Meter::ProgressBar2, target_);
    if (target_ <= 0) {
        view_.SetMeterPosition(Meter::ProgressBar2, 0);
        return outcome;
    }
    auto end = [&](bool reached, const std::string& status) {
        view_.ShowStatus(status);
        outcome.reachedLength = reached;
        outcome.placedSeconds = ShownTotalSeconds();
        outcome.status = status;
        outcome.endErrorMs = exact_ ? totalMs_ - desiredMs_
                                    : (int64_t{exactTotal_} - outcome.desiredSeconds) * 1000;
        outcome.onTime = outcome.endErrorMs >= -toleranceMs_ && outcome.endErrorMs <= toleranceMs_;
        return outcome;
    };
    if (timed_) {
        const auto [reached, status] = WalkTimed();
        return end(reached, status);
    }
    while (exact_ || placed_ < target_) {
        int32_t placedThisPass = 0;
        const int64_t msBefore = totalMs_;
        for (int slot = 0; slot < static_cast<int>(s_.lbClockwheelTemplate.size()); ++slot) {
            if (exact_ && desiredMs_ - totalMs_ <= kFillHorizonMs) {
                const std::string miss = FinishByFill(SlotsFrom(slot, kFillSlots));
                const std::string status =
                    miss.empty() ? CompleteStatus() : CompleteStatus() + " " + miss + ".";
                return end(ReachedByFill(), status);
            }
            placedThisPass += HandleSlot(slot);
            if (!exact_ && placed_ == target_) return end(true, CompleteStatus());
            // Between two slots every file is whole: a stop here loses nothing.
            c_.reader.Pump();
            if (c_.reader.StopRequested()) return end(false, StoppedStatus(slot));
        }
        // Without this the walk would go round for ever: the exact walk counts what the joins
        // leave of each item, which an overlap as long as the items makes nothing.
        if (placedThisPass == 0) return end(false, kBuildCannotProgress);
        if (exact_ && totalMs_ == msBefore) return end(false, OverlapTakesAllText());
    }
    outcome.placedSeconds = exactTotal_;
    outcome.endErrorMs = (int64_t{exactTotal_} - outcome.desiredSeconds) * 1000;
    outcome.onTime = outcome.endErrorMs >= -toleranceMs_ && outcome.endErrorMs <= toleranceMs_;
    return outcome;
}

int32_t PlaylistWalk::ShownTotalSeconds() const {
    if (!exact_) return exactTotal_;
    return static_cast<int32_t>(std::max<int64_t>(0, (totalMs_ + 500) / 1000));
}

std::string PlaylistWalk::CompleteStatus() const {
    // A build adds to what the final playlist holds: then the total is what the file will hold.
    const std::string broken =
        (breaks_ > 0 ? " Rules broken: " + std::to_string(breaks_) + "." : std::string()) +
        (slotsPassedOver_ > 0 ? " Slots passed over: " + std::to_string(slotsPassedOver_) + "."
                              : std::string());
    if (songsBefore_ == 0)
        return "Playlist is complete and is exactly " + PlayingTimeText(ShownTotalSeconds()) + "." +
               broken;
    const size_t songs = s_.lbFinalPlaylist.size();
    return "The final playlist now holds " + GroupedNumber(static_cast<int64_t>(songs)) +
           (songs == 1 ? " song, " : " songs, ") + PlayingTimeText(s_.finalPlaylistSeconds) +
           "; this build added " + PlayingTimeText(ShownTotalSeconds()) + "." + broken;
}

std::string PlaylistWalk::OverlapTakesAllText() const {
    return std::string(kBuildCannotProgress).substr(0, std::string(kBuildCannotProgress).find(" (")) +
           ": the overlap of " + std::to_string(overlapMs_ / 1000) +
           " s at each join takes all of every item's playing time.";
}

std::string PlaylistWalk::StoppedStatus(int slot) const {
    const size_t songs = s_.lbFinalPlaylist.size() - songsBefore_;
    return "Build stopped after slot " + std::to_string(slot + 1) +
           " of the Clock Wheel Template: " + GroupedNumber(static_cast<int64_t>(songs)) +
           (songs == 1 ? " song, " : " songs, ") + PlayingTimeText(exactTotal_) + " of " +
           PlayingTimeText(CheckedAdd(target_, 30)) +
           ". What was placed stays in the final playlist.";
}

void PlaylistWalk::LogHeader() {
    LineList& log = s_.mTextOutput;
    log.push_back(GeneratedLine(c_.clock.Now()));
    log.push_back("Start Time  Artist - \"Title\"");
    log.push_back(" ");
    log.push_back("------------ ALL HOURS DIVIDED BY DOTTED LINE ------------");
    log.push_back(" ");
}

void PlaylistWalk::ShuffleMasterPlaylists() {
    const int count = s_.lbMasterPlaylists.Count();
    view_.SetMeterMax(Meter::ProgressBar1, count - 1);
    names_.assign(count, std::string());
    initial_.assign(count, 0);
    remaining_.assign(count, 0);
    // Under the shuffle no category is in rotation: each is shuffled at every build.
    if (c_.rotation.order == RotationOrder::Rotate) {
        kept_ = c_.rotations;
        if (kept_ == nullptr)
            kept_ = &ownKept_.emplace(RotationStatePath(c_.historyFolder));
    }
    keptOf_.assign(count, 0);
    for (int j = 0; j < count; ++j) {
        view_.SelectMasterPlaylist(j);
        const std::string& path = s_.lbMasterPlaylists[j];
        names_[j] = path;
        if (kept_) {
            const KeptRotations::Loaded loaded = kept_->Load(path);
            keptOf_[j] = loaded.index;
            if (loaded.isNew) {
                // New to rotation: shuffled this once.
                view_.ShowStatus("Now shuffling: " + path);
                ShuffleList(kept_->Entries(loaded.index), c_.seeds, view_);
                kept_->MarkChanged(loaded.index);
            }
        } else {
            LoadPlaylist(path, layout_, s_.lbTempListBox1);
            initial_[j] = remaining_[j] = static_cast<int32_t>(s_.lbTempListBox1.size());
            view_.ShowStatus("Now shuffling: " + path);
            ShuffleList(s_.lbTempListBox1, c_.seeds, view_);
            SavePlaylist(path, layout_, s_.lbTempListBox1, Sync::Later);
            s_.lbTempListBox1.clear();
        }
        view_.SetMeterPosition(Meter::ProgressBar1, j);
    }
}

void PlaylistWalk::ShuffleFile(const std::string& path) {
    LoadPlaylist(path, layout_, s_.lbTempListBox1);
    ShuffleList(s_.lbTempListBox1, c_.seeds, view_);
    SavePlaylist(path, layout_, s_.lbTempListBox1, Sync::Later);
    s_.lbTempListBox1.clear();
}

std::string PlaylistWalk::LoadSlot(int slot) {
    view_.SelectTemplateSlot(slot);
    const std::string slotFile = s_.lbClockwheelTemplate[static_cast<size_t>(slot)];
    current_ = PlaylistIndexOf(slotFile, current_);
    slotFile_ = slotFile;
    if (kept_) {
        // A rotation comes round in its own order, kept in memory until the build ends.
        view_.ShowStatus("Adding a song from " + slotFile);
        layout_ = kept_->Layout(keptOf_[current_]);
        std::swap(s_.lbTempListBox1, kept_->Entries(keptOf_[current_]));
        return slotFile;
    }
    if (remaining_[current_] < 0) {
        view_.ShowStatus("Reshuffling " + slotFile);
        ShuffleFile(slotFile);
        remaining_[current_] = initial_[current_];
    }
    view_.ShowStatus("Adding a song from " + slotFile);
    LoadPlaylist(slotFile, layout_, s_.lbTempListBox1);
    return slotFile;
}

void PlaylistWalk::PutSlotBack() {
    if (kept_) std::swap(s_.lbTempListBox1, kept_->Entries(keptOf_[current_]));
}

int32_t PlaylistWalk::Searchable() const {
    return kept_ ? static_cast<int32_t>(
                       kept_->Searchable(keptOf_[current_], s_.lbTempListBox1.size()))
                 : remaining_[current_];
}

size_t PlaylistWalk::Unplayed(size_t playlist) const {
    if (kept_) return kept_->Unplayed(keptOf_[playlist]);
    return remaining_[playlist] > 0 ? static_cast<size_t>(remaining_[playlist]) : 0;
}

int32_t PlaylistWalk::HandleSlot(int slot) {
    const std::string slotFile = LoadSlot(slot);
    // A file without a song has none to give: the slot is passed over.
    if (!BringPlayableSongToTop(slotFile)) {
        PutSlotBack();
        return 0;
    }
    broughtFrom_ = 0;
    chooser_->Choose(slotFile, Searchable(), exactTotal_);
    if (const std::optional<RuleBreak> must = chooser_->PassesOver()) {
        PutSlotBack();
        PassOverSlot(slot, *must);
        return 0;
    }
    const int32_t before = exactTotal_;
    PlaceTopSong(slotFile);
    return exactTotal_ - before;
}

std::string PlaylistWalk::SongAt(long long n) const {
    return SongFileOf(SongLineOf(LineAt(s_.lbTempListBox1, n)), slotFile_);
}

void PlaylistWalk::NamePassedOver(const std::string& song, const char* why) {
    if (passedOver_.insert(song).second) ReportToUser(c_, "Passed over " + song + ": " + why);
}

bool PlaylistWalk::BringPlayableSongToTop(const std::string& slotFile) {
    LineList& working = s_.lbTempListBox1;
    for (size_t tried = 0; tried < working.size(); ++tried) {
        const std::string_view line = SongLineOf(working[0]);
        const std::optional<std::string> file = ExistingSongFile(line, slotFile);
        if (!file) {
            NamePassedOver(SongFilePath(line, slotFile), "it names no file.");
        } else {
            if (songs_.Read(*file).wholeSeconds > 0) return true;
            NamePassedOver(*file, "it cannot be played (no playing time).");
        }
        // Kept in its playlist, behind the songs still to come.
        if (kept_) kept_->EndTurn(keptOf_[current_], working, 0);
        else std::rotate(working.begin(), working.begin() + 1, working.end());
    }
    return false;
}

void PlaylistWalk::PlaceTopSong(const std::string& slotFile) {
    LineList& working = s_.lbTempListBox1;
    const std::string path = SongAt(0);
    s_.lbFinalPlaylist.push_back(path);
    const SongRead& song = songs_.Read(path);
    s_.placedSongs[path] = TaggedEntry(path, song.facts.seconds, song.taggedArtist,
                                       song.taggedTitle, song.taggedAlbum);
    const std::optional<RuleBreak> broken = chooser_->BreakOfPlaced(song.facts);
    const int32_t songStart = exactTotal_;
    const int32_t d = song.wholeSeconds;
    placed_ = CheckedAdd(placed_, d);
    exactTotal_ = CheckedAdd(exactTotal_, d);
    s_.finalPlaylistSeconds = CheckedAdd(s_.finalPlaylistSeconds, d);
    std::string line = HourClockText(exact_ ? static_cast<int32_t>(hourClockMs_ / 1000) : hourClock_);
    hourClock_ = CheckedAdd(hourClock_, d);
    const int64_t net = NetMs(song.ms > 0 ? song.ms : int64_t{d} * 1000);
    totalMs_ += net;
    hourClockMs_ += net;
    if (placed_ > target_) placed_ = target_;
    view_.SetMeterPosition(Meter::ProgressBar2, placed_);
    if (!kept_) working.push_back(working[0]);
    s_.lbRepeatCheckList.push_back(path);
    recentSeconds_.push_back(d);
    windowSum_ = CheckedAdd(windowSum_, d);
    const std::string& artist = song.facts.artist;
    s_.lbDupeArtistChecklist.push_back(artist);
    lastGenre_ = song.facts.genre;
    // Tag texts as the playlist writers clean them: none can break a line of the log.
    line += "  " + CleanText(artist) + " - \"" + CleanText(song.facts.title) + "\"" + timedNote_;
    s_.mTextOutput.push_back(std::move(line));
    if (broken) NameBreak(*broken, songStart);
    chooser_->Placed(path, songStart);
    // With the exact fill an hour that ends on time is an hour, a little short or not.
    const bool hourEnds = exact_ ? hourClockMs_ >= 3600000 - toleranceMs_ : hourClock_ >= 3600;
    if (hourEnds) {
        hourClock_ -= 3600;
        hourClockMs_ = std::max<int64_t>(0, hourClockMs_ - 3600000);
        s_.mTextOutput.push_back("");
        s_.mTextOutput.push_back(kHourDivider);
        s_.mTextOutput.push_back("");
    }
    DropOldSongsFromWindow();
    if (kept_) {
        kept_->EndTurn(keptOf_[current_], working, broughtFrom_);
        PutSlotBack();
        return;
    }
    working.erase(working.begin());
    SavePlaylist(slotFile, layout_, working, Sync::Later);
    remaining_[current_] = CheckedSub(remaining_[current_], 1);
}

void PlaylistWalk::DropOldSongsFromWindow() {
    // An empty window is as small as it gets, even for a window limit below zero.
    while (windowSum_ > windowLimit_ && !s_.lbRepeatCheckList.empty()) {
        const int32_t d0 = songs_.Read(s_.lbRepeatCheckList.front()).wholeSeconds;
        s_.lbRepeatCheckList.erase(s_.lbRepeatCheckList.begin());
        if (!recentSeconds_.empty()) recentSeconds_.pop_front();
        LineAt(s_.lbDupeArtistChecklist, 0);
        s_.lbDupeArtistChecklist.erase(s_.lbDupeArtistChecklist.begin());
        windowSum_ = CheckedSub(windowSum_, d0);
    }
}

void PlaylistWalk::NameBreak(const RuleBreak& brk, int32_t songStart) {
    const std::string line = BreakLine(brk);
    // With every rule at its default the text log stays as it always was, byte for byte; the
    // break is named on the status line, in the closing status and in the list of breaks.
    if (chooser_->LogsBreaks()) s_.mTextOutput.push_back(line);
    s_.lbRuleBreaks.push_back(
        PlacedBreakLine(static_cast<long long>(s_.lbFinalPlaylist.size()), songStart, brk));
    view_.ShowStatus(line);
    ++breaks_;
}

void PlaylistWalk::PassOverSlot(int slot, const std::optional<RuleBreak>& must) {
    const std::string category = ExtractFileName(SlotFileOf(slot));
    const std::string line =
        "Slot " + std::to_string(slot + 1) + " passed over at " +
        PlayingTimeText(ShownTotalSeconds()) + ": every song of " + category +
        (must ? " breaks a must rule (" + DescribeBreak(*must) + ")"
              : " that keeps the must rules is placed before it");
    ReportToUser(c_, line);
    s_.lbRuleBreaks.push_back(line);
    ++slotsPassedOver_;
}

size_t PlaylistWalk::PlaylistIndexOf(const std::string& slotFile, size_t fallback) const {
    // The last equal master playlist wins; none equal keeps the index of the slot before.
    for (size_t j = 0; j < names_.size(); ++j)
        if (names_[j] == slotFile) fallback = j;
    return fallback;
}

}  // namespace kestrune
