#include "sessions/WeekRun.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "building/BuildCommand.h"
#include "building/PlaylistBuilder.h"
#include "building/BuildWrite.h"
#include "building/KeptRotations.h"
#include "building/PlaysToRecord.h"
#include "building/StationJob.h"
#include "output/FinalPlaylistFile.h"
#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "platform/TimeTexts.h"
#include "sessions/SessionFile.h"

namespace kestrune {

namespace {

std::string GridStem(const std::string& gridPath) {
    const std::string name = ExtractFileName(gridPath);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string HourText(int day, int hour) {
    return std::string(DayName(day)) + (hour < 10 ? " 0" : " ") + std::to_string(hour);
}

// "Hour: Mon 2026-12-07 06:00": which hour a block of a day's text log is.
std::string HourLogLine(const CalendarDate& date, int weekday, int hour) {
    return "Hour: " + std::string(DayName(weekday)) + " " + DateText(date) +
           (hour < 10 ? " 0" : " ") + std::to_string(hour) + ":00";
}

// Loads a session of the grid; an error names the grid's line and the session file.
void LoadGridSession(BuildContext& context, const WeekGrid& grid, const std::string& gridPath,
                     int weekday, int hour, const std::string& path) {
    try {
        LoadSession(path, context);
    } catch (const KestruneError& error) {
        throw KestruneError(gridPath + ", line " + std::to_string(grid.LineOf(weekday, hour)) +
                            " (" + HourText(weekday, hour) + "): " + path +
                            " cannot be read as a session: " + error.what());
    }
}

// Loads every session the days will use once, so that a session that cannot be read, a folder
// that is not there or a music library away stops the run before it writes anything.
void CheckOutputFolders(BuildContext& context, const WeekGrid& grid, const std::string& gridPath,
                        const CalendarDate& from, int days) {
    std::vector<std::string> categories;
    for (int d = 0; d < days && d < kDaysInWeek; ++d) {
        const CalendarDate date = AddDays(from, d);
        const int weekday = WeekdayOf(date);
        for (int hour = 0; hour < kHoursInDay; ++hour) {
            const std::string& session = grid.At(weekday, hour);
            if (session.empty()) continue;
            const std::string path = SessionPathInGrid(session, gridPath);
            if (!FileExists(path)) continue;
            LoadGridSession(context, grid, gridPath, weekday, hour, path);
            const std::string playlist = HourPlaylistPath(context.session.OutputFile(), date, hour);
            const std::string folder = ExtractFilePath(playlist);
            if (!folder.empty() && !DirectoryExists(folder))
                throw errors::CannotCreateFile(playlist);
            const SortedList& lists = context.session.lbMasterPlaylists;
            for (int j = 0; j < lists.Count(); ++j)
                if (FileExists(lists[j]) &&
                    std::find(categories.begin(), categories.end(), lists[j]) == categories.end())
                    categories.push_back(lists[j]);
        }
    }
    CheckMusicFolders(context, categories);
}

// The artists of the songs placed last, within the dupe window of the session being built:
// what the builder's recent-artist list holds when an hour starts. Its own list would only ever
// grow from build to build (its window starts again at every build), until every artist of
// the station were "recent" and each slot searched its whole playlist.
class RecentArtists {
public:
    void Add(const PlaylistEntries& songs) {
        for (const PlaylistEntry& song : songs) songs_.push_back(song);
    }
    // Oldest first, the newest `seconds` of playing time.
    LineList Within(int64_t seconds) const {
        size_t first = songs_.size();
        int64_t total = 0;
        while (first > 0 && total + songs_[first - 1].seconds <= seconds) {
            total += songs_[first - 1].seconds;
            --first;
        }
        LineList artists;
        for (size_t i = first; i < songs_.size(); ++i) artists.push_back(songs_[i].artist);
        return artists;
    }
    void Forget(int64_t keepSeconds) {
        const size_t keep = Within(keepSeconds).size();
        songs_.erase(songs_.begin(), songs_.end() - static_cast<long>(keep));
    }

private:
    PlaylistEntries songs_;
};

constexpr int64_t kLongestDupeWindow = int64_t{24} * 7 * 3600;

}  // namespace

WeekRunReport BuildWeekDays(BuildContext& context, const WeekGrid& grid,
                            const std::string& gridPath, const CalendarDate& from, int days) {
    const StationJob job(context, "week build of " + ExtractFileName(gridPath));
    CheckOutputFolders(context, grid, gridPath, from, days);
    BuildSession& s = context.session;
    WeekRunReport report;
    // The separation rules' play history, when the station keeps one, is read and added to by
    // every build itself, so it runs on from hour to hour; the dupe checker's recent artists are
    // carried here.
    RecentArtists recent;
    // Under the rotation the week keeps its categories across its hours and writes them, with
    // their rounds, once a day: a run stopped part-way goes on from the last day it finished.
    std::optional<KeptRotations> rotations;
    struct Lend {
        BuildContext& c;
        KeptRotations* before;
        ~Lend() { c.rotations = before; }
    };
    const Lend lend{context, context.rotations};
    if (context.rotation.order == RotationOrder::Rotate && context.rotations == nullptr)
        context.rotations = &rotations.emplace(RotationStatePath(context.historyFolder));
    for (int d = 0; d < days; ++d) {
        const CalendarDate date = AddDays(from, d);
        const int weekday = WeekdayOf(date);
        LineList dayLog;
        std::string dayLogPath;
        for (int hour = 0; hour < kHoursInDay; ++hour) {
            const std::string& session = grid.At(weekday, hour);
            if (session.empty()) continue;
            const std::string path = SessionPathInGrid(session, gridPath);
            if (!FileExists(path)) {
                report.missingSessions.push_back(HourText(weekday, hour) + ": " + path);
                continue;
            }
            context.view.ShowStatus("Building " + DateText(date) + " " + HourText(weekday, hour) +
                                    " from " + path);
            LoadGridSession(context, grid, gridPath, weekday, hour, path);
            const std::string playlist = HourPlaylistPath(s.OutputFile(), date, hour);
            std::string refusal = FailedBuildCheck(s);
            if (refusal.empty() && !CategoryAt(s, playlist).empty())
                refusal = OutputIsCategoryMessage(playlist);
            if (!refusal.empty()) {
                report.shortHours.push_back(
                    {HourText(weekday, hour), BuildOutcome{}, std::move(refusal), ""});
                continue;
            }
            s.mTextOutput.clear();
            s.lbDupeArtistChecklist =
                recent.Within(int64_t{StrToInt(s.fDMCA.ComboBox1)} * 3600);
            // The hour airs at its own time, whatever the clock says now; what it names for the
            // user starts with its day and hour.
            struct PlannedHour {
                BuildContext& c;
                PlannedHour(BuildContext& context, const CalendarDate& date, int hour,
                            const std::string& name)
                    : c(context) {
                    c.plannedStart = LocalDateTime{date.year, date.month, date.day, hour, 0, 0, 0};
                    c.problemPrefix = name + ": ";
                }
                ~PlannedHour() {
                    c.plannedStart.reset();
                    c.problemPrefix.clear();
                }
            };
            BuildOutcome outcome;
            {
                const PlannedHour planned(context, date, hour, HourText(weekday, hour));
                outcome = BuildPlaylist(context);
            }
            report.hourEnds.push_back(HourEnd{weekday, hour, outcome.endErrorMs, outcome.onTime});
            context.view.ListChanged(ShownList::FinalPlaylist);
            // An hour that placed nothing keeps what it had: an empty playlist never goes on air.
            if (s.lbFinalPlaylist.empty()) {
                report.shortHours.push_back({HourText(weekday, hour), outcome, "", playlist});
                continue;
            }
            if (!outcome.reachedLength)
                report.shortHours.push_back({HourText(weekday, hour), outcome, "", ""});
            const PlaylistEntries songs = SongEntries(s.lbFinalPlaylist, true, context.reader, &s.placedSongs);
            WriteBuild(s, playlist, songs, false);  // the hour and its plays as one step
            recent.Add(songs);
            recent.Forget(kLongestDupeWindow);
            report.playlists.push_back(playlist);
            if (dayLogPath.empty())
                dayLogPath = ExtractFilePath(playlist) + GridStem(gridPath) + "_" +
                             DateText(date) + ".txt";
            // A day log holds many builds, each with the same header: the hour follows it.
            LineList& log = s.mTextOutput;
            log.insert(log.begin() + static_cast<std::ptrdiff_t>(
                                         std::min(kBuildLogHeaderLines, log.size())),
                       HourLogLine(date, weekday, hour));
            dayLog.insert(dayLog.end(), log.begin(), log.end());
        }
        if (rotations) rotations->Save();
        if (dayLogPath.empty()) continue;
        SaveList(dayLogPath, dayLog);
        report.textLogs.push_back(dayLogPath);
    }
    return report;
}

std::string MissedHoursText(const std::vector<HourEnd>& ends) {
    std::string text;
    for (const HourEnd& end : ends) {
        if (end.onTime) continue;
        text += (text.empty() ? "Hours off the hour: " : ", ") + HourText(end.weekday, end.hour) +
                " (" + HourEndText(end.errorMs) + ")";
    }
    return text;
}

bool IsWeekGridFile(const std::string& path) {
    const std::string name = LowerCase(ExtractFileName(path));
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".kwg") == 0;
}

std::string HourEndText(int64_t errorMs) {
    const int64_t tenths = (std::llabs(errorMs) + 50) / 100;
    return std::string(errorMs < 0 && tenths > 0 ? "-" : "+") + std::to_string(tenths / 10) + "." +
           std::to_string(tenths % 10) + " s";
}

namespace {
// Whole seconds off the hour, rounded; far beyond any hour, held at what a playing time shows.
int32_t SecondsOff(int64_t errorMs) {
    const int64_t seconds = (std::llabs(errorMs) + 500) / 1000;
    return static_cast<int32_t>(std::min<int64_t>(seconds, INT32_MAX));
}
}  // namespace

std::string HourEndWords(int64_t errorMs) {
    const int32_t seconds = SecondsOff(errorMs);
    if (seconds == 0) return "on the hour";
    return PlayingTimeText(seconds) + (errorMs < 0 ? " early" : " late");
}

std::string HourEndClock(int64_t errorMs) {
    const int32_t seconds = SecondsOff(errorMs);
    return (seconds == 0 ? "" : errorMs < 0 ? "-" : "+") + PlayingTimeText(seconds);
}

WeekRunReport BuildNextDayOfGrid(BuildContext& context, const std::string& gridPath) {
    const LocalDateTime now = context.clock.Now();
    const CalendarDate tomorrow = AddDays({now.year, now.month, now.day}, 1);
    const WeekRunReport report =
        BuildWeekDays(context, LoadWeekGrid(gridPath), gridPath, tomorrow, 1);
    for (const std::string& missing : report.missingSessions)
        context.view.ShowStatus("Session not found, hour passed over: " + missing);
    return report;
}

}  // namespace kestrune
