// The fill to the clock over a week, on a generated station as a real one is: 1,500 songs by
// 300 artists in three music categories (lengths to the millisecond, 2:30 to 5:30), jingles and
// spots, four one-hour sessions with clocks of their own, every separation rule on (the dupe
// and genre checks, title, album, loose artist matching, the performance complement, the play
// history, the spots and jingles exempt), a grid of all 168 hours. The week is built with
// fill=exact and with fill=walk, in turns; the counters say how many hours end within 2 s of the
// hour and how far the others miss. A third turn builds the week with timed clocks (a jingle
// at :00, spots around :20, a jingle before :59:50): how many timed items start in their
// window.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "BenchSupport.h"
#include "Mp3Synth.h"
#include "Rounds.h"
#include "SparseSong.h"
#include "platform/FileTrace.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "rules/PlayHistoryFile.h"
#include "rules/RotationSettings.h"
#include "sessions/SessionFile.h"
#include "sessions/SlotTimesFile.h"
#include "sessions/WeekRun.h"

namespace {

using namespace kestrune;
using namespace kestrune::bench;
namespace fs = std::filesystem;

constexpr int kMusicCategories = 3;
constexpr int kSongsPerMusicCategory = 500;
constexpr int kArtists = 300;
constexpr int kJingles = 40;
constexpr int kSpots = 120;

// What the station holds: its music categories (songs in each) and its rules.
struct StationShape {
    std::vector<int> music = std::vector<int>(kMusicCategories, kSongsPerMusicCategory);
    int artists = kArtists;
    int jingles = kJingles;
    int spots = kSpots;
    // Artists dealt in turn across the categories, as a music director spreads them (no artist
    // with two currents), instead of drawn at random.
    bool dealtArtists = false;
    std::vector<std::string> rules = {"[Rules]", "title_hours=6", "album_hours=2",
                                      "artist_matching=loose", "exempt=jingles.m3u;spots.m3u",
                                      "performance_complement=1", "history=1",
                                      "relax=least_recent"};
};

// A sparse song (as SparseSong.h makes them) of `ms` milliseconds of audio: 4 bytes a
// millisecond at 32 kbit/s.
void WriteSongMs(const std::string& path, int64_t ms, const synth::Id3v1Tag& tag) {
    const std::string frame = synth::SilentFrame(synth::SparseSongFrame());
    const int64_t audio = std::max<int64_t>(ms * 4, 2 * static_cast<int64_t>(frame.size()));
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << frame << frame;
    }
    fs::resize_file(path, static_cast<std::uintmax_t>(audio));
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << synth::Id3v1Bytes(tag);
    if (!out) throw std::runtime_error("cannot write " + path);
}

class WeekStation {
public:
    explicit WeekStation(const std::string& folder, StationShape shape = {})
        : folder_(folder), musicCategories_(static_cast<int>(shape.music.size())) {
        uint32_t random = 2026;
        auto next = [&random] {
            random = random * 1103515245u + 12345u;
            return (random >> 8) & 0xFFFFFF;
        };
        uint32_t dealt = 0;
        auto category = [&](const std::string& name, int count, int64_t shortest,
                            int64_t longest, bool music) {
            const std::string dir = folder + "/Music/" + name;
            fs::create_directories(dir);
            LineList lines;
            for (int i = 0; i < count; ++i) {
                synth::Id3v1Tag tag;
                tag.title = name + " " + std::to_string(i);
                if (music) {
                    const uint32_t drawn = next() % static_cast<uint32_t>(shape.artists);
                    const uint32_t artist =
                        shape.dealtArtists ? dealt++ % static_cast<uint32_t>(shape.artists) : drawn;
                    tag.artist = "Artist " + std::to_string(artist);
                    tag.album = "Album " + std::to_string(artist) + "-" + std::to_string(next() % 3);
                    tag.genre = static_cast<uint8_t>(next() % 8);
                } else {
                    tag.artist = "Station";
                    tag.genre = 12;
                }
                const int64_t ms = shortest + static_cast<int64_t>(next() % (longest - shortest));
                const std::string path = dir + "/" + std::to_string(i) + ".mp3";
                WriteSongMs(path, ms, tag);
                lines.push_back(path);
            }
            lists_.push_back(folder + "/" + name + ".m3u");
            contents_.push_back(lines);
        };
        for (size_t c = 0; c < shape.music.size(); ++c)
            category("music" + std::to_string(c), shape.music[c], 150000, 330000, true);
        category("jingles", shape.jingles, 4000, 15000, false);
        category("spots", shape.spots, 15000, 60000, false);
        jingles_ = static_cast<int>(lists_.size()) - 2;
        iniPath_ = folder + "/kestrune.ini";
        SaveList(iniPath_, LineList(shape.rules.begin(), shape.rules.end()));
        gridPath_ = folder + "/week.kwg";
        const char* const sessions[] = {"morning.cwt", "day.cwt", "evening.cwt", "night.cwt"};
        for (int day = 0; day < kDaysInWeek; ++day)
            for (int hour = 0; hour < kHoursInDay; ++hour)
                grid_.cells[static_cast<size_t>(day * kHoursInDay + hour)] =
                    sessions[(hour / 6) % 4];
    }

    // Fresh category playlists and sessions, no play history. Timed: every clock an hour long,
    // a jingle at :00 (hard), spots at :20 (soft, 30 s), a jingle before :59:50 (30 s). With
    // `slots`, clocks of that many slots (one pass from about 40 to 100 minutes) with those
    // three timed slots first, a third of the way and last.
    void Prepare(bool timed = false, int slots = 0) const {
        for (size_t c = 0; c < lists_.size(); ++c) SaveList(lists_[c], contents_[c]);
        std::remove(PlayHistoryPath(folder_).c_str());
        std::remove(RotationStatePath(folder_).c_str());
        // Four clocks: music 0..2, J jingle, S spots.
        const std::vector<std::vector<int>> clocks = {
            {3, 0, 1, 4, 2, 0, 3, 1, 2, 4, 0, 1, 3, 2, 0, 1},
            {3, 0, 1, 2, 4, 0, 1, 2, 3, 0, 2, 1, 4, 0, 1, 2},
            {3, 1, 0, 2, 3, 1, 0, 4, 2, 1, 0, 3, 2, 1},
            {0, 1, 2, 3, 0, 1, 2, 4, 0, 1, 2, 3}};
        const char* const names[] = {"morning.cwt", "day.cwt", "evening.cwt", "night.cwt"};
        const std::vector<std::vector<int>> timedClocks = {
            {3, 0, 1, 2, 0, 1, 4, 2, 0, 1, 2, 0, 1, 2, 0, 1, 3},
            {3, 1, 2, 0, 1, 2, 4, 0, 1, 2, 0, 1, 2, 0, 1, 2, 3},
            {3, 2, 0, 1, 2, 0, 4, 1, 2, 0, 1, 2, 0, 1, 2, 0, 3},
            {3, 0, 2, 1, 0, 2, 4, 1, 0, 2, 1, 0, 2, 1, 0, 2, 3}};
        for (size_t s = 0; s < clocks.size(); ++s) {
            BuildSession session;
            for (const std::string& list : lists_) session.lbMasterPlaylists.Add(list);
            const std::vector<int> clock = slots > 0 ? ClockOf(slots, static_cast<int>(s))
                                           : timed   ? timedClocks[s]
                                                     : clocks[s];
            for (int slot : clock)
                session.lbClockwheelTemplate.push_back(lists_[static_cast<size_t>(slot)]);
            session.ComboBox1 = "60";
            session.fDMCA.cbDupeCheck = true;
            session.fDMCA.ComboBox1 = "2";
            session.fGenre.cbGenreCheck = true;
            session.SetOutputFile(folder_ + "/out/" + std::string(names[s]) + ".m3u");
            SaveList(folder_ + "/" + names[s], SessionLines(session));
            SlotTimes times;
            const size_t last = clock.size() - 1;
            if (timed) {
                times.Set(0, SlotTime{0, SlotTimeKind::Hard, 30});
                times.Set(slots > 0 ? last / 3 : 6, SlotTime{20 * 60, SlotTimeKind::Soft, 30});
                times.Set(last, SlotTime{59 * 60 + 50, SlotTimeKind::Before, 30});
            }
            SaveSlotTimes(folder_ + "/" + names[s], session.lbClockwheelTemplate, times);
        }
        fs::create_directories(folder_ + "/out");
    }

    // `breaks`: where to count the rules the week broke.
    WeekRunReport Build(FillMode fill, size_t* breaks = nullptr,
                        RotationSettings rotation = {}, LineList* breakLines = nullptr) const {
        BuildSession session;
        HeadlessView view;
        QuietPrompts prompts;
        FixedClock clock;
        CountingSeeds seeds(7);
        BuildContext context{session, view, prompts, seeds, clock, iniPath_, &folder_};
        context.rules = ReadRuleSettings(iniPath_);
        context.timing.fill = fill;
        context.rotation = rotation;
        WeekRunReport report = BuildWeekDays(context, grid_, gridPath_, {2026, 12, 7}, 7);
        if (breaks != nullptr) *breaks = session.lbRuleBreaks.size();
        if (breakLines != nullptr) *breakLines = session.lbRuleBreaks;
        return report;
    }

private:
    // A jingle first and last, spots a third of the way and every seventh slot, the music
    // categories in turn between them.
    std::vector<int> ClockOf(int slots, int variant) const {
        std::vector<int> clock;
        int music = variant;
        for (int k = 0; k < slots; ++k) {
            if (k == 0 || k == slots - 1) clock.push_back(jingles_);
            else if (k == (slots - 1) / 3 || k % 7 == 0) clock.push_back(jingles_ + 1);
            else clock.push_back(music++ % musicCategories_);
        }
        return clock;
    }

    std::string folder_;
    int musicCategories_ = kMusicCategories;
    int jingles_ = kMusicCategories;  // the jingles' list; the spots' follows it
    std::string iniPath_;
    std::string gridPath_;
    WeekGrid grid_;
    std::vector<std::string> lists_;
    std::vector<LineList> contents_;
};

// Timed items of the week's text logs, and those named as starting outside their window.
std::pair<double, double> TimedItems(const WeekRunReport& report) {
    double items = 0, missed = 0;
    for (const std::string& log : report.textLogs) {
        LineList lines;
        LoadList(log, lines);
        for (const std::string& line : lines) {
            items += line.find("  [slot ") != std::string::npos ? 1 : 0;
            missed += line.rfind("Slot ", 0) == 0 && line.find(" starts ") != std::string::npos;
        }
    }
    return {items, missed};
}

void BM_WeekFilledToTheClock(benchmark::State& state) {
    ScratchFolder folder("clockfill");
    const WeekStation station(folder.Path());
    WeekRunReport exact;
    WeekRunReport walk;
    WeekRunReport timed;
    const std::vector<double> medians =
        RunRounds(state, {{"exact", [&] { exact = station.Build(FillMode::Exact); },
                           [&] { station.Prepare(); }},
                          {"walk", [&] { walk = station.Build(FillMode::Walk); },
                           [&] { station.Prepare(); }},
                          {"timed", [&] { timed = station.Build(FillMode::Exact); },
                           [&] { station.Prepare(true); }}});
    if (exact.hourEnds.size() != 168) state.SkipWithError("the week is not 168 hours");
    auto within = [](const WeekRunReport& report, int64_t ms) {
        double count = 0;
        for (const HourEnd& end : report.hourEnds) count += std::llabs(end.errorMs) <= ms ? 1 : 0;
        return count;
    };
    int64_t worst = 0;
    double missed = 0;
    for (const HourEnd& end : exact.hourEnds) {
        worst = std::max<int64_t>(worst, std::llabs(end.errorMs));
        missed += end.onTime ? 0 : 1;
    }
    int64_t walkWorst = 0;
    double walkSum = 0;
    for (const HourEnd& end : walk.hourEnds) {
        walkWorst = std::max<int64_t>(walkWorst, std::llabs(end.errorMs));
        walkSum += static_cast<double>(std::llabs(end.errorMs));
    }
    state.counters["songs"] = kMusicCategories * kSongsPerMusicCategory + kJingles + kSpots;
    state.counters["hours"] = static_cast<double>(exact.hourEnds.size());
    state.counters["exact within 2 s"] = within(exact, 2000);
    state.counters["exact missed"] = missed;
    state.counters["exact worst s"] = static_cast<double>(worst) / 1000;
    state.counters["walk within 2 s"] = within(walk, 2000);
    state.counters["walk within 10 s"] = within(walk, 10000);
    state.counters["walk mean error s"] =
        walk.hourEnds.empty() ? 0 : walkSum / 1000 / static_cast<double>(walk.hourEnds.size());
    state.counters["walk worst s"] = static_cast<double>(walkWorst) / 1000;
    state.counters["exact / walk"] = medians.size() == 3 && medians[1] > 0 ? medians[0] / medians[1] : 0;
    const auto [items, late] = TimedItems(timed);
    state.counters["timed items"] = items;
    state.counters["timed items missed"] = late;
    state.counters["timed within 2 s"] = within(timed, 2000);
    state.counters["timed / walk"] = medians.size() == 3 && medians[1] > 0 ? medians[2] / medians[1] : 0;
}
BENCHMARK(BM_WeekFilledToTheClock)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Clocks as stations make them, shorter and longer than the hour: a week of clocks of
// state.range(0) slots, with the three timed slots and without any.
void BM_WeekOfAnyClockLength(benchmark::State& state) {
    const int slots = static_cast<int>(state.range(0));
    ScratchFolder folder("anyclock");
    const WeekStation station(folder.Path());
    WeekRunReport timed;
    WeekRunReport untimed;
    std::pair<double, double> timedItems;
    // The text logs are read before the untimed week writes over them.
    RunRounds(state, {{"timed",
                           [&] {
                               timed = station.Build(FillMode::Exact);
                               timedItems = TimedItems(timed);
                           },
                           [&] { station.Prepare(true, slots); }},
                          {"untimed", [&] { untimed = station.Build(FillMode::Exact); },
                           [&] { station.Prepare(false, slots); }}});
    auto within = [](const WeekRunReport& report, int64_t ms) {
        double count = 0;
        for (const HourEnd& end : report.hourEnds) count += std::llabs(end.errorMs) <= ms ? 1 : 0;
        return count;
    };
    const auto [items, late] = timedItems;
    state.counters["hours"] = static_cast<double>(timed.hourEnds.size());
    state.counters["timed within 2 s"] = within(timed, 2000);
    state.counters["timed items due"] = 3.0 * static_cast<double>(timed.hourEnds.size());
    state.counters["timed items on time"] = items - late;
    state.counters["untimed within 2 s"] = within(untimed, 2000);
}
BENCHMARK(BM_WeekOfAnyClockLength)
    ->Arg(12)->Arg(16)->Arg(20)->Arg(24)->Arg(30)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// A station too small for its rules: 36 currents and 180 gold songs, a 16-slot clock with no
// timed slot, a 6-hour title window and the history. Every hour needs more currents than the
// title window leaves, so the fill must break rules to end on time.
void BM_StarvedStation(benchmark::State& state) {
    ScratchFolder folder("starved");
    StationShape shape;
    shape.music = {36, 180};
    shape.rules = {"[Rules]", "title_hours=6", "album_hours=3", "artist_matching=loose",
                   "exempt=jingles.m3u;spots.m3u", "performance_complement=1", "history=1",
                   "relax=least_recent"};
    const WeekStation station(folder.Path(), shape);
    WeekRunReport week;
    size_t breaks = 0;
    RunRounds(state, {{"week", [&] { week = station.Build(FillMode::Exact, &breaks); },
                       [&] { station.Prepare(false, 16); }}});
    double within = 0, shortHours = 0;
    int64_t worst = 0;
    for (const HourEnd& end : week.hourEnds) {
        within += std::llabs(end.errorMs) <= 2000 ? 1 : 0;
        shortHours += end.errorMs < -2000 ? 1 : 0;
        worst = std::max<int64_t>(worst, std::llabs(end.errorMs));
    }
    state.counters["hours"] = static_cast<double>(week.hourEnds.size());
    state.counters["within 2 s"] = within;
    state.counters["short"] = shortHours;
    state.counters["worst s"] = static_cast<double>(worst) / 1000;
    state.counters["rule breaks"] = static_cast<double>(breaks);
}
BENCHMARK(BM_StarvedStation)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// How evenly a week plays each music category: the share of its songs that play their fair
// number of times (the week's plays over its songs, rounded down or up), those never played,
// and the plays in the same hour of the clock as the day before.
struct Spread {
    double fair = 0;   // share of songs, 0..1, of the least fair category
    double never = 0;  // songs never played, all categories
    double sameHourAsDayBefore = 0;
};

Spread SpreadOf(const WeekRunReport& week, const std::vector<std::string>& categories) {
    std::map<std::string, int> plays;
    std::map<std::string, std::set<int>> hours;  // day * 24 + hour each song played in
    std::set<std::string> music;
    for (const std::string& category : categories) {
        LineList songs;
        LoadList(category, songs);
        music.insert(songs.begin(), songs.end());
    }
    Spread spread;
    for (const std::string& playlist : week.playlists) {
        // ".../name_2026-12-07_06.m3u": the day and the hour.
        const size_t at = playlist.rfind('_');
        const int hour = std::stoi(playlist.substr(at + 1, 2));
        const int day = std::stoi(playlist.substr(at - 2, 2));
        LineList lines;
        LoadList(playlist, lines);
        for (const std::string& song : lines) {
            if (!music.count(song)) continue;  // jingles and spots air every hour by design
            ++plays[song];
            const int slot = day * 24 + hour;
            spread.sameHourAsDayBefore += hours[song].count(slot - 24) ? 1 : 0;
            hours[song].insert(slot);
        }
    }
    spread.fair = 1;
    for (const std::string& category : categories) {
        LineList songs;
        LoadList(category, songs);
        int total = 0;
        for (const std::string& song : songs) total += plays[song];
        const int low = total / static_cast<int>(songs.size());
        const int high = (total + static_cast<int>(songs.size()) - 1) / static_cast<int>(songs.size());
        double fair = 0;
        for (const std::string& song : songs) {
            fair += plays[song] >= low && plays[song] <= high ? 1 : 0;
            spread.never += plays[song] == 0 ? 1 : 0;
        }
        spread.fair = std::min(spread.fair, fair / static_cast<double>(songs.size()));
    }
    return spread;
}

// A station as a music director runs one: 36 currents, 60 recurrents and 180 gold songs by 90
// artists dealt across them, 8 jingles, 24 spots, the rules with a 6-hour title window and the
// history.
StationShape RotationStationShape() {
    StationShape shape;
    shape.music = {36, 60, 180};
    shape.artists = 90;
    shape.dealtArtists = true;
    shape.jingles = 8;
    shape.spots = 24;
    shape.rules = {"[Rules]", "title_hours=6", "album_hours=3", "artist_matching=loose",
                   "exempt=jingles.m3u;spots.m3u", "performance_complement=1", "history=1",
                   "relax=least_recent"};
    return shape;
}

// The week of the full station (0), of the starved one (1) and of the rotation's station in
// rotation with fresh hours (2, a 16-slot clock) with the artist (the Dupe Checker's two hours)
// and the title as rules that never break: how many of them broke all the
// same (none, when they hold), how many hours ended within 2 s, how many slots were passed over
// for them, and whether every hour that missed was named.
void BM_MustRules(benchmark::State& state) {
    const bool starved = state.range(0) == 1;
    const bool rotation = state.range(0) == 2;
    ScratchFolder folder(starved ? "must-starved" : rotation ? "must-rotation" : "must");
    StationShape shape = rotation ? RotationStationShape() : StationShape();
    if (starved) shape.music = {36, 180};
    shape.rules.push_back("must=artist,title");
    const WeekStation station(folder.Path(), shape);
    const RotationSettings order =
        rotation ? RotationSettings{RotationOrder::Rotate, 1} : RotationSettings{};
    WeekRunReport week;
    LineList lines;
    RunRounds(state, {{"week", [&] { week = station.Build(FillMode::Exact, nullptr, order, &lines); },
                       [&] { station.Prepare(false, starved || rotation ? 16 : 0); }}});
    double within = 0, missed = 0, mustBroken = 0, mayBroken = 0, passed = 0, named = 0;
    for (const HourEnd& end : week.hourEnds) {
        within += std::llabs(end.errorMs) <= 2000 ? 1 : 0;
        missed += end.onTime ? 0 : 1;
    }
    for (const std::string& line : lines) {
        const bool broken = line.find(": Rule broken: ") != std::string::npos;
        const bool must = broken && (line.find("Rule broken: artist ") != std::string::npos ||
                                     (line.find("Rule broken: title ") != std::string::npos &&
                                      line.find(" in the same hour ") == std::string::npos));
        mustBroken += must ? 1 : 0;
        mayBroken += broken && !must ? 1 : 0;
        passed += line.find(" breaks a must rule (") != std::string::npos ? 1 : 0;
        named += line.rfind("Hour ends ", 0) == 0 ? 1 : 0;
    }
    state.counters["hours"] = static_cast<double>(week.hourEnds.size());
    state.counters["within 2 s"] = within;
    state.counters["within 2 s %"] =
        week.hourEnds.empty() ? 0 : 100 * within / static_cast<double>(week.hourEnds.size());
    state.counters["must breaks"] = mustBroken;
    state.counters["may breaks"] = mayBroken;
    state.counters["slots passed over"] = passed;
    state.counters["misses"] = missed;
    state.counters["misses named"] = named;
    if (rotation) {
        std::vector<std::string> music;
        for (int c = 0; c < 3; ++c)
            music.push_back(folder.Path() + "/music" + std::to_string(c) + ".m3u");
        const Spread spread = SpreadOf(week, music);
        state.counters["fair %"] = 100 * spread.fair;
        state.counters["never"] = spread.never;
        state.counters["same hour"] = spread.sameHourAsDayBefore;
    }
}
BENCHMARK(BM_MustRules)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The rotation's station with one 16-slot clock shorter than the hour for all 168 hours and the
// exact fill: the week with the shuffle of every build, with the rotation kept across builds,
// and with fresh hours as well.
void BM_RotationWeek(benchmark::State& state) {
    ScratchFolder folder("rotation");
    const WeekStation station(folder.Path(), RotationStationShape());
    std::vector<std::string> music;
    for (int c = 0; c < 3; ++c) music.push_back(folder.Path() + "/music" + std::to_string(c) + ".m3u");
    const std::pair<const char*, RotationSettings> orders[] = {
        {"shuffle", {}},
        {"rotate", {RotationOrder::Rotate, 0}},
        {"fresh", {RotationOrder::Rotate, 1}}};
    std::vector<Spread> spreads(std::size(orders));
    std::vector<double> within(std::size(orders));
    std::vector<Contestant> contestants;
    for (size_t k = 0; k < std::size(orders); ++k)
        contestants.push_back({orders[k].first,
                               [&, k] {
                                   const WeekRunReport week = station.Build(
                                       FillMode::Exact, nullptr, orders[k].second);
                                   spreads[k] = SpreadOf(week, music);
                                   within[k] = 0;
                                   for (const HourEnd& end : week.hourEnds)
                                       within[k] += std::llabs(end.errorMs) <= 2000 ? 1 : 0;
                               },
                               [&] { station.Prepare(false, 16); }});
    RunRounds(state, contestants);
    for (size_t k = 0; k < std::size(orders); ++k) {
        const std::string name = orders[k].first;
        state.counters[name + " fair %"] = 100 * spreads[k].fair;
        state.counters[name + " never"] = spreads[k].never;
        state.counters[name + " same hour"] = spreads[k].sameHourAsDayBefore;
        state.counters[name + " within 2 s"] = within[k];
    }
}
BENCHMARK(BM_RotationWeek)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// What a week writes of its category files at 20,000 songs (2,000 currents, 6,000 recurrents,
// 12,000 gold; the rotation week's clock and rules): the shuffle rewrites a category for every
// song it places, the rotation once a day.
void BM_RotationWrites(benchmark::State& state) {
    ScratchFolder folder("rotationwrites");
    StationShape shape;
    shape.music = {2000, 6000, 12000};
    shape.artists = 3000;
    shape.jingles = 8;
    shape.spots = 24;
    shape.rules = {"[Rules]", "title_hours=6", "artist_matching=loose",
                   "exempt=jingles.m3u;spots.m3u", "history=1"};
    const WeekStation station(folder.Path(), shape);
    auto categoryBytes = [&](const FileTrace& trace) {
        double bytes = 0;
        for (const FileEvent& event : trace)
            if (event.op == FileOp::ReplaceWhole && event.path.find(".m3u") != std::string::npos &&
                event.path.find("/out/") == std::string::npos)
                bytes += static_cast<double>(event.bytes);
        return bytes;
    };
    const std::pair<const char*, RotationSettings> orders[] = {
        {"shuffle", {}}, {"rotate", {RotationOrder::Rotate, 0}}};
    std::vector<double> bytes(std::size(orders));
    std::vector<Contestant> contestants;
    for (size_t k = 0; k < std::size(orders); ++k)
        contestants.push_back({orders[k].first,
                               [&, k] {
                                   FileTrace trace;
                                   SetFileTrace(&trace);
                                   station.Build(FillMode::Exact, nullptr, orders[k].second);
                                   SetFileTrace(nullptr);
                                   bytes[k] = categoryBytes(trace);
                               },
                               [&] { station.Prepare(false, 16); }});
    RunRounds(state, contestants);
    state.counters["songs"] = 20000 + 8 + 24;
    state.counters["shuffle category MB"] = bytes[0] / 1e6;
    state.counters["rotate category MB"] = bytes[1] / 1e6;
}
BENCHMARK(BM_RotationWrites)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
