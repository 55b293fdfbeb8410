#include "CliStation.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Verbs.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

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

namespace {
// The folder the tool was started in, kept once --station has moved the run elsewhere.
std::string& CallerFolder() {
    static std::string folder;
    return folder;
}
}  // namespace

void EnterStation(const std::string& folder) {
    const std::string caller = CurrentDirectory();
    std::error_code error;
    std::filesystem::current_path(ExpandFileName(folder), error);
    if (error) throw errors::CannotOpenFile(folder);
    CallerFolder() = caller;
}

std::string ArgumentPath(const std::string& argument) {
    if (CallerFolder().empty() || argument.empty()) return argument;
    return ExpandFileName(argument, CallerFolder(), kNativePathStyle);
}

StationPlaces CurrentStation() {
    StationPlaces places = PlaceStation(ReadProgramFacts(), StartedFrom::Folder, false);
    // Without its start folder (removed under the running shell, say) a station has no place
    // for its files: better stop than read and write them at the root of the file system.
    if (places.startFolder.empty()) throw errors::CannotOpenFile(".");
    return places;
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

CliStation::CliStation(std::optional<uint32_t> seed, const ReaderSetup& reader)
    : seeds_(MakeSeeds(seed, clock_)), context{session, view, prompts, *seeds_, clock_} {
    context.reader = reader;
    context.reader.askOnError = [this](const std::string& fileName) {
        return passOver.Ask(fileName);
    };
    // The station is the current folder; its settings are its own kestrune.ini over the
    // program's (in this tool's own folder, or the user's when installed system-wide).
    const StationPlaces places = CurrentStation();
    const SettingsFiles& ini = places.settings;
    folders = StartUp(ini, places.startFolder, session, schedule);
    context.settingsFiles = ini;
    context.historyFolder = &folders.sessions;
    // A setting that cannot be used keeps its default and is named; it stops no verb.
    std::vector<std::string> problems;
    context.rules = ReadRuleSettings(ini, &problems);
    context.timing = ReadTimingSettings(ini, &problems);
    context.rotation = ReadRotationSettings(ini, &problems);
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
    const std::string summary = passOver.Summary();
    if (!summary.empty()) std::fprintf(stderr, "%s\n", summary.c_str());
}

}  // namespace kestrune::cli
