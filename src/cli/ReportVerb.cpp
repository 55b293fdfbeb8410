// The report verb: the royalty report (SoundExchange's report of use, or a CSV of every play) of
// what the as-played log says aired, with the listeners of Icecast's access log.

#include <cstdio>

#include "CliOptions.h"
#include "CliStation.h"
#include "Verbs.h"
#include "onair/AirDays.h"
#include "onair/RoyaltyReport.h"
#include "rules/RuleSettings.h"

namespace kestrune::cli {

namespace {

std::string Plural(long long count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

int RunReport(const std::vector<std::string>& arguments, const ReaderSetup& reader) {
    std::vector<std::string> args = arguments;
    const std::optional<std::string> fromText = TakeValue(args, "--from");
    const std::optional<std::string> toText = TakeValue(args, "--to");
    const std::optional<std::string> formatText = TakeValue(args, "--format");
    const std::optional<std::string> logOption = TakeValue(args, "--log");
    std::vector<std::string> accessLogs;
    while (const std::optional<std::string> file = TakeValue(args, "--access-log"))
        accessLogs.push_back(ArgumentPath(*file));
    const std::optional<std::string> mountOption = TakeValue(args, "--mount");
    const std::optional<std::string> serviceOption = TakeValue(args, "--service");
    const std::optional<std::string> categoryOption = TakeValue(args, "--category");
    if (!fromText) throw UsageError{"report needs --from YYYY-MM-DD"};
    if (!formatText) throw UsageError{"report needs --format soundexchange or --format csv"};
    const std::optional<ReportFormat> format = ParseReportFormat(*formatText);
    if (!format)
        throw UsageError{"--format must be soundexchange or csv, not \"" + *formatText + "\""};
    if (args.size() != 1)
        throw UsageError{args.empty() ? "report needs the file to write"
                                      : "report takes one file to write, not \"" + args[1] + "\""};

    RoyaltyReportRequest request;
    request.from = DateOption("--from", *fromText);
    request.to = toText ? DateOption("--to", *toText) : request.from;
    if (DateText(request.to) < DateText(request.from))
        throw UsageError{"--to comes before --from"};
    request.format = *format;
    request.output = ArgumentPath(args.front());
    // The station's folders as the program has them: its configuration's, by default under it.
    const StationPlaces station = CurrentStation();
    const SettingsFiles& ini = station.settings;
    const ConfigValues folders = ReadConfig(ini, station.startFolder);
    request.asPlayedLog =
        logOption ? ArgumentPath(*logOption) : AsPlayedLogPath(folders.sessionsdir);
    request.accessLogs = accessLogs;
    if (accessLogs.empty()) request.accessLogs.push_back(kIcecastAccessLog);
    if (mountOption) request.mount = *mountOption;
    request.playlistsFolder = folders.playlistsdir;
    // The exempt categories and the service's name are the station configuration's.
    request.exempt = ReadRuleSettings(ini).exempt;
    request.service = serviceOption ? *serviceOption : ReportServiceName(ini);
    request.category = categoryOption ? *categoryOption : ReportTransmissionCategory(ini);

    const ReportSummary summary = WriteRoyaltyReport(request, reader);
    if (summary.unreadLogLines > 0)
        std::fprintf(stderr, "%s of %s not read\n", Plural(summary.unreadLogLines, "line").c_str(),
                     request.asPlayedLog.c_str());
    if (summary.unreadAccessLines > 0)
        std::fprintf(stderr, "%s of Icecast's access log not read\n",
                     Plural(summary.unreadAccessLines, "line").c_str());
    for (const std::string& list : summary.missingExemptLists)
        std::fprintf(stderr, "Exempt playlist %s cannot be read: its songs are in the report\n",
                     list.c_str());
    if (summary.filesGone > 0)
        std::fprintf(stderr, "%s no longer there: artist and title from the as-played log\n",
                     Plural(summary.filesGone, "aired file").c_str());
    if (summary.stillOnAir > 0)
        std::fprintf(stderr, "The item still on air, the log's last, is not in the report\n");
    std::printf("%s: %s, %s (%s of exempt songs), %s\n", request.output.c_str(),
                Plural(summary.rows, "row").c_str(), Plural(summary.plays, "play").c_str(),
                Plural(summary.exemptPlays, "play").c_str(),
                Plural(summary.performances, "performance").c_str());
    return kExitDone;
}

}  // namespace kestrune::cli
