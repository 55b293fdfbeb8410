#include "onair/RotationFigures.h"

#include <algorithm>
#include <set>
#include <tuple>
#include <unordered_map>

namespace kestrune {

namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;

int64_t FloorDiv(int64_t value, int64_t by) {
    return value >= 0 ? value / by : (value - by + 1) / by;
}

// Where a played file belongs: its category and its place there.
struct SongPlace {
    size_t category = 0;
    size_t song = 0;
};

// Every play of one song in the span, by start.
using SongStarts = std::vector<int64_t>;

int HourExposure(const SongStarts& starts) {
    std::set<int64_t> hours;
    for (const int64_t start : starts)
        if (!hours.insert(FloorDiv(start, kHour) % 24).second) break;
    return static_cast<int>(hours.size());
}

double Median(std::vector<int> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t half = values.size() / 2;
    return values.size() % 2 == 1 ? values[half] : (values[half - 1] + values[half]) / 2.0;
}

void FillFigures(CategoryRotation& figures, const std::vector<SongStarts>& songs, int hours) {
    figures.songs = static_cast<int>(songs.size());
    std::vector<int> exposures;
    for (const SongStarts& starts : songs) {
        const int plays = static_cast<int>(starts.size());
        figures.plays += plays;
        figures.playsPerSong.push_back(plays);
        figures.exposurePerSong.push_back(HourExposure(starts));
        if (plays == 0) ++figures.neverPlayed;
        else exposures.push_back(figures.exposurePerSong.back());
    }
    if (!songs.empty()) {
        const auto [least, most] =
            std::minmax_element(figures.playsPerSong.begin(), figures.playsPerSong.end());
        figures.minPlays = *least;
        figures.maxPlays = *most;
        figures.medianPlays = Median(figures.playsPerSong);
    }
    if (figures.plays > 0 && hours > 0)
        figures.turnoverHours = figures.songs / (double(figures.plays) / hours);
    if (!exposures.empty()) {
        double sum = 0;
        for (const int exposure : exposures) sum += exposure;
        figures.meanExposure = sum / static_cast<double>(exposures.size());
        figures.minExposure = *std::min_element(exposures.begin(), exposures.end());
    }
}

// The rules that are on, each alone, so that a play is judged by every one of them and not
// only by the first it breaks.
std::vector<std::pair<Rule, RuleSet>> SingleRules(const RuleSet& rules) {
    std::vector<std::pair<Rule, RuleSet>> single;
    const auto add = [&](Rule rule, auto&& turnOn) {
        RuleSet only;
        only.matching = rules.matching;
        turnOn(only);
        single.emplace_back(rule, only);
    };
    if (rules.artistWindow > 0)
        add(Rule::Artist, [&](RuleSet& r) { r.artistWindow = rules.artistWindow; });
    if (rules.titleWindow > 0)
        add(Rule::Title, [&](RuleSet& r) { r.titleWindow = rules.titleWindow; });
    if (rules.albumWindow > 0)
        add(Rule::Album, [&](RuleSet& r) { r.albumWindow = rules.albumWindow; });
    if (rules.performanceComplement)
        add(Rule::PerformanceComplement, [](RuleSet& r) { r.performanceComplement = true; });
    if (rules.hourDays > 0) add(Rule::FreshHour, [&](RuleSet& r) { r.hourDays = rules.hourDays; });
    return single;
}

}  // namespace

std::string RuleName(Rule rule) {
    switch (rule) {
        case Rule::Artist: return "artist";
        case Rule::Title: return "title";
        case Rule::Album: return "album";
        case Rule::PerformanceComplement: return "performance complement";
        case Rule::Genre: return "genre";
        case Rule::FreshHour: return "fresh hours";
    }
    return "rule";
}

RotationFigures ComputeRotation(const std::vector<RotationCategory>& categories,
                                std::vector<PlayedSong> plays, const CalendarDate& from,
                                const CalendarDate& to, const RuleSet& rules) {
    RotationFigures result;
    result.from = from;
    result.to = to;
    const int64_t begin = DaysOf(from) * kDay;
    const int64_t end = (DaysOf(to) + 1) * kDay;
    result.spanHours = static_cast<int>(std::max<int64_t>(0, (end - begin) / kHour));

    // The last category holds the files no category lists, found as they play.
    const size_t none = categories.size();
    std::vector<std::vector<SongStarts>> starts(categories.size() + 1);
    std::unordered_map<std::string, SongPlace> places;
    for (size_t c = 0; c < categories.size(); ++c) {
        for (const std::string& file : categories[c].songs) {
            if (!places.emplace(file, SongPlace{c, starts[c].size()}).second) continue;
            starts[c].emplace_back();
        }
    }

    std::stable_sort(plays.begin(), plays.end(),
                     [](const PlayedSong& a, const PlayedSong& b) { return a.start < b.start; });
    // Which (file, day, hour) had a play: the day before's same hour is looked up in it.
    std::set<std::tuple<std::string, int64_t, int64_t>> heard;
    for (const PlayedSong& play : plays)
        heard.emplace(play.file, FloorDiv(play.start, kDay), FloorDiv(play.start, kHour) % 24);

    std::vector<int> sameHour(categories.size() + 1, 0);
    const std::vector<std::pair<Rule, RuleSet>> single = SingleRules(rules);
    result.rules.resize(single.size());
    for (size_t r = 0; r < single.size(); ++r) result.rules[r].rule = single[r].first;
    PlayHistory history(rules.matching);
    std::set<int64_t> hoursWithPlays;
    for (const PlayedSong& play : plays) {
        if (play.start >= end) break;
        const SongFacts facts = FactsOf(play);
        if (play.start >= begin) {
            auto found = places.find(play.file);
            if (found == places.end())
                found = places.emplace(play.file, SongPlace{none, starts[none].size()}).first;
            if (found->second.category == none && found->second.song == starts[none].size())
                starts[none].emplace_back();
            const SongPlace place = found->second;
            starts[place.category][place.song].push_back(play.start);
            ++result.plays;
            hoursWithPlays.insert(FloorDiv(play.start, kHour));
            const int64_t day = FloorDiv(play.start, kDay);
            const int64_t hour = FloorDiv(play.start, kHour) % 24;
            if (heard.count({play.file, day - 1, hour}) > 0) ++sameHour[place.category];
            const bool counted = place.category != none && !categories[place.category].exempt;
            for (size_t r = 0; counted && r < single.size(); ++r) {
                if (FirstBreak(single[r].second, history, facts, play.start))
                    ++result.rules[r].broken;
                else
                    ++result.rules[r].kept;
            }
        }
        history.Add(facts, play.start);
    }

    result.hours = static_cast<int>(hoursWithPlays.size());
    for (size_t c = 0; c <= categories.size(); ++c) {
        if (c == none && starts[none].empty()) break;
        CategoryRotation figures;
        figures.name = c == none ? kNoCategoryName : categories[c].name;
        figures.exempt = c != none && categories[c].exempt;
        figures.listed = c != none;
        FillFigures(figures, starts[c], result.hours);
        figures.sameHourRepeats = sameHour[c];
        result.categories.push_back(std::move(figures));
    }
    return result;
}

}  // namespace kestrune
