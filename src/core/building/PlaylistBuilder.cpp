#include "building/PlaylistBuilder.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "building/BuildReport.h"
#include "building/PlaylistFile.h"
#include "building/StopRequest.h"
#include "mpgtools/MPGTools.h"
#include "mpgtools/ReaderHooks.h"
#include "onair/AiredHistory.h"
#include "output/PlaylistWriter.h"
#include "output/SongPaths.h"
#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/TimeTexts.h"
#include "rules/ArtistNames.h"
#include "rules/PlayHistoryFile.h"
#include "rules/RuleSettings.h"
#include "rules/SeparationRules.h"
#include "rules/SongFactsCache.h"
#include "tags/TagText.h"
#include "timing/ClockFill.h"
#include "timing/SlotTime.h"

namespace kestrune {

const char* const kBuildCannotProgress =
    "The playlist cannot be completed: a whole pass through the clock template placed no "
    "playing time (every top song is missing, empty or has no playing time).";

namespace {

const char* const kHourDivider = "-----------------------------------------------------";

// With the exact fill the walk hands over to the search when this much is left to fill: enough
// songs and breaks to choose from even where the rules leave each category only a few (the
// demo hour, its small categories and its artists apart for three hours, lands within 2 s on
// every seed only from 25 minutes; from 15 it missed on four seeds of ten).
constexpr int64_t kFillHorizonMs = 25 * 60 * 1000;
// How many slots ahead the search may look, and how deep into each rotation.
constexpr size_t kFillSlots = 24;
constexpr size_t kFillChoices = 8;
// Entries of a category read for its candidates at most.
constexpr size_t kFillScan = 64;

// The desired length in seconds where it can be read; 0 where it cannot (nothing is asked of a
// build that never reads it).
int32_t DesiredSecondsOrZero(const std::string& minutes) {
    try {
        return CheckedMul(StrToInt(minutes), 60);
    } catch (const KestruneError&) {
        return 0;
    }
}

// Built by appending: g++ 12 at -O3 takes "0" + std::string for an overlapping copy and
// warns (-Wrestrict) about code that is correct.
class PlaylistWalk {
public:
    explicit PlaylistWalk(BuildContext& context)
        : c_(context), s_(context.session), view_(context.view) {}

    BuildOutcome Run();

private:
    void LogHeader();
    void ShuffleMasterPlaylists();
    void ShuffleFile(const std::string& path);
    // Marks the slot, reshuffles its category when its rotation has come round and loads it
    // into the working list; answers its playlist file.
    std::string LoadSlot(int slot);
    // One slot of the template; answers the playing time it placed.
    int32_t HandleSlot(int slot);
    void CheckTopSong(const std::string& artist, const std::string& genre, int32_t remaining);
    void PlaceTopSong(const std::string& slotFile);

    // The rules of this build: with every setting at its default the walk checks and searches
    // exactly as it always has (CheckTopSong); any other setting hands the choice to the rules.
    void SetUpRules();
    void LoadPlayHistory();
    // Puts on top the first song, from the top down the way the duplicate search goes, that
    // keeps every rule; when none does, the top song (or, relaxed, the one with the smallest
    // break) stays, and the break is kept for placing.
    void ChooseByRules(const std::string& slotFile, int32_t remaining);
    std::string RuleMessage(const RuleBreak& brk) const;
    // A break of the dupe or genre check by the song about to be placed.
    std::optional<RuleBreak> PlainCheckBreak(const std::string& artist,
                                             const std::string& genre) const;
    void NameBreak(const RuleBreak& brk, int32_t songStart);
    void RememberPlayed(const std::string& path, int32_t songStart);
    void DropOldSongsFromWindow();
    std::string DupeMessage(const std::string& artist) const;
    std::string CompleteStatus() const;
    std::string OverlapTakesAllText() const;
    std::string StoppedStatus(int slot) const;

    void FindReplacement(int32_t r);
    void FindDifferentGenre(int32_t r);
    bool GenreSameAsLast(const std::string& genre);
    void Load(TMPEGAudio& reader, const std::string& path) { reader.SetFileName(path); }
    // The file the n-th entry of the slot's working list names.
    std::string SongAt(long long n) const;
    // Moves songs that name no file or cannot be played to the end of the working list, naming
    // each once a build, until a playable one is on top; false when there is none.
    bool BringPlayableSongToTop(const std::string& slotFile);
    void NamePassedOver(const std::string& song, const char* why);

    BuildContext& c_;
    BuildSession& s_;
    BuildView& view_;
    TMPEGAudio reader_;        // the top song and the song placed
    TMPEGAudio searchReader_;  // candidates further down
    TMPEGAudio lastReader_;    // the last recent song, for the genre comparison

    int32_t windowLimit_ = 0;
    int32_t target_ = 0;
    int32_t placed_ = 0;
    int32_t exactTotal_ = 0;
    int32_t hourClock_ = 0;
    int32_t windowSum_ = 0;
    std::vector<std::string> names_;
    PlaylistLayout layout_;            // of the file whose entries are in the working list
    std::string slotFile_;             // that file
    std::set<std::string> passedOver_;  // songs already named as passed over
    std::vector<int32_t> initial_;
    std::vector<int32_t> remaining_;
    size_t current_ = 0;
    size_t songsBefore_ = 0;  // what the final playlist held when the build began

    bool byRules_ = false;
    RuleSettings settings_;
    RuleSet rules_;
    PlayHistory history_;
    SongFactsCache facts_;
    int64_t buildStart_ = 0;  // planned start of the build, calendar seconds
    bool exemptSlot_ = false;
    std::optional<RuleBreak> chosenBreak_;
    std::deque<int32_t> recentSeconds_;  // playing times of the recent songs, for the breaks' ages
    std::string lastGenre_;              // of the song placed last
    int breaks_ = 0;
    std::string historyPath_;  // empty: no history file

    // The exact fill: lengths in milliseconds, each item less the overlap at its join.
    // A timed slot ahead of the walk, with the time its item is due (from the build's start).
    struct TimedAhead {
        size_t distance = 0;  // slots before it
        SlotTime time;
        int64_t dueMs = 0;
    };
    // Chooses and places the songs of up to `count` slots from `slot` on (at least `minSlots`,
    // and every timed one among them, which must start within its window) so that they add up
    // to the target.
    // With `placeEarly` false, a choice that ends early is answered but not placed.
    FillChoice FillAhead(int slot, size_t count, int64_t targetMs, int64_t toleranceMs,
                         size_t minSlots, const std::vector<TimedAhead>& timed = {},
                         bool placeEarly = true);
    // Fills the end of the build from `slot` on over at most `count` slots; answers the miss it
    // named, or nothing when the end is on time.
    std::string FinishByFill(int slot, size_t count, const std::vector<TimedAhead>& timed = {});
    // With timed slots: the walk, with each stretch before a timed item chosen so that the item
    // starts on time, and the last part of the build with its timed items chosen as one. Answers
    // whether the length was reached and the closing status.
    std::pair<bool, std::string> WalkTimed();
    // The timed slots due within the build among the `limit` slots from `slot` on, in order,
    // up to the first one due at the end of the build or later. `ledTo` is the due time of the
    // slot at `slot` when a stretch led to it, else -1.
    std::vector<TimedAhead> TimedSlotsAhead(int slot, size_t limit, int64_t ledTo) const;
    // Places one timed item by `place`, noting its time in the text log and naming a miss.
    template <typename Place>
    void PlaceTimed(int slot, const SlotTime& time, int64_t dueMs, Place place);
    std::string timedNote_;  // added to the text log's line of the timed item being placed
    std::set<int> passedOverSlots_;  // timed slots named as passed over
    // Names, once a build, a timed slot that does not air because it is away from its time.
    void PassOverTimed(int slot, const SlotTime& time);
    bool timed_ = false;
    // Also answers each candidate's file, in the same order.
    FillSlot FillCandidates(const std::string& slotFile, size_t playlist, int64_t startSeconds,
                            size_t choices,
                            std::vector<std::string>& files);
    FillCandidate CandidateFor(const std::string& path, bool exempt);
    int FillKey(const std::string& key);
    int FillGenre(const std::string& genre);
    size_t PlaylistIndexOf(const std::string& slotFile, size_t fallback) const;
    void PlaceFillPick(int slot, const std::string& path);
    int64_t LengthMs(const std::string& path);
    // An item counts for its length less the crossfade at its join, never for less than nothing.
    int64_t NetMs(int64_t lengthMs) const { return std::max<int64_t>(0, lengthMs - overlapMs_); }
    int32_t ShownTotalSeconds() const;
    bool exact_ = false;
    int64_t desiredMs_ = 0;
    int64_t overlapMs_ = 0;
    int64_t toleranceMs_ = 0;
    int64_t totalMs_ = 0;      // what this build placed, joins taken off
    int64_t hourClockMs_ = 0;  // the text log's clock with the exact fill
    std::unordered_map<std::string, int64_t> lengthsMs_;
    std::unordered_map<std::string, int> fillKeys_;
    std::unordered_map<std::string, int> fillGenres_;
    TMPEGAudio lengthReader_;
};

BuildOutcome PlaylistWalk::Run() {
    songsBefore_ = s_.lbFinalPlaylist.size();
    windowLimit_ = CheckedMul(StrToInt(s_.fDMCA.ComboBox1), 3600);
    SetUpRules();
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
    if (byRules_) LoadPlayHistory();
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
                const std::string miss = FinishByFill(slot, kFillSlots);
                const std::string status =
                    miss.empty() ? CompleteStatus() : CompleteStatus() + " " + miss + ".";
                return end(totalMs_ >= desiredMs_ - toleranceMs_, status);
            }
            placedThisPass += HandleSlot(slot);
            if (!exact_ && placed_ == target_) return end(true, CompleteStatus());
            // Between two slots every file is whole: a stop here loses nothing.
            PumpMessages();
            if (StopRequested()) return end(false, StoppedStatus(slot));
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
        breaks_ > 0 ? " Rules broken: " + std::to_string(breaks_) + "." : std::string();
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
    for (int j = 0; j < count; ++j) {
        view_.SelectMasterPlaylist(j);
        const std::string& path = s_.lbMasterPlaylists[j];
        LoadPlaylist(path, layout_, s_.lbTempListBox1);
        names_[j] = path;
        initial_[j] = remaining_[j] = static_cast<int32_t>(s_.lbTempListBox1.size());
        view_.ShowStatus("Now shuffling: " + path);
        ShuffleList(s_.lbTempListBox1, c_.seeds, view_);
        SavePlaylist(path, layout_, s_.lbTempListBox1, Sync::Later);
        s_.lbTempListBox1.clear();
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
    if (remaining_[current_] < 0) {
        view_.ShowStatus("Reshuffling " + slotFile);
        ShuffleFile(slotFile);
        remaining_[current_] = initial_[current_];
    }
    view_.ShowStatus("Adding a song from " + slotFile);
    LoadPlaylist(slotFile, layout_, s_.lbTempListBox1);
    slotFile_ = slotFile;
    return slotFile;
}

int32_t PlaylistWalk::HandleSlot(int slot) {
    const std::string slotFile = LoadSlot(slot);
    // A file without a song has none to give: the slot is passed over.
    if (!BringPlayableSongToTop(slotFile)) return 0;
    if (byRules_) {
        ChooseByRules(slotFile, remaining_[current_]);
    } else {
        CheckTopSong(reader_.GetArtist(), reader_.GetGenreText(), remaining_[current_]);
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
            Load(reader_, *file);
            if (reader_.MPEGFileInfo.Duration > 0) return true;
            NamePassedOver(*file, "it cannot be played (no playing time).");
        }
        // Kept in its playlist, behind the songs still to come.
        std::rotate(working.begin(), working.begin() + 1, working.end());
    }
    return false;
}

std::string PlaylistWalk::DupeMessage(const std::string& artist) const {
    return "DUPLICATE! " + artist + " has been played in the last " + s_.fDMCA.ComboBox1 +
           " hour(s). Finding another artist.";
}

void PlaylistWalk::CheckTopSong(const std::string& artist, const std::string& genre,
                                int32_t remaining) {
    const bool dupe = s_.fDMCA.cbDupeCheck;
    const bool genreCheck = s_.fGenre.cbGenreCheck;
    const bool anyRecent = !s_.lbRepeatCheckList.empty();
    if (dupe && genreCheck && anyRecent) {
        if (ArtistInList(artist, s_.lbDupeArtistChecklist) || GenreSameAsLast(genre)) {
            view_.ShowStatus(DupeMessage(artist));
            FindReplacement(remaining);
        }
    }
    if (dupe && anyRecent && ArtistInList(artist, s_.lbDupeArtistChecklist)) {
        view_.ShowStatus(DupeMessage(artist));
        FindReplacement(remaining);
    }
    if (genreCheck && !dupe) {
        const std::string topGenre = reader_.GetGenreText();
        if (anyRecent && GenreSameAsLast(topGenre)) {
            view_.ShowStatus("GENRE REPEATED! " + topGenre +
                             " is from the same genre as the previous song. Finding another song.");
            FindDifferentGenre(remaining);
        }
    }
}

void PlaylistWalk::PlaceTopSong(const std::string& slotFile) {
    LineList& working = s_.lbTempListBox1;
    const std::string path = SongAt(0);
    s_.lbFinalPlaylist.push_back(path);
    Load(reader_, path);
    const std::optional<RuleBreak> broken =
        byRules_ ? chosenBreak_ : PlainCheckBreak(reader_.GetArtist(), reader_.GetGenreText());
    const int32_t songStart = exactTotal_;
    const int32_t d = reader_.MPEGFileInfo.Duration;
    placed_ = CheckedAdd(placed_, d);
    exactTotal_ = CheckedAdd(exactTotal_, d);
    s_.finalPlaylistSeconds = CheckedAdd(s_.finalPlaylistSeconds, d);
    std::string line = HourClockText(exact_ ? static_cast<int32_t>(hourClockMs_ / 1000) : hourClock_);
    hourClock_ = CheckedAdd(hourClock_, d);
    const int64_t net = NetMs(reader_.MPEGFileInfo.DurationMs > 0 ? reader_.MPEGFileInfo.DurationMs
                                                                  : int64_t{d} * 1000);
    totalMs_ += net;
    hourClockMs_ += net;
    if (placed_ > target_) placed_ = target_;
    view_.SetMeterPosition(Meter::ProgressBar2, placed_);
    working.push_back(working[0]);
    s_.lbRepeatCheckList.push_back(path);
    recentSeconds_.push_back(d);
    windowSum_ = CheckedAdd(windowSum_, d);
    const std::string artist = reader_.GetArtist();
    s_.lbDupeArtistChecklist.push_back(artist);
    lastGenre_ = reader_.GetGenreText();
    // Tag texts as the playlist writers clean them: none can break a line of the log.
    line += "  " + CleanText(artist) + " - \"" + CleanText(reader_.GetTitle()) + "\"" + timedNote_;
    s_.mTextOutput.push_back(std::move(line));
    if (broken) NameBreak(*broken, songStart);
    if (byRules_ && !exemptSlot_) RememberPlayed(path, songStart);
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
    working.erase(working.begin());
    SavePlaylist(slotFile, layout_, working, Sync::Later);
    remaining_[current_] = CheckedSub(remaining_[current_], 1);
}

void PlaylistWalk::DropOldSongsFromWindow() {
    // An empty window is as small as it gets, even for a window limit below zero.
    while (windowSum_ > windowLimit_ && !s_.lbRepeatCheckList.empty()) {
        Load(reader_, s_.lbRepeatCheckList.front());
        const int32_t d0 = reader_.MPEGFileInfo.Duration;
        s_.lbRepeatCheckList.erase(s_.lbRepeatCheckList.begin());
        if (!recentSeconds_.empty()) recentSeconds_.pop_front();
        LineAt(s_.lbDupeArtistChecklist, 0);
        s_.lbDupeArtistChecklist.erase(s_.lbDupeArtistChecklist.begin());
        windowSum_ = CheckedSub(windowSum_, d0);
    }
}

bool PlaylistWalk::GenreSameAsLast(const std::string& genre) {
    Load(lastReader_,
         LineAt(s_.lbRepeatCheckList, static_cast<long long>(s_.lbRepeatCheckList.size()) - 1));
    return lastReader_.GetGenreText() == genre;
}

void PlaylistWalk::FindReplacement(int32_t r) {
    LineList& working = s_.lbTempListBox1;
    for (int32_t n = r - 2; n >= 0; --n) {
        Load(searchReader_, SongAt(n));
        if (searchReader_.MPEGFileInfo.Duration == 0) continue;  // never placed: no playing time
        if (ArtistInList(searchReader_.GetArtist(), s_.lbDupeArtistChecklist)) continue;
        if (s_.fGenre.cbGenreCheck && GenreSameAsLast(searchReader_.GetGenreText())) continue;
        std::swap(working[0], working[n]);
        return;
    }
}

void PlaylistWalk::FindDifferentGenre(int32_t r) {
    view_.ShowStatus("Finding a different genre.");
    LineList& working = s_.lbTempListBox1;
    for (int32_t n = r - 2; n >= 0; --n) {
        Load(searchReader_, SongAt(n));
        if (searchReader_.MPEGFileInfo.Duration == 0) continue;
        if (!GenreSameAsLast(searchReader_.GetGenreText())) {
            std::swap(working[0], working[n]);
            return;
        }
    }
}

void PlaylistWalk::SetUpRules() {
    settings_ = c_.rules;
    byRules_ = !settings_.AllDefault();
    rules_ = RuleSet{};
    rules_.artistWindow = s_.fDMCA.cbDupeCheck ? windowLimit_ : 0;
    rules_.titleWindow = int64_t{settings_.titleHours} * 3600;
    rules_.albumWindow = int64_t{settings_.albumHours} * 3600;
    rules_.performanceComplement = settings_.performanceComplement;
    rules_.genre = s_.fGenre.cbGenreCheck;
    rules_.matching = settings_.artistMatching;
    history_ = PlayHistory(settings_.artistMatching);
    buildStart_ = CalendarSeconds(c_.plannedStart ? *c_.plannedStart : c_.clock.Now());
}

void PlaylistWalk::LoadPlayHistory() {
    if (!settings_.history || c_.historyFolder == nullptr || c_.historyFolder->empty()) return;
    historyPath_ = PlayHistoryPath(*c_.historyFolder);
    // A build added to one not yet written goes on from that one's plays.
    const bool pending = s_.historyPath == historyPath_;
    const std::string text = pending            ? s_.historyText
                             : FileExists(historyPath_) ? ReadWholeFile(historyPath_)
                                                        : std::string();
    std::vector<HistoryLine> lines = ReadHistoryLines(text);
    for (size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].song && !pending)
            ReportToUser(c_, UnreadHistoryLineText(historyPath_, i + 1, lines[i].text));
    // Separation holds against what listeners heard: the hours the as-played log covers count
    // their aired plays, not the planned ones.
    lines = HistoryFollowingAir(std::move(lines), *c_.historyFolder,
                                buildStart_ - rules_.LongestWindow(), settings_, facts_,
                                [this](const std::string& problem) { ReportToUser(c_, problem); });
    std::vector<PlayedSong> songs;
    for (const HistoryLine& line : lines)
        if (line.song) songs.push_back(*line.song);
    if (!c_.plannedStart) buildStart_ = ChainedStart(songs, buildStart_);
    // An hour built again replaces the plays it had; the rules look back from its start only.
    const int64_t replacedEnd =
        c_.plannedStart ? buildStart_ + CheckedAdd(target_, 30) : buildStart_;
    const int64_t keep = rules_.LongestWindow();
    std::erase_if(lines, [&](const HistoryLine& line) {
        if (!line.song) return false;
        const int64_t start = line.song->start;
        return buildStart_ - start > keep || (start >= buildStart_ && start < replacedEnd);
    });
    std::erase_if(songs, [&](const PlayedSong& song) {
        return buildStart_ - song.start > keep || song.start >= buildStart_;
    });
    std::stable_sort(songs.begin(), songs.end(),
                     [](const PlayedSong& a, const PlayedSong& b) { return a.start < b.start; });
    for (const PlayedSong& song : songs) history_.Add(FactsOf(song), song.start);
    s_.historyPath = historyPath_;
    s_.historyText = FormatHistoryLines(lines);
}

void PlaylistWalk::ChooseByRules(const std::string& slotFile, int32_t remaining) {
    chosenBreak_.reset();
    exemptSlot_ = IsExemptSlot(settings_, slotFile);
    if (exemptSlot_) return;
    LineList& working = s_.lbTempListBox1;
    const int64_t start = buildStart_ + exactTotal_;
    const auto top = FirstBreak(rules_, history_, facts_.Get(SongAt(0)), start);
    if (!top) return;
    view_.ShowStatus(RuleMessage(*top));
    RuleBreak smallest = *top;
    int32_t smallestAt = 0;
    for (int32_t n = remaining - 2; n >= 1; --n) {
        const SongFacts& facts = facts_.Get(SongAt(n));
        if (facts.seconds == 0) continue;  // never placed: no playing time
        const auto brk = FirstBreak(rules_, history_, facts, start);
        if (!brk) {
            std::swap(working[0], working[n]);
            return;
        }
        if (SmallerBreak(*brk, smallest)) {
            smallest = *brk;
            smallestAt = n;
        }
    }
    if (settings_.relax == Relax::LeastRecent && smallestAt != 0) {
        std::swap(working[0], working[smallestAt]);
    } else {
        smallest = *top;
    }
    chosenBreak_ = smallest;
}

std::string PlaylistWalk::RuleMessage(const RuleBreak& brk) const {
    if (brk.rule == Rule::Artist) return DupeMessage(brk.subject);
    if (brk.rule == Rule::Genre)
        return "GENRE REPEATED! " + brk.subject +
               " is from the same genre as the previous song. Finding another song.";
    return "RULE! " + DescribeBreak(brk) + ". Finding another song.";
}

std::optional<RuleBreak> PlaylistWalk::PlainCheckBreak(const std::string& artist,
                                                       const std::string& genre) const {
    if (s_.lbRepeatCheckList.empty()) return std::nullopt;
    const LineList& artists = s_.lbDupeArtistChecklist;
    if (s_.fDMCA.cbDupeCheck) {
        const auto found = std::find(artists.rbegin(), artists.rend(), artist);
        if (found != artists.rend()) {
            RuleBreak brk;
            brk.subject = artist;
            brk.window = windowLimit_;
            // The artists line up with the recent songs from the end; older entries are left
            // from an earlier build.
            const size_t back = static_cast<size_t>(found - artists.rbegin());
            if (back < recentSeconds_.size()) {
                brk.elapsed = 0;
                for (size_t k = 0; k <= back; ++k)
                    brk.elapsed += recentSeconds_[recentSeconds_.size() - 1 - k];
            }
            return brk;
        }
    }
    if (s_.fGenre.cbGenreCheck && genre == lastGenre_) {
        RuleBreak brk;
        brk.rule = Rule::Genre;
        brk.subject = genre;
        return brk;
    }
    return std::nullopt;
}

void PlaylistWalk::NameBreak(const RuleBreak& brk, int32_t songStart) {
    const std::string line = BreakLine(brk);
    // With every rule at its default the text log stays as it always was, byte for byte; the
    // break is named on the status line, in the closing status and in the list of breaks.
    if (byRules_) s_.mTextOutput.push_back(line);
    s_.lbRuleBreaks.push_back(
        PlacedBreakLine(static_cast<long long>(s_.lbFinalPlaylist.size()), songStart, brk));
    view_.ShowStatus(line);
    ++breaks_;
}

void PlaylistWalk::RememberPlayed(const std::string& path, int32_t songStart) {
    const SongFacts& facts = facts_.Get(path);
    const int64_t start = buildStart_ + songStart;
    history_.Add(facts, start);
    if (historyPath_.empty()) return;
    // Recorded with the playlist, when it is written.
    s_.historyText = WithPlayedSong(
        std::move(s_.historyText),
        PlayOf(start, facts.seconds, facts.artist, facts.title, facts.album, path));
}


int64_t PlaylistWalk::LengthMs(const std::string& path) {
    const auto known = lengthsMs_.find(path);
    if (known != lengthsMs_.end()) return known->second;
    Load(lengthReader_, path);
    const TMPEGFileInfo& info = lengthReader_.MPEGFileInfo;
    // A song without whole seconds is one the walk never places: nor does the fill.
    const int64_t ms = info.Duration <= 0 ? 0
                       : info.DurationMs > 0 ? info.DurationMs
                                             : int64_t{info.Duration} * 1000;
    lengthsMs_.emplace(path, ms);
    return ms;
}

int PlaylistWalk::FillKey(const std::string& key) {
    return fillKeys_.emplace(key, static_cast<int>(fillKeys_.size())).first->second;
}

size_t PlaylistWalk::PlaylistIndexOf(const std::string& slotFile, size_t fallback) const {
    // The last equal master playlist wins; none equal keeps the index of the slot before.
    for (size_t j = 0; j < names_.size(); ++j)
        if (names_[j] == slotFile) fallback = j;
    return fallback;
}

FillCandidate PlaylistWalk::CandidateFor(const std::string& path, bool exempt) {
    FillCandidate candidate;
    candidate.ms = LengthMs(path);
    candidate.keys.push_back(FillKey("f\n" + path));
    if (exempt) {
        candidate.counted = false;
        return candidate;
    }
    if (!byRules_) {
        Load(searchReader_, path);
        if (s_.fDMCA.cbDupeCheck)
            candidate.keys.push_back(FillKey("a\n" + searchReader_.GetArtist()));
        if (s_.fGenre.cbGenreCheck) candidate.genre = FillGenre(searchReader_.GetGenreText());
        return candidate;
    }
    // Within the last part of an hour every window of the rules is open: two songs that one
    // of them compares are never both chosen.
    const SongFacts& facts = facts_.Get(path);
    const ArtistMatching matching = rules_.matching;
    for (const std::string& key : ArtistKeys(facts.artist, matching)) {
        if (rules_.artistWindow > 0 || rules_.performanceComplement)
            candidate.keys.push_back(FillKey("a\n" + key));
        if (rules_.titleWindow > 0)
            candidate.keys.push_back(FillKey("t\n" + TitleKey(key, facts.title, matching)));
    }
    const std::string album = CompareForm(facts.album, matching);
    if (!album.empty() && (rules_.albumWindow > 0 || rules_.performanceComplement))
        candidate.keys.push_back(FillKey("l\n" + album));
    // The rules never compare a genre that is not known.
    if (rules_.genre && !facts.genre.empty()) candidate.genre = FillGenre(facts.genre);
    return candidate;
}

int PlaylistWalk::FillGenre(const std::string& genre) {
    return fillGenres_.emplace(genre, static_cast<int>(fillGenres_.size())).first->second;
}

FillSlot PlaylistWalk::FillCandidates(const std::string& slotFile, size_t playlist,
                                      int64_t startSeconds, size_t choices,
                                      std::vector<std::string>& files) {
    FillSlot slot;
    slot.category = static_cast<int>(playlist);
    const bool exempt = byRules_ && IsExemptSlot(settings_, slotFile);
    // Against what was placed before the fill; the genre is the search's own business.
    RuleSet before = rules_;
    before.genre = false;
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
        if (!exempt) {
            if (byRules_ && FirstBreak(before, history_, facts_.Get(*file), startSeconds)) continue;
            if (!byRules_ && s_.fDMCA.cbDupeCheck && !s_.lbRepeatCheckList.empty()) {
                Load(searchReader_, *file);
                if (ArtistInList(searchReader_.GetArtist(), s_.lbDupeArtistChecklist)) continue;
            }
        }
        files.push_back(*file);
        slot.candidates.push_back(CandidateFor(*file, exempt));
    }
    return slot;
}

template <typename Place>
void PlaylistWalk::PlaceTimed(int slot, const SlotTime& time, int64_t dueMs, Place place) {
    const int64_t startMs = totalMs_;
    timedNote_ = "  [slot " + std::to_string(slot + 1) + " " + SlotTimeText(time) + "]";
    place();
    timedNote_.clear();
    const StartWindow window = WindowOf(time, c_.timing.toleranceSeconds);
    const int64_t error = startMs - dueMs;
    if (error >= -window.earlyMs && error <= window.lateMs) return;
    const std::string miss =
        SlotMissText(static_cast<size_t>(slot), time, error, c_.timing.toleranceSeconds);
    ReportToUser(c_, miss);
    s_.lbRuleBreaks.push_back(miss);
}

FillChoice PlaylistWalk::FillAhead(int slot, size_t count, int64_t targetMs, int64_t toleranceMs,
                                   size_t minSlots, const std::vector<TimedAhead>& timed,
                                   bool placeEarly) {
    const int slots = static_cast<int>(s_.lbClockwheelTemplate.size());
    FillProblem problem;
    problem.targetMs = targetMs;
    problem.toleranceMs = toleranceMs;
    problem.overlapMs = overlapMs_;
    // Every timed slot among them is used, and so every slot before it.
    for (const TimedAhead& item : timed)
        if (item.distance < count) minSlots = std::max(minSlots, item.distance + 1);
    problem.minSlots = minSlots;
    // The song the genre rule compares the first choice with: the last one the rules counted,
    // or for the Genre Checker the last one placed.
    if (byRules_) {
        if (rules_.genre && history_.Size() > 0 && !history_.Entries().back().song.genre.empty())
            problem.lastGenre = FillGenre(history_.Entries().back().song.genre);
    } else if (s_.fGenre.cbGenreCheck && !s_.lbRepeatCheckList.empty()) {
        problem.lastGenre = FillGenre(lastGenre_);
    }
    std::vector<int> slotOf;
    std::vector<size_t> playlistOf;
    size_t playlist = current_;
    for (size_t k = 0; k < count; ++k) {
        slotOf.push_back(static_cast<int>((static_cast<size_t>(slot) + k) % slots));
        playlist = PlaylistIndexOf(s_.lbClockwheelTemplate[static_cast<size_t>(slotOf[k])], playlist);
        playlistOf.push_back(playlist);
    }
    // Slots of one category take its songs in rotation order: where a stretch must use many of
    // them, each still has its choices beyond the songs the ones before it took.
    const auto used = playlistOf.begin() + static_cast<long>(std::min(count, minSlots));
    size_t most = 1;
    for (auto k = playlistOf.begin(); k != used; ++k)
        most = std::max<size_t>(most, static_cast<size_t>(std::count(playlistOf.begin(), used, *k)));
    problem.maxChoices = kFillChoices + most - 1;
    std::vector<std::vector<std::string>> files(count);
    const int64_t start = buildStart_ + exactTotal_;
    for (size_t k = 0; k < count; ++k) {
        // A timed slot whose time is not in this fill (the next hour's news) is passed over,
        // as the walk passes it over: it airs at its time or not at all.
        const auto isTimedHere = [&](const TimedAhead& item) { return item.distance == k; };
        if (s_.slotTimes.At(static_cast<size_t>(slotOf[k])) &&
            std::none_of(timed.begin(), timed.end(), isTimedHere)) {
            problem.slots.emplace_back();
            continue;
        }
        problem.slots.push_back(
            FillCandidates(s_.lbClockwheelTemplate[static_cast<size_t>(slotOf[k])], playlistOf[k],
                           start, problem.maxChoices, files[k]));
    }
    std::vector<const TimedAhead*> timedAt(count, nullptr);
    for (const TimedAhead& item : timed) {
        if (item.distance >= count) continue;
        const StartWindow window = WindowOf(item.time, c_.timing.toleranceSeconds);
        problem.slots[item.distance].start = StartLimits{
            item.dueMs - window.earlyMs - totalMs_, item.dueMs + window.lateMs - totalMs_};
        timedAt[item.distance] = &item;
    }
    // A rotation that has no candidate that keeps the rules gives the walk's own choice.
    for (size_t k = 0; k < problem.slots.size(); ++k) {
        if (!problem.slots[k].candidates.empty()) continue;
        if (s_.slotTimes.At(static_cast<size_t>(slotOf[k])) && timedAt[k] == nullptr) continue;
        const std::string& slotFile = s_.lbClockwheelTemplate[static_cast<size_t>(slotOf[k])];
        PlaylistLayout layout;
        LineList working;
        LoadPlaylist(slotFile, layout, working);
        for (const std::string& entry : working) {
            const std::optional<std::string> file = ExistingSongFile(SongLineOf(entry), slotFile);
            if (!file || LengthMs(*file) <= overlapMs_) continue;
            FillCandidate candidate;
            candidate.ms = LengthMs(*file);
            candidate.keys.push_back(FillKey("f\n" + *file));
            problem.slots[k].candidates.push_back(candidate);
            problem.slots[k].category = -1;  // its one song is not a place in the rotation
            files[k].push_back(*file);
            break;
        }
    }
    const FillChoice choice = ChooseFill(problem);
    if (!placeEarly && choice.found && !choice.inWindow) return choice;
    for (size_t k = 0; k < choice.picks.size(); ++k) {
        if (choice.picks[k] == kPassedOver) continue;
        const std::string& file = files[k][choice.picks[k]];
        if (timedAt[k] == nullptr) {
            PlaceFillPick(slotOf[k], file);
        } else if (!StartsOnTime(timedAt[k]->time, totalMs_, timedAt[k]->dueMs,
                                 c_.timing.toleranceSeconds)) {
            // At its time or not at all, inside the end fill too.
            PassOverTimed(slotOf[k], timedAt[k]->time);
        } else {
            PlaceTimed(slotOf[k], timedAt[k]->time, timedAt[k]->dueMs,
                       [&] { PlaceFillPick(slotOf[k], file); });
        }
    }
    return choice;
}

std::string PlaylistWalk::FinishByFill(int slot, size_t count,
                                       const std::vector<TimedAhead>& timed) {
    FillAhead(slot, count, desiredMs_ - totalMs_, toleranceMs_, 0, timed);
    const int64_t error = totalMs_ - desiredMs_;
    if (error >= -toleranceMs_ && error <= toleranceMs_) return std::string();
    const std::string miss = FillMissText(error, c_.timing.toleranceSeconds);
    ReportToUser(c_, miss);
    s_.lbRuleBreaks.push_back(miss);
    return miss;
}

std::vector<PlaylistWalk::TimedAhead> PlaylistWalk::TimedSlotsAhead(int slot, size_t limit,
                                                                    int64_t ledTo) const {
    const size_t slots = s_.lbClockwheelTemplate.size();
    const bool endNear = desiredMs_ - totalMs_ <= kFillHorizonMs;
    std::vector<TimedAhead> ahead;
    int64_t from = totalMs_;
    for (size_t d = 0; d < limit; ++d) {
        const std::optional<SlotTime> time = s_.slotTimes.At((static_cast<size_t>(slot) + d) % slots);
        if (!time) continue;
        int64_t due = NextOccurrenceMs(*time, from);
        // Reached by the walk, not by a stretch that led to it: the occurrence nearest now,
        // unless its window has passed (the clock came round to the slot after its time): then
        // the next one, and the slot airs then or not at all, never late.
        if (d == 0 && ledTo >= 0) due = ledTo;
        if (d == 0 && ledTo < 0) {
            due = NearestOccurrenceMs(*time, totalMs_);
            if (due + WindowOf(*time, c_.timing.toleranceSeconds).lateMs < totalMs_)
                due = NextOccurrenceMs(*time, totalMs_);
        }
        // One due at the end belongs to the hour after: the build ends before it. A timed item
        // the walk is at is placed, on time or not, unless the end is near.
        if (due >= desiredMs_ - toleranceMs_ && (d > 0 || endNear)) return ahead;
        ahead.push_back(TimedAhead{d, *time, due});
        from = due + 1;  // a slot met again in the same pass is due in a later hour
    }
    return ahead;
}

void PlaylistWalk::PassOverTimed(int slot, const SlotTime& time) {
    if (passedOverSlots_.insert(slot).second)
        ReportToUser(c_, "Passed over slot " + std::to_string(slot + 1) + " (" + SlotTimeText(time) +
                             ") at " + PlayingTimeText(static_cast<int32_t>(totalMs_ / 1000)) +
                             " of the build: away from its time.");
}

std::pair<bool, std::string> PlaylistWalk::WalkTimed() {
    const int slots = static_cast<int>(s_.lbClockwheelTemplate.size());
    int slot = 0;
    int stepsWithoutTime = 0;    // slots walked since the last one that placed playing time
    int64_t due = -1;            // of the timed slot that the last stretch led to; -1: none
    for (;;) {
        const int64_t before = totalMs_;
        const bool endNear = desiredMs_ - totalMs_ <= kFillHorizonMs;
        const std::optional<SlotTime> here = s_.slotTimes.At(static_cast<size_t>(slot));
        size_t steps = 1;
        if (here && due < 0 && !StartsOnTime(*here, totalMs_, NearestOccurrenceMs(*here, totalMs_),
                                          c_.timing.toleranceSeconds)) {
            // The walk came round to a timed slot away from its time (the template is shorter
            // than the hour): it airs at its time or not at all. One due with the next hour is
            // left to the end of the build.
            const bool nextHour =
                NearestOccurrenceMs(*here, totalMs_) >= desiredMs_ - toleranceMs_;
            if (!(endNear && nextHour)) {
                PassOverTimed(slot, *here);
                slot = (slot + 1) % slots;
                if (++stepsWithoutTime >= slots) return {false, kBuildCannotProgress};
                continue;
            }
        }
        const std::vector<TimedAhead> ahead = TimedSlotsAhead(slot, kFillSlots, due);
        due = -1;
        // The end and the timed items of its last part are chosen together, so that an item
        // just before the hour (a legal ID) starts in its window and the hour still ends on it.
        if (endNear || (!ahead.empty() && ahead.front().dueMs >= desiredMs_ - kFillHorizonMs)) {
            const std::string miss = FinishByFill(slot, kFillSlots, ahead);
            return {totalMs_ >= desiredMs_ - toleranceMs_,
                    miss.empty() ? CompleteStatus() : CompleteStatus() + " " + miss + "."};
        }
        if (!ahead.empty() && ahead.front().distance == 0) {
            const TimedAhead& item = ahead.front();
            if (StartsOnTime(item.time, totalMs_, item.dueMs, c_.timing.toleranceSeconds)) {
                PlaceTimed(slot, item.time, item.dueMs, [&] { HandleSlot(slot); });
            } else {
                PassOverTimed(slot, item.time);  // a stretch that led to it missed: never late
            }
        } else if (!ahead.empty()) {
            // The stretch that leads to the timed item, chosen so that it starts on time.
            const TimedAhead& next = ahead.front();
            const StartWindow window = WindowOf(next.time, c_.timing.toleranceSeconds);
            const int64_t centre = next.dueMs + (window.lateMs - window.earlyMs) / 2;
            const FillChoice choice =
                FillAhead(slot, next.distance, centre - totalMs_,
                          (window.lateMs + window.earlyMs) / 2, next.distance, {}, false);
            if (choice.found && !choice.inWindow) {
                // Even its longest choices end early, or its shortest late: the walk goes on,
                // round the template again if it must; the time is met from nearer, or the
                // slot, come round away from it, is passed over. It never airs late.
                HandleSlot(slot);
            } else {
                // No choice keeps the rules in every slot of it: the walk's own choices.
                if (!choice.found)
                    for (size_t k = 0; k < next.distance; ++k)
                        HandleSlot(static_cast<int>((static_cast<size_t>(slot) + k) % slots));
                steps = next.distance;
                due = next.dueMs;
            }
        } else {
            HandleSlot(slot);
        }
        const int last = static_cast<int>((static_cast<size_t>(slot) + steps - 1) % slots);
        slot = static_cast<int>((static_cast<size_t>(slot) + steps) % slots);
        stepsWithoutTime = totalMs_ > before ? 0 : stepsWithoutTime + static_cast<int>(steps);
        if (stepsWithoutTime >= slots) return {false, kBuildCannotProgress};
        PumpMessages();
        if (StopRequested()) return {false, StoppedStatus(last)};
    }
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
    if (byRules_) {
        exemptSlot_ = IsExemptSlot(settings_, slotFile);
        chosenBreak_.reset();
        if (!exemptSlot_)
            chosenBreak_ = FirstBreak(rules_, history_, facts_.Get(path), buildStart_ + exactTotal_);
    }
    PlaceTopSong(slotFile);
}
}  // namespace

std::string GeneratedLine(const LocalDateTime& now) {
    return "Playlist generated " + std::to_string(now.month) + "/" + std::to_string(now.day) + "/" +
           std::to_string(now.year) + "  " + std::to_string(now.hour) + ":" +
           std::to_string(now.minute);
}

bool ArtistInList(const std::string& artist, const LineList& list) {
    return std::find(list.begin(), list.end(), artist) != list.end();
}

BuildOutcome BuildPlaylist(BuildContext& context) {
    PlaylistWalk walk(context);
    return walk.Run();
}

std::string ShortfallText(const BuildOutcome& outcome) {
    const int32_t missing = std::max(0, outcome.desiredSeconds - outcome.placedSeconds);
    return "The playlist is " + PlayingTimeText(missing) + " short of the desired " +
           PlayingTimeText(outcome.desiredSeconds) + ".";
}

}  // namespace kestrune
