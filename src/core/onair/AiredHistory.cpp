#include "onair/AiredHistory.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <set>

#include "onair/AirDays.h"
#include "onair/LocalHours.h"
#include "platform/Files.h"
#include "rules/SongFactsCache.h"

namespace kestrune {

namespace {

constexpr int64_t kHour = 3600;

int64_t HourOf(int64_t calendarSeconds) {
    return calendarSeconds >= 0 ? calendarSeconds / kHour : (calendarSeconds - kHour + 1) / kHour;
}

}  // namespace

std::vector<HistoryLine> HistoryAsAired(std::vector<HistoryLine> lines,
                                        const std::vector<AiredItem>& aired, int64_t since,
                                        const AiredPlaysLookup& lookup) {
    std::set<std::string> counted;
    for (const HistoryLine& line : lines)
        if (line.song) counted.insert(line.song->file);

    std::set<int64_t> coveredHours;
    std::set<std::pair<int64_t, std::string>> airedInHour;
    std::optional<int64_t> reach;
    std::vector<PlayedSong> plays;
    for (const AiredItem& item : aired) {
        const int64_t start = lookup.calendarSeconds(item.startMs);
        if (start < since) continue;
        const std::optional<SongFacts> facts = lookup.facts(item.file);
        int64_t seconds = facts ? facts->seconds : 0;
        if (item.endMs) seconds = std::max<int64_t>(0, (*item.endMs - item.startMs + 500) / 1000);
        coveredHours.insert(HourOf(start));
        airedInHour.emplace(HourOf(start), item.file);
        reach = std::max(reach.value_or(start + seconds), start + seconds);
        const bool counts = item.kind == "plan" ? counted.count(item.file) > 0
                                                : !lookup.exemptList(item.playlist);
        if (!counts) continue;
        plays.push_back(facts ? PlayOf(start, static_cast<int32_t>(seconds), facts->artist,
                                       facts->title, facts->album, item.file)
                              : PlayOf(start, static_cast<int32_t>(seconds), item.artist,
                                       item.title, std::string(), item.file));
    }
    if (!reach) return lines;

    // A covered hour the log has passed loses all its planned plays; the hour under way only
    // those that have aired by now.
    const int64_t hourUnderWay = HourOf(*reach);
    std::erase_if(lines, [&](const HistoryLine& line) {
        if (!line.song) return false;
        const int64_t hour = HourOf(line.song->start);
        if (coveredHours.count(hour) == 0) return false;
        return hour < hourUnderWay || airedInHour.count({hour, line.song->file}) > 0;
    });
    std::stable_sort(plays.begin(), plays.end(), [](const PlayedSong& a, const PlayedSong& b) {
        return a.start < b.start;
    });
    // Each aired play goes before the first play that starts after it.
    std::vector<HistoryLine> merged;
    merged.reserve(lines.size() + plays.size());
    auto play = plays.begin();
    auto addPlay = [&merged](PlayedSong& song) {
        std::string text = FormatPlayedSong(song);
        merged.push_back(HistoryLine{std::move(song), std::move(text)});
    };
    for (HistoryLine& line : lines) {
        for (; play != plays.end() && line.song && line.song->start > play->start; ++play)
            addPlay(*play);
        merged.push_back(std::move(line));
    }
    for (; play != plays.end(); ++play) addPlay(*play);
    return merged;
}

std::vector<HistoryLine> HistoryFollowingAir(std::vector<HistoryLine> lines,
                                             const std::string& sessionsFolder, int64_t since,
                                             const RuleSettings& settings, SongFactsCache& facts,
                                             const std::function<void(const std::string&)>& report) {
    const std::string logPath = AsPlayedLogPath(sessionsFolder);
    if (!FileExists(logPath)) return lines;
    const AsPlayedLog* log = nullptr;
    try {
        log = &ReadAsPlayedLog(logPath);
    } catch (const std::exception& error) {
        report(std::string("The play history keeps its planned plays: ") + error.what());
        return lines;
    }
    const AiredPlaysLookup lookup{
        LocalCalendarSeconds,
        [&facts](const std::string& file) -> std::optional<SongFacts> {
            if (!FileExists(file)) return std::nullopt;
            return facts.Get(file);
        },
        [&settings](const std::string& list) { return IsExemptSlot(settings, list); }};
    return HistoryAsAired(std::move(lines), log->items, since, lookup);
}

}  // namespace kestrune
