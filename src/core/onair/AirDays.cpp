#include "onair/AirDays.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>

#include "onair/LocalHours.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace kestrune {

std::string OnAirPlaylistPattern(const std::string& playlistsFolder) {
    return JoinPath(playlistsFolder, "onair_%Y-%m-%d_%H.m3u8");
}

std::string AsPlayedLogPath(const std::string& sessionsFolder) {
    return JoinPath(sessionsFolder, kAsPlayedLogFile);
}

AirDays ReadAirDays(const AirDaysRequest& request) {
    AirDays days;
    days.logFound = !request.missingLogIsEmpty || FileExists(request.logPath);
    AsPlayedLog log;
    if (days.logFound) log = ReadAsPlayedLog(request.logPath);
    days.unreadLogLines = log.unreadLines;
    std::map<std::string, std::string> spelled;
    for (AiredItem& item : log.items) {
        const int64_t last = std::max(item.startMs, item.endMs.value_or(item.startMs));
        days.logReachesMs = std::max(days.logReachesMs.value_or(last), last);
        auto known = spelled.find(item.playlist);
        if (known == spelled.end())
            known = spelled.emplace(item.playlist, ComparablePath(item.playlist)).first;
        item.playlist = known->second;
    }

    const int64_t reached = days.logReachesMs.value_or(INT64_MIN);

    AirTotals& totals = days.totals;
    days.minuteTurns = request.pattern.find("%M") != std::string::npos;
    const int turns = days.minuteTurns ? 24 * 60 : 24;
    const int64_t turnMs = days.minuteTurns ? 60000 : 3600000;
    for (CalendarDate date = request.from; DateText(date) <= DateText(request.to);
         date = AddDays(date, 1)) {
        for (int turn = 0; turn < turns; ++turn) {
            const int hour = days.minuteTurns ? turn / 60 : turn;
            const int minute = days.minuteTurns ? turn % 60 : 0;
            // A turn the clock skips has no air; one it shows twice is two turns, each with
            // the turn's playlist from its top, as the on-air script plays them.
            for (const LocalPass& pass : LocalPasses(date, hour, minute, turnMs)) {
                AirHour air{date, hour, minute, pass.again, {}, false, {}};
                HourPlan& plan = air.plan;
                plan.playlist = ComparablePath(HourPlaylistPath(request.pattern, date.year,
                                                                date.month, date.day, hour,
                                                                minute));
                plan.startMs = pass.startMs;
                plan.endMs = pass.endMs;
                air.hasPlan = std::filesystem::is_regular_file(plan.playlist);
                if (air.hasPlan)
                    plan.items = PlannedItems(ReadWholeFile(plan.playlist), plan.startMs);
                air.onAir = CompareHour(plan, log.items, request.lateMs, reached);
                if (!air.hasPlan && air.onAir.aired == 0) continue;
                ++totals.hours;
                totals.planned += air.onAir.planned;
                totals.aired += air.onAir.aired;
                for (const AirDifference& difference : air.onAir.differences) {
                    totals.neverAired += difference.kind == AirDifferenceKind::NeverAired;
                    totals.notPlanned += difference.kind == AirDifferenceKind::NotPlanned;
                    totals.late += difference.kind == AirDifferenceKind::Late;
                    totals.stillPlanned += difference.kind == AirDifferenceKind::Planned;
                }
                days.hours.push_back(std::move(air));
            }
        }
    }
    return days;
}

}  // namespace kestrune
