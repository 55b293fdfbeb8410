// A 24-hour build (1440 minutes) from seven categories of 5,000 songs each, with the dupe and
// the genre checks on, as the build command runs it (checks, repair, build) without a window;
// beside it the floor: the same whole-file reads, replacements, existence tests and MP3 block
// reads replayed with the fewest system calls. The two take turns, round after round. The same
// build with every separation rule on (and the play history written as songs are placed), beside
// its own floor; the check of the day it built. Then the build over seven categories of 1,000 to
// 50,000 songs in all (growth). Last, a week: 168 one-hour builds from a week grid,
// written as extended M3U, beside its floor.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "BenchSupport.h"
#include "Rounds.h"
#include "building/BuildCommand.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "rules/PlayHistoryFile.h"
#include "rules/PlaylistCheck.h"
#include "sessions/StationConfig.h"
#include "sessions/SessionFile.h"
#include "sessions/WeekRun.h"

namespace {

using namespace kestrune;
using namespace kestrune::bench;

constexpr int kRowSongsPerCategory = 5000;
constexpr int kLargestPerCategory = 7143;  // 50,000 songs in all

ScratchFolder& TheFolder() {
    static ScratchFolder folder("build");
    return folder;
}

const Station& TheStation() {
    static const Station station(TheFolder().Path(), kLargestPerCategory);
    return station;
}

// The build command over the first `songsPerCategory` of every category, from fresh playlists.
class DayBuild {
public:
    explicit DayBuild(int songsPerCategory) : songs_(songsPerCategory) {}
    // Every rule on, read from a configuration file; the spot categories exempt.
    void EveryRule(const std::string& folder) {
        folders_.sessions = folder;
        iniPath_ = folder + "/kestrune.ini";
        // Categories 3 to 6 hold the spots.
        const std::vector<std::string> lists = TheStation().Playlists(songs_);
        std::vector<std::string> spots(lists.begin() + 3, lists.end());
        for (std::string& list : spots) list = ExtractFileName(list);
        const std::string exempt = JoinExemptList(spots);
        SaveList(iniPath_, {"[Rules]", "title_hours=12", "album_hours=3", "artist_matching=loose",
                            "exempt=" + exempt, "performance_complement=1", "history=1",
                            "relax=least_recent"});
    }
    void Prepare() {
        TheStation().Prepare(songs_, session_);
        if (!iniPath_.empty()) std::remove(PlayHistoryPath(folders_.sessions).c_str());
    }
    void Run() {
        CountingSeeds seeds(7);
        BuildContext context{session_, view_, prompts_, seeds, clock_, iniPath_,
                             &folders_.sessions};
        context.rules = ReadRuleSettings(iniPath_);
        btBuildPlaylistClick(context);
        placed_ = session_.lbFinalPlaylist.size();
        complete_ = view_.Status().rfind("Playlist is complete", 0) == 0;
    }
    // Of the last build.
    bool Complete() const { return complete_; }
    size_t Placed() const { return placed_; }
    const BuildSession& Session() const { return session_; }

private:
    int songs_;
    size_t placed_ = 0;
    bool complete_ = false;
    BuildSession session_;
    HeadlessView view_;
    QuietPrompts prompts_;
    FixedClock clock_;
    std::string iniPath_;
    StationFolders folders_;
};

// The build and its I/O floor in turn, each round from a freshly prepared station; answers the
// floor, whose counts the row shows.
IoFloor RunAgainstFloor(benchmark::State& state, DayBuild& build) {
    build.Prepare();
    IoFloor floor(Record([&] { build.Run(); }));
    RunRounds(state, {{"Kestrune", [&] { build.Run(); }, [&] { build.Prepare(); }},
                      {"floor", [&] { floor.Replay(); }, [&] { build.Prepare(); }}});
    if (!build.Complete()) state.SkipWithError("the build did not complete");
    state.counters["files"] = 7.0 * kRowSongsPerCategory;
    state.counters["songs placed"] = static_cast<double>(build.Placed());
    state.counters["replacements"] = static_cast<double>(floor.Count(FileOp::ReplaceWhole));
    state.counters["MP3 opens"] = static_cast<double>(floor.Count(FileOp::Open));
    return floor;
}

void BM_DayBuild(benchmark::State& state) {
    DayBuild build(kRowSongsPerCategory);
    const IoFloor floor = RunAgainstFloor(state, build);
    state.counters["whole reads"] = static_cast<double>(floor.Count(FileOp::ReadWhole));
    state.counters["read MB"] = static_cast<double>(floor.Bytes(FileOp::ReadWhole)) / 1e6;
    state.counters["written MB"] = static_cast<double>(floor.Bytes(FileOp::ReplaceWhole)) / 1e6;
    state.counters["existence tests"] = static_cast<double>(floor.Count(FileOp::Status));
}
BENCHMARK(BM_DayBuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

void BM_DayBuildRules(benchmark::State& state) {
    static ScratchFolder folder("rules");
    DayBuild build(kRowSongsPerCategory);
    build.EveryRule(folder.Path());
    RunAgainstFloor(state, build);
    state.counters["rules broken"] = static_cast<double>(build.Session().lbRuleBreaks.size());
}
BENCHMARK(BM_DayBuildRules)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

// `check` over the day the rules built: every song read, every rule checked.
void BM_CheckDay(benchmark::State& state) {
    DayBuild build(kRowSongsPerCategory);
    build.Prepare();
    build.Run();
    const std::vector<std::string> songs = build.Session().lbFinalPlaylist;
    RuleSet rules;
    rules.artistWindow = rules.albumWindow = 3 * 3600;
    rules.titleWindow = 12 * 3600;
    rules.performanceComplement = true;
    rules.matching = ArtistMatching::Loose;
    size_t breaks = 0;
    RunRounds(state, {{"Kestrune", [&] {
                           SongFactsCache facts{ReaderSetup{}};
                           breaks = CheckPlaylist(songs, rules, facts).breaks.size();
                       }}});
    state.counters["songs"] = static_cast<double>(songs.size());
    state.counters["rules broken"] = static_cast<double>(breaks);
}
BENCHMARK(BM_CheckDay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

// Argument: songs in all, in seven categories.
void BM_DayBuildGrowth(benchmark::State& state) {
    DayBuild build(static_cast<int>((state.range(0) + 6) / 7));
    RunRounds(state, {{"Kestrune", [&] { build.Run(); }, [&] { build.Prepare(); }}});
    if (!build.Complete()) state.SkipWithError("the build did not complete");
    state.counters["files"] = static_cast<double>(state.range(0));
    state.counters["songs placed"] = static_cast<double>(build.Placed());
}
BENCHMARK(BM_DayBuildGrowth)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// A week from a grid that names one one-hour session for all 168 hours, as `kestrune-cli week`
// runs it: each hour loads the session, builds and writes its .m3u8 (songs read for #EXTINF).
class WeekBuild {
public:
    WeekBuild() {
        const std::string folder = TheFolder().Path() + "/week";
        std::filesystem::create_directories(folder);
        gridPath_ = folder + "/week.kwg";
        for (std::string& cell : grid_.cells) cell = "hour.cwt";
    }
    void Prepare() {
        BuildSession session;
        TheStation().Prepare(kRowSongsPerCategory, session);
        session.ComboBox1 = "60";
        session.SetOutputFile(ExtractFilePath(gridPath_) + "onair.m3u8");
        SaveList(ExtractFilePath(gridPath_) + "hour.cwt", SessionLines(session));
        session_ = BuildSession();
    }
    void Run() {
        CountingSeeds seeds(7);
        BuildContext context{session_, view_, prompts_, seeds, clock_};
        const WeekRunReport report = BuildWeekDays(context, grid_, gridPath_, {2026, 12, 7}, 7);
        playlists_ = report.playlists.size();
    }
    size_t Playlists() const { return playlists_; }

private:
    WeekGrid grid_;
    std::string gridPath_;
    size_t playlists_ = 0;
    BuildSession session_;
    HeadlessView view_;
    QuietPrompts prompts_;
    FixedClock clock_;
};

void BM_WeekBuild(benchmark::State& state) {
    WeekBuild week;
    week.Prepare();
    const IoFloor floor(Record([&] { week.Run(); }));
    RunRounds(state, {{"Kestrune", [&] { week.Run(); }, [&] { week.Prepare(); }},
                      {"floor", [&] { floor.Replay(); }, [&] { week.Prepare(); }}});
    if (week.Playlists() != 168) state.SkipWithError("the week is not 168 playlists");
    state.counters["files"] = 7.0 * kRowSongsPerCategory;
    state.counters["playlists"] = static_cast<double>(week.Playlists());
    state.counters["whole reads"] = static_cast<double>(floor.Count(FileOp::ReadWhole));
    state.counters["replacements"] = static_cast<double>(floor.Count(FileOp::ReplaceWhole));
    state.counters["read MB"] = static_cast<double>(floor.Bytes(FileOp::ReadWhole)) / 1e6;
    state.counters["written MB"] = static_cast<double>(floor.Bytes(FileOp::ReplaceWhole)) / 1e6;
    state.counters["MP3 opens"] = static_cast<double>(floor.Count(FileOp::Open));
}
BENCHMARK(BM_WeekBuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
