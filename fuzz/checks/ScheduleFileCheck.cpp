// The schedule file on any bytes: its lines become the sorted schedule list at start-up, "Save
// Schedule" writes them back in that order, and a typed auto start time gives a delay within a
// day. Then the schedule runs in a station of its own, each line standing for one of a few
// session files (good ones and broken ones): whatever stops the run, every category playlist
// keeps exactly its lines and every playlist written is whole.

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

#include "FuzzChecks.h"
#include "Mp3Synth.h"
#include "Scratch.h"
#include "SparseSong.h"
#include "building/BuildContext.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "sessions/Scheduler.h"
#include "sessions/StationConfig.h"

namespace kestrune::fuzz {

namespace {

class FakeTimer : public AutoBuildTimer {
public:
    void Start(int64_t milliseconds) override {
        on = true;
        interval = milliseconds;
    }
    void Stop() override { on = false; }
    bool IsOn() const override { return on; }
    int64_t Interval() const override { return interval; }
    bool on = false;
    int64_t interval = 0;
};

class QuietPrompts : public Prompts {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    int AskOpenError(const std::string&) override { return kAnswerIgnore; }
    std::optional<std::string> AskSaveFileName(const SaveQuestion&) override { return {}; }
    std::vector<std::string> messages;
};

class FixedClock : public Clock {
public:
    LocalDateTime Now() const override { return now; }
    int64_t UtcMillisecondsOfDay() const override { return 0; }
    LocalDateTime now{2026, 12, 6, 18, 5, 0, 0};
};

// The station the schedule runs in: songs, two category playlists and the session files that
// the schedule's lines stand for.
struct RunStation {
    std::string folder;
    std::vector<std::string> playlists;
    std::map<std::string, LineList> playlistLines;  // as the playlists were made
    std::vector<std::string> sessions;
    std::vector<std::string> outputs;
};

std::string Join(const LineList& lines) {
    return FormatLines(lines);
}

const RunStation& Station() {
    static const RunStation station = [] {
        RunStation s;
        s.folder = FreshFolder("station");
        const std::string songs = s.folder + "/songs";
        const std::string out = s.folder + "/out";
        FreshFolder("station/songs");
        FreshFolder("station/out");
        LineList hits;
        LineList spots;
        for (int i = 0; i < 6; ++i) {
            synth::Id3v1Tag tag;
            tag.artist = "Artist " + std::to_string(i % 4);
            tag.title = "Song " + std::to_string(i);
            tag.genre = static_cast<uint8_t>(i % 3);
            const std::string path = songs + "/song" + std::to_string(i) + ".mp3";
            synth::WriteSparseSong(path, 60 + 15 * i, tag);
            hits.push_back(path);
            hits.push_back(path);  // repeats are lines like any other
        }
        for (int i = 0; i < 3; ++i) {
            synth::Id3v1Tag tag;
            tag.artist = "Station";
            tag.title = "Spot " + std::to_string(i);
            const std::string path = songs + "/spot" + std::to_string(i) + ".mp3";
            synth::WriteSparseSong(path, 20, tag);
            spots.push_back(path);
        }
        spots.push_back(songs + "/missing.mp3");  // a line without a file: skipped, kept
        const std::string hitList = s.folder + "/hits.m3u";
        const std::string spotList = s.folder + "/spots.m3u";
        s.playlists = {hitList, spotList};
        s.playlistLines[hitList] = hits;
        s.playlistLines[spotList] = spots;

        const auto session = [&](const std::string& name, const LineList& lines) {
            const std::string path = s.folder + "/" + name;
            PutFile(path, Join(lines));
            s.sessions.push_back(path);
        };
        session("checked.cwt", {hitList, spotList, "#", hitList, spotList, hitList, "##", "6",
                                "###", out + "/checked.m3u", "####", "111", "1"});
        s.outputs.push_back(out + "/checked.m3u");
        session("plain.cwt",
                {hitList, "#", hitList, "##", "4", "###", out + "/plain.m3u", "####", "000"});
        s.outputs.push_back(out + "/plain.m3u");
        session("genre.cwt", {spotList, hitList, "#", spotList, hitList, "##", "3", "###",
                              out + "/genre.m3u", "####", "010"});
        s.outputs.push_back(out + "/genre.m3u");
        session("no-end.cwt", {hitList, "#", hitList});
        session("no-folder.cwt",
                {hitList, "#", hitList, "##", "2", "###", s.folder + "/gone/x.m3u", "####", "000"});
        session("no-playlist.cwt", {s.folder + "/none.m3u", "#", s.folder + "/none.m3u", "##", "2",
                                    "###", out + "/none.m3u", "####", "000"});
        session("bad-length.cwt",
                {hitList, "#", hitList, "##", "six", "###", out + "/six.m3u", "####", "000"});
        s.sessions.push_back(s.folder + "/absent.cwt");
        return s;
    }();
    return station;
}

LineList Sorted(LineList lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string CheckRun(const LineList& scheduleLines) {
    const RunStation& station = Station();
    for (const auto& [path, lines] : station.playlistLines) PutFile(path, Join(lines));
    for (const std::string& output : station.outputs) RemoveFile(output);

    BuildSession session;
    HeadlessView view;
    QuietPrompts prompts;
    CountingSeeds seeds(7);
    FixedClock clock;
    BuildContext context{session, view, prompts, seeds, clock};
    FakeTimer timer;
    Scheduler scheduler(timer);
    // Each line stands for a session by its text, so that the fuzzer's changes to a line
    // change what runs; a handful of entries keeps a run short.
    std::vector<std::string> chosen;
    for (size_t i = 0; i < scheduleLines.size() && i < 6; ++i) {
        uint32_t hash = 2166136261u;
        for (const char c : scheduleLines[i]) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
        chosen.push_back(station.sessions[hash % station.sessions.size()]);
    }
    scheduler.AddSessions(chosen);
    bool failed = false;
    try {
        scheduler.timerAutoBuildTimer(context, nullptr);
    } catch (const KestruneError&) {
        failed = true;
    }
    if (failed == timer.on) return Finding("the timer after a run does not tell how it ended");
    if (!failed && timer.interval != kOneDay) return Finding("a finished run is not re-armed");

    for (const auto& [path, lines] : station.playlistLines) {
        LineList now;
        LoadList(path, now);
        if (Sorted(now) != Sorted(lines)) return Finding("a category playlist lost lines", path);
    }
    for (const std::string& output : station.outputs) {
        if (!FileExists(output)) continue;
        const std::string bytes = ReadWholeFile(output);
        if (bytes.empty() || bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0)
            return Finding("a written playlist is empty or cut", output);
    }
    return {};
}

}  // namespace

std::string CheckScheduleFile(std::string_view bytes) {
    // Start-up reads the schedule file of the start folder into the sorted list.
    const std::string start = FreshFolder("start");
    PutFile(JoinPath(start, kScheduleFile), bytes);
    BuildSession session;
    SortedList schedule;
    try {
        StartUp(ScratchPath("absent.ini"), start, session, schedule);
    } catch (const KestruneError& error) {
        return Finding("a readable schedule file failed to load", error.what());
    }
    const LineList lines = ParseLines(bytes);
    if (Sorted(schedule.Lines()) != Sorted(lines)) return Finding("schedule lines lost or added");
    for (int i = 1; i < schedule.Count(); ++i) {
        if (CompareTextNoCase(schedule[i - 1], schedule[i]) > 0)
            return Finding("the schedule list is out of order");
    }

    // "Save Schedule" writes the list as it stands, in its order.
    FakeTimer timer;
    Scheduler scheduler(timer);
    scheduler.scheduleFolder = start;
    scheduler.AddSessions(lines);
    if (scheduler.lbSchedule.Lines() != schedule.Lines())
        return Finding("adding gives another order than loading");
    QuietPrompts prompts;
    try {
        scheduler.Button7Click(prompts);
    } catch (const KestruneError& error) {
        return Finding("the schedule file could not be saved", error.what());
    }
    if (ReadWholeFile(scheduler.ScheduleFilePath()) != FormatLines(schedule.Lines()))
        return Finding("saved schedule bytes");

    // A line taken as a typed auto start time.
    for (size_t i = 0; i < lines.size() && i < 4; ++i) {
        const int hour = TargetHour(lines[i]);
        if (hour < 1 || hour > 24) return Finding("target hour", lines[i]);
        for (const LocalDateTime now :
             {LocalDateTime{2026, 1, 1, 0, 0, 0, 0}, LocalDateTime{2026, 1, 1, 23, 59, 59, 999},
              LocalDateTime{2026, 1, 1, hour % 24, 0, 0, 0}}) {
            const int64_t delay = DelayUntilHour(lines[i], now);
            if (delay < 0 || delay > kOneDay) return Finding("delay out of a day", lines[i]);
            const int64_t at = ((now.hour * 60 + now.minute) * 60 + now.second) * 1000LL + delay;
            if (at % 3600000 != 0 || (at / 3600000) % 24 != hour % 24)
                return Finding("the delay does not end at the hour", lines[i]);
        }
    }
    return CheckRun(lines);
}

}  // namespace kestrune::fuzz
