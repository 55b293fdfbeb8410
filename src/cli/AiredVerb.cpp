// The aired verb: each hour's plan against what the as-played log says went out.

#include <cstdio>

#include "CliOptions.h"
#include "CliStation.h"
#include "Verbs.h"
#include "onair/AirDays.h"
#include "onair/LocalHours.h"
#include "platform/Digits.h"
#include "platform/Paths.h"
#include "platform/ShownText.h"

namespace kestrune::cli {

namespace {

int64_t LateOption(const std::optional<std::string>& text) {
    if (!text) return 10;
    const std::optional<int64_t> seconds = text->size() <= 5 ? WholeNumber(*text) : std::nullopt;
    if (!seconds) throw UsageError{"--late must be a whole number of seconds"};
    return *seconds;
}

void PrintDifference(const AirDifference& difference) {
    // A file name from the log is anyone's text: shown on one line, control bytes as \xHH.
    const std::string file = ShownText(difference.file);
    switch (difference.kind) {
    case AirDifferenceKind::NeverAired:
    case AirDifferenceKind::Planned:
        std::printf("  %s  %s%s\n",
                    difference.kind == AirDifferenceKind::Planned ? "planned    " : "never aired",
                    file.c_str(),
                    difference.plannedMs
                        ? (" (planned " + LocalClockText(*difference.plannedMs) + ")").c_str()
                        : "");
        break;
    case AirDifferenceKind::NotPlanned:
        std::printf("  not planned  %s (%s, aired %s)\n", file.c_str(),
                    difference.airedKind.c_str(), LocalClockText(*difference.airedMs).c_str());
        break;
    case AirDifferenceKind::Late: {
        const long long off = (*difference.airedMs - *difference.plannedMs) / 1000;
        std::printf("  late         %s (planned %s, aired %s, %+lld s)\n", file.c_str(),
                    LocalClockText(*difference.plannedMs).c_str(),
                    LocalClockText(*difference.airedMs).c_str(), off);
        break;
    }
    }
}

}  // namespace

int RunAired(const std::vector<std::string>& arguments, const ReaderSetup&) {
    std::vector<std::string> args = arguments;
    const std::optional<std::string> fromText = TakeValue(args, "--from");
    const std::optional<std::string> toText = TakeValue(args, "--to");
    const std::optional<std::string> logOption = TakeValue(args, "--log");
    const std::optional<std::string> patternOption = TakeValue(args, "--playlist");
    const int64_t lateMs = LateOption(TakeValue(args, "--late")) * 1000;
    if (!fromText) throw UsageError{"aired needs --from YYYY-MM-DD"};
    if (!args.empty()) throw UsageError{"aired takes no argument \"" + args.front() + "\""};
    const CalendarDate from = DateOption("--from", *fromText);
    const CalendarDate to = toText ? DateOption("--to", *toText) : from;
    if (DateText(to) < DateText(from)) throw UsageError{"--to comes before --from"};

    // The station's folders as the program has them: its configuration's, by default under it.
    const StationPlaces station = CurrentStation();
    const ConfigValues folders = ReadConfig(station.settings, station.startFolder);
    AirDaysRequest request;
    request.logPath = logOption ? ArgumentPath(*logOption) : AsPlayedLogPath(folders.sessionsdir);
    request.pattern =
        patternOption ? ArgumentPath(*patternOption) : OnAirPlaylistPattern(folders.playlistsdir);
    request.from = from;
    request.to = to;
    request.lateMs = lateMs;
    const AirDays days = ReadAirDays(request);
    if (days.unreadLogLines > 0)
        std::fprintf(stderr, "%d line%s of %s not read\n", days.unreadLogLines,
                     days.unreadLogLines == 1 ? "" : "s", request.logPath.c_str());

    for (const AirHour& air : days.hours) {
        std::printf("%s %02d:%02d%s  %s: %d planned, %d aired\n", DateText(air.date).c_str(),
                    air.hour, air.minute, air.again ? " again" : "",
                    air.hasPlan ? air.plan.playlist.c_str() : "no playlist",
                    air.onAir.planned, air.onAir.aired);
        for (const AirDifference& difference : air.onAir.differences) PrintDifference(difference);
    }
    const AirTotals& t = days.totals;
    // Items the log does not reach yet are counted only when there are some, so a day gone by
    // reads as it always did.
    const std::string coming =
        t.stillPlanned > 0 ? ", " + std::to_string(t.stillPlanned) + " still planned" : "";
    std::printf("%d %s%s: %d planned, %d aired; %d never aired, %d not planned, %d late%s\n",
                t.hours, days.minuteTurns ? "minute" : "hour", t.hours == 1 ? "" : "s", t.planned,
                t.aired, t.neverAired, t.notPlanned, t.late, coming.c_str());
    return t.Matched() ? kExitDone : kExitCheckFailed;
}

}  // namespace kestrune::cli
