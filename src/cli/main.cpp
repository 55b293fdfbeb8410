// kestrune-cli: the core of Kestrune without a window, for servers, cron jobs, scripts and tests.

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CliOptions.h"
#include "CliStation.h"
#include "TagLibReader.h"
#include "Verbs.h"
#include "platform/KestruneError.h"
#include "sessions/StationPlaces.h"
#include "tags/LibrarySettings.h"

namespace {

using kestrune::cli::kExitError;

// A verb that works on a station takes --station DIR; the others work on what they are given.
enum class OnStation { No, Yes };

struct Verb {
    std::string_view name;
    std::string_view arguments;
    std::string_view summary;
    int (*run)(const std::vector<std::string>& args, const kestrune::ReaderSetup& reader);
    OnStation station;
};

constexpr Verb kVerbs[] = {
    {"probe", "FILE...", "print what the MP3 reader finds in each file", kestrune::cli::RunProbe,
     OnStation::No},
    {"build", "SESSION.cwt [--seed N] [--strict]",
     "check, repair and build a session, then write its playlist (and text log); --strict: "
     "exit 3 when a rule had to break",
     kestrune::cli::RunBuild, OnStation::Yes},
    {"schedule", "[FILE.cws] [--seed N] [--strict]",
     "one unattended run of the schedule (default: auto_build.cws here)",
     kestrune::cli::RunSchedule, OnStation::Yes},
    {"check",
     "PLAYLIST [--performance-complement] [--artist-hours N] [--title-hours N] [--album-hours N] "
     "[--session SESSION.cwt]",
     "every separation rule a playlist breaks, with its place; exit 1 when there is one; "
     "--session: also the windows its clock template cannot hold (the playlist may then be left "
     "out)",
     kestrune::cli::RunCheck, OnStation::Yes},
    {"demo", "", "write the demo playlists and save the demo session", kestrune::cli::RunDemo,
     OnStation::Yes},
    {"quicklist", "FOLDER OUT.m3u", "write the MP3 files of one folder as a playlist",
     kestrune::cli::RunQuickList, OnStation::No},
    {"tags", "FOLDER [--artist] [--album] [--year] [--genre] [--fresh]",
     "append every MP3 file under FOLDER to playlists named after its tags",
     kestrune::cli::RunTags, OnStation::Yes},
    {"week", "GRID.kwg --from YYYY-MM-DD [--days N] [--seed N] [--strict]",
     "build one playlist per hour of N days (7 unless given) from a week grid; --strict: exit 3 "
     "when a rule had to break or an hour missed its time",
     kestrune::cli::RunWeek, OnStation::Yes},
    {"aired",
     "--from YYYY-MM-DD [--to YYYY-MM-DD] [--log FILE] [--playlist PATTERN] [--late SECONDS]",
     "each hour's plan against the as-played log: planned items that never aired, items not "
     "planned, items more than --late seconds (10) from their planned start; exit 1 when any",
     kestrune::cli::RunAired, OnStation::Yes},
    {"report",
     "--from YYYY-MM-DD [--to YYYY-MM-DD] --format soundexchange|csv OUTFILE [--log FILE] "
     "[--access-log FILE]... [--mount MOUNT] [--service NAME] [--category CODE]",
     "the royalty report of what aired, listeners from Icecast's access log (default "
     "/var/log/icecast2/access.log, mount /kestrune.mp3): soundexchange, one row per recording "
     "with its performances, exempt categories left out; csv, one row per play",
     kestrune::cli::RunReport, OnStation::Yes},
    {"rotation", "--from YYYY-MM-DD [--to YYYY-MM-DD] [--csv]",
     "how each category's songs took their turns from the play history (and the as-played log "
     "where it covers an hour): songs, plays, turnover, plays per song, hour exposure, "
     "same-hour repeats, and how often each rule held; --csv: one row each",
     kestrune::cli::RunRotation, OnStation::Yes},
    {"settings", "",
     "the configuration files the station's settings come from, in the order they are asked, "
     "and every setting they hold with the file it comes from",
     kestrune::cli::RunSettings, OnStation::Yes},
};

void PrintUsage(std::FILE* out) {
    std::fputs(
        "usage: kestrune-cli VERB [ARGUMENTS]\n"
        "       kestrune-cli --help | -h | --version\n\n"
        "--station DIR: work on the station in DIR as if started there (default: the current\n"
        "folder); files named on the command line are still taken from the current folder.\n"
        "Settings: DIR/kestrune.ini first, then the program's kestrune.ini.\n\nverbs:\n",
        out);
    for (const Verb& verb : kVerbs) {
        std::string line = "  " + std::string(verb.name);
        if (!verb.arguments.empty()) line += " " + std::string(verb.arguments);
        if (verb.station == OnStation::Yes) line += " [--station DIR]";
        std::fprintf(out, "%s\n      %.*s\n", line.c_str(), static_cast<int>(verb.summary.size()),
                     verb.summary.data());
    }
}

// The [Library] settings of the station (the current folder), for the whole run; the defaults
// where they cannot be read. A station verb says once when no configuration file at all was
// read, as every setting is then its default; should the station not be placeable, the verb
// itself reports why.
kestrune::LibrarySettings ReadStationLibrarySettings(OnStation station) {
    using namespace kestrune;
    try {
        const StationPlaces places = PlaceStation(ReadProgramFacts(), StartedFrom::Folder, false);
        const LibrarySettings library = ReadLibrarySettings(places.settings);
        if (station == OnStation::Yes && !places.startFolder.empty() &&
            places.settings.NoneRead()) {
            std::fprintf(stderr, "%s\n", NoSettingsFileText(places.settings).c_str());
        }
        return library;
    } catch (const std::exception&) {
        return {};
    }
}

// A wrong call: what was wrong, then the usage, on standard error.
void PrintUsageError(std::string_view problem) {
    std::fprintf(stderr, "kestrune-cli: %.*s\n", static_cast<int>(problem.size()), problem.data());
    PrintUsage(stderr);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A write past the file-size limit fails and is reported like any failed write, instead of
    // the signal ending the tool in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    if (argc < 2) {
        PrintUsageError("no verb given");
        return kExitError;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h") {
        PrintUsage(stdout);
        return kestrune::cli::kExitDone;
    }
    if (name == "--version") {
        std::printf("kestrune-cli (Kestrune) %s\n", KESTRUNE_VERSION);
        return kestrune::cli::kExitDone;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const Verb& verb : kVerbs) {
        if (verb.name != name) continue;
        try {
            if (verb.station == OnStation::Yes) {
                if (const auto station = kestrune::cli::TakeValue(args, "--station"))
                    kestrune::cli::EnterStation(*station);
            }
            // The reader takes every tag and format through TagLib, unless [Library] says
            // otherwise.
            kestrune::ReaderSetup reader;
            reader.tags = std::make_shared<kestrune::TagLibReader>();
            reader.library = ReadStationLibrarySettings(verb.station);
            return verb.run(args, reader);
        } catch (const kestrune::cli::UsageError& error) {
            PrintUsageError(error.text);
            return kExitError;
        } catch (const kestrune::KestruneError& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return kExitError;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return kExitError;
        }
    }
    PrintUsageError("unknown verb: " + std::string(name));
    return kExitError;
}
