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
#include "building/SongPaths.h"
#include "building/StopRequest.h"
#include "mpgtools/MPGTools.h"
#include "mpgtools/ReaderHooks.h"
#include "onair/AiredHistory.h"
#include "output/PlaylistWriter.h"
#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "rules/PlayHistoryFile.h"
#include "rules/RuleSettings.h"
#include "rules/SeparationRules.h"
#include "rules/ArtistNames.h"
#include "rules/SongFactsCache.h"
#include "timing/ClockFill.h"

namespace kestrune {

const char* const kBuildCannotProgress =
    "The playlist cannot be completed: a whole pass through the clock template placed no "
    "playing time (every top song is missing, empty or has no playing time).";

namespace {

const char* const kHourDivider = "-----------------------------------------------------";

// With the exact fill the walk hands over to the search when this much is left to fill: enough
// for a few songs and the breaks between them to choose from.
constexpr int64_t kFillHorizonMs = 15 * 60 * 1000;
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
std::string TwoDigits(int32_t value) {
    std::string text(value < 10 ? 1 : 0, '0');
    text += std::to_string(value);
    return text;
}

class PlaylistWalk {
public:
    explicit PlaylistWalk(BuildContext& context)
        : c_(context), s_(context.session), view_(context.view) {}

    BuildOutcome Run();

private:
    void LogHeader();
    void ShuffleMasterPlaylists();
    void ShuffleFile(const std::string& path);
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
    std::string FinishByFill(int slot);
    // Also answers each candidate's file, in the same order.
    FillSlot FillCandidates(const std::string& slotFile, size_t playlist, int64_t startSeconds,
                            std::vector<std::string>& files);
    FillCandidate CandidateFor(const std::string& path, bool exempt);
    int FillKey(const std::string& key);
    int FillGenre(const std::string& genre);
    size_t PlaylistIndexOf(const std::string& slotFile, size_t fallback) const;
    void PlaceFillPick(int slot, const std::string& path);
    int64_t LengthMs(const std::string& path);
    int64_t NetMs(int64_t lengthMs) const { return lengthMs - overlapMs_; }
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
    exact_ = c_.timing.fill == FillMode::Exact;
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
    while (exact_ || placed_ < target_) {
        int32_t placedThisPass = 0;
        for (int slot = 0; slot < static_cast<int>(s_.lbClockwheelTemplate.size()); ++slot) {
            if (exact_ && desiredMs_ - totalMs_ <= kFillHorizonMs) {
                const std::string miss = FinishByFill(slot);
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
        // Without this the walk would go round for ever.
        if (placedThisPass == 0) return end(false, kBuildCannotProgress);
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
        SavePlaylist(path, layout_, s_.lbTempListBox1);
        s_.lbTempListBox1.clear();
        view_.SetMeterPosition(Meter::ProgressBar1, j);
    }
}

void PlaylistWalk::ShuffleFile(const std::string& path) {
    LoadPlaylist(path, layout_, s_.lbTempListBox1);
    ShuffleList(s_.lbTempListBox1, c_.seeds, view_);
    SavePlaylist(path, layout_, s_.lbTempListBox1);
    s_.lbTempListBox1.clear();
}

int32_t PlaylistWalk::HandleSlot(int slot) {
    view_.SelectTemplateSlot(slot);
    const std::string slotFile = s_.lbClockwheelTemplate[slot];
    // The last equal master playlist wins; none equal keeps the index of the slot before.
    for (size_t j = 0; j < names_.size(); ++j)
        if (names_[j] == slotFile) current_ = j;
    if (remaining_[current_] < 0) {
        view_.ShowStatus("Reshuffling " + slotFile);
        ShuffleFile(slotFile);
        remaining_[current_] = initial_[current_];
    }
    view_.ShowStatus("Adding a song from " + slotFile);
    LoadPlaylist(slotFile, layout_, s_.lbTempListBox1);
    slotFile_ = slotFile;
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
    line += "  " + CleanText(artist) + " - \"" + CleanText(reader_.GetTitle()) + "\"";
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
    SavePlaylist(slotFile, layout_, working);
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
    // As HandleSlot: the last equal master playlist wins; none equal keeps the one before.
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
                                      int64_t startSeconds, std::vector<std::string>& files) {
    FillSlot slot;
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
    for (size_t n = 0; n < scan && slot.candidates.size() < kFillChoices; ++n) {
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

std::string PlaylistWalk::FinishByFill(int slot) {
    const int slots = static_cast<int>(s_.lbClockwheelTemplate.size());
    FillProblem problem;
    problem.targetMs = desiredMs_ - totalMs_;
    problem.toleranceMs = toleranceMs_;
    problem.overlapMs = overlapMs_;
    problem.maxChoices = kFillChoices;
    // The song the genre rule compares the first choice with: the last one the rules counted,
    // or for the Genre Checker the last one placed.
    if (byRules_) {
        if (rules_.genre && history_.Size() > 0 && !history_.Entries().back().song.genre.empty())
            problem.lastGenre = FillGenre(history_.Entries().back().song.genre);
    } else if (s_.fGenre.cbGenreCheck && !s_.lbRepeatCheckList.empty()) {
        problem.lastGenre = FillGenre(lastGenre_);
    }
    std::vector<int> slotOf;
    std::vector<std::vector<std::string>> files(kFillSlots);
    size_t playlist = current_;
    const int64_t start = buildStart_ + exactTotal_;
    for (size_t k = 0; k < kFillSlots; ++k) {
        const int at = static_cast<int>((static_cast<size_t>(slot) + k) % slots);
        const std::string& slotFile = s_.lbClockwheelTemplate[static_cast<size_t>(at)];
        playlist = PlaylistIndexOf(slotFile, playlist);
        problem.slots.push_back(FillCandidates(slotFile, playlist, start, files[k]));
        slotOf.push_back(at);
    }
    // A rotation that has no candidate that keeps the rules gives the walk's own choice.
    for (size_t k = 0; k < problem.slots.size(); ++k) {
        if (!problem.slots[k].candidates.empty()) continue;
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
            files[k].push_back(*file);
            break;
        }
    }
    const FillChoice choice = ChooseFill(problem);
    for (size_t k = 0; k < choice.picks.size(); ++k) {
        if (choice.picks[k] == kPassedOver) continue;
        PlaceFillPick(slotOf[k], files[k][choice.picks[k]]);
    }
    const int64_t error = totalMs_ - desiredMs_;
    if (error >= -toleranceMs_ && error <= toleranceMs_) return std::string();
    const std::string miss = FillMissText(error, c_.timing.toleranceSeconds);
    ReportToUser(c_, miss);
    s_.lbRuleBreaks.push_back(miss);
    return miss;
}

void PlaylistWalk::PlaceFillPick(int slot, const std::string& path) {
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

std::string HourClockText(int32_t seconds) {
    return std::to_string(seconds / 60) + ":" + TwoDigits(seconds % 60);
}

std::string PlayingTimeText(int32_t t) {
    return std::to_string(t / 3600) + ":" + TwoDigits((t % 3600) / 60) + ":" + TwoDigits(t % 60);
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
