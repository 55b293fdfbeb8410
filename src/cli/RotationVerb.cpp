// The rotation verb: how each category's songs took their turns over a span of days, and how
// often each rule held, from the play history following the air.

#include <cstdio>

#include "CliOptions.h"
#include "CliStation.h"
#include "Verbs.h"
#include "onair/RotationText.h"
#include "sessions/StationRotation.h"

namespace kestrune::cli {

int RunRotation(const std::vector<std::string>& arguments, const ReaderSetup& reader) {
    std::vector<std::string> args = arguments;
    const std::optional<std::string> fromText = TakeValue(args, "--from");
    const std::optional<std::string> toText = TakeValue(args, "--to");
    const bool csv = TakeFlag(args, "--csv");
    if (!fromText) throw UsageError{"rotation needs --from YYYY-MM-DD"};
    if (!args.empty()) throw UsageError{"rotation takes no argument \"" + args.front() + "\""};
    RotationRequest request;
    request.from = DateOption("--from", *fromText);
    request.to = toText ? DateOption("--to", *toText) : request.from;
    if (DateText(request.to) < DateText(request.from))
        throw UsageError{"--to comes before --from"};

    // The station's folders and rules as the program has them.
    const StationPlaces station = CurrentStation();
    const ConfigValues folders = ReadConfig(station.settings, station.startFolder);
    std::vector<std::string> problems;
    request.startFolder = station.startFolder;
    request.sessionsFolder = folders.sessionsdir;
    request.rules = ReadRuleSettings(station.settings, &problems);
    request.rotation = ReadRotationSettings(station.settings, &problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());

    const StationRotation rotation = ReadStationRotation(request, reader);
    for (const std::string& problem : rotation.problems)
        std::fprintf(stderr, "%s\n", problem.c_str());
    const std::string text =
        csv ? RotationCsv(rotation.figures) : RotationText(rotation.figures);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitDone;
}

}  // namespace kestrune::cli
