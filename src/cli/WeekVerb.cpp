// The week verb: one playlist per hour of some days, from a week grid.

#include <cstdio>

#include "CliStation.h"
#include "Verbs.h"
#include "platform/Digits.h"
#include "platform/Paths.h"
#include "sessions/WeekRun.h"

namespace kestrune::cli {

namespace {

int DaysOption(const std::optional<std::string>& text) {
    const std::string wrong =
        "--days must be a whole number from 1 to " + std::to_string(kMostDaysInOneRun);
    if (!text) return kDaysInWeek;
    const std::optional<int64_t> days =
        text->size() <= 4 ? WholeNumber(*text, kMostDaysInOneRun) : std::nullopt;
    if (!days || *days < 1) throw UsageError{wrong};
    return static_cast<int>(*days);
}

}  // namespace

int RunWeek(const std::vector<std::string>& arguments, const ReaderSetup& reader) {
    std::vector<std::string> args = arguments;
    const auto seed = TakeSeedOption(args);
    const bool strict = TakeFlag(args, "--strict");
    const std::optional<std::string> fromText = TakeValue(args, "--from");
    const int days = DaysOption(TakeValue(args, "--days"));
    if (!fromText) throw UsageError{"week needs --from YYYY-MM-DD"};
    const std::optional<CalendarDate> from = ParseCalendarDate(*fromText);
    if (!from) throw UsageError{"--from must be a date YYYY-MM-DD, not \"" + *fromText + "\""};
    if (args.size() != 1) throw UsageError{"week needs one grid file"};

    const std::string gridFile = ArgumentPath(args[0]);
    CliStation station(seed, reader);
    station.Lock("week build of " + ExtractFileName(gridFile));
    const WeekGrid grid = LoadWeekGrid(gridFile);
    const WeekRunReport report = BuildWeekDays(station.context, grid, gridFile, *from, days);
    std::fflush(stdout);
    std::fprintf(stderr, "%zu playlists written, the last %s; %zu text logs\n",
                 report.playlists.size(),
                 report.playlists.empty() ? "none" : report.playlists.back().c_str(),
                 report.textLogs.size());
    for (const std::string& missing : report.missingSessions)
        std::fprintf(stderr, "Session not found, hour passed over: %s\n", missing.c_str());
    if (station.context.timing.fill == FillMode::Exact) {
        size_t onTime = 0;
        for (const HourEnd& end : report.hourEnds) onTime += end.onTime ? 1 : 0;
        std::fprintf(stderr, "%zu of %zu hours end within %d s of the hour\n", onTime,
                     report.hourEnds.size(), station.context.timing.toleranceSeconds);
        if (const std::string missed = MissedHoursText(report.hourEnds); !missed.empty())
            std::fprintf(stderr, "%s\n", missed.c_str());
    }
    // A short or empty hour would go on air as it is: a cron job must learn of it.
    for (const ShortSession& hour : report.shortHours)
        std::fprintf(stderr, "%s\n", ShortSessionText(hour).c_str());
    const int status = report.missingSessions.empty() && report.shortHours.empty()
                           ? kExitDone
                           : kExitCheckFailed;
    // A missed hour is named among the breaks, as the build and schedule verbs name them.
    const bool broken = !station.session.lbRuleBreaks.empty();
    return strict && broken && status == kExitDone ? kExitRuleBroken : status;
}

}  // namespace kestrune::cli
