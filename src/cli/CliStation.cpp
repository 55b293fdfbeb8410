#include "CliStation.h"

#include <algorithm>
#include <cstdio>

#include "Verbs.h"
#include "mpgtools/ReaderHooks.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "sessions/StationPlaces.h"

namespace kestrune::cli {

void PrintingView::ShowStatus(const std::string& text) {
    HeadlessView::ShowStatus(text);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintingView::ReportProblem(const std::string& text) {
    HeadlessView::ReportProblem(text);
    // Said once a run: a week loads a session with a bad line for every one of its hours.
    if (!said_.insert(text).second) return;
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text.c_str());
}

int UnattendedPrompts::AskOpenError(const std::string& fileName) {
    std::fprintf(stderr, "Error openning file: %s\n", fileName.c_str());
    return kAnswerIgnore;
}

std::optional<std::string> UnattendedPrompts::AskSaveFileName(const SaveQuestion& question) {
    return JoinPath(question.initialFolder, ExtractFileName(question.proposedName));
}

std::string ConfigPath() {
    return ExtractFilePath(ExecutablePath()) + "kestrune.ini";
}

std::optional<uint32_t> TakeSeedOption(std::vector<std::string>& args) {
    const auto found = std::find(args.begin(), args.end(), "--seed");
    if (found != args.end() && found + 1 == args.end()) throw UsageError{"--seed needs a number"};
    const std::optional<std::string> seed = TakeValue(args, "--seed");
    if (!seed) return std::nullopt;
    return static_cast<uint32_t>(StrToInt(*seed));
}

namespace {
std::unique_ptr<ShuffleSeeds> MakeSeeds(std::optional<uint32_t> seed, const Clock& clock) {
    if (seed) return std::make_unique<CountingSeeds>(*seed);
    return std::make_unique<ClockSeeds>(clock);
}
}  // namespace

CliStation::CliStation(std::optional<uint32_t> seed)
    : seeds_(MakeSeeds(seed, clock_)), context{session, view, prompts, *seeds_, clock_} {
    SetOpenErrorHandler([this](const std::string& fileName) { return passOver.Ask(fileName); });
    // The program's configuration file: in this tool's own folder, or the user's when the
    // tool is installed system-wide. The station is always the current folder.
    const StationPlaces places = PlaceStation(ReadProgramFacts(), StartedFrom::Folder, false);
    const std::string& ini = places.iniPath;
    const std::string& start = places.startFolder;
    // Without its start folder (removed under the running shell, say) a station has no place
    // for its files: better stop than read and write them at the root of the file system.
    if (start.empty()) throw errors::CannotOpenFile(".");
    folders = StartUp(ini, start, session, schedule);
    context.iniPath = ini;
    context.historyFolder = &folders.sessions;
    // A setting that cannot be used keeps its default and is named; it stops no verb.
    std::vector<std::string> problems;
    context.rules = ReadRuleSettings(ini, &problems);
    context.timing = ReadTimingSettings(ini, &problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
}

void CliStation::Lock(const std::string& job) {
    lock_ = std::make_unique<StationLock>(folders.sessions, job, StationLockWait(),
                                          [](const std::string& text) {
                                              std::fflush(stdout);
                                              std::fprintf(stderr, "%s\n", text.c_str());
                                          });
}

CliStation::~CliStation() {
    SetOpenErrorHandler(nullptr);
    const std::string summary = passOver.Summary();
    if (!summary.empty()) std::fprintf(stderr, "%s\n", summary.c_str());
}

}  // namespace kestrune::cli
