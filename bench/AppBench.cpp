// The desktop program: its start-up to the main window shown (the splash's five seconds left
// out: the splash is made, shown and painted, but its timer is set to 0), each start a fresh
// process; and the "By Folder" page opening a folder of 10,000 MP3 files and saving it as a
// playlist. Runs on the window system Qt finds; offscreen when there is no display.

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "BuildPage.h"
#include "ListCreatorPage.h"
#include "MainForm.h"
#include "Mp3Synth.h"
#include "OptionWindows.h"
#include "Rounds.h"
#include "Startup.h"
#include "building/BuildCommand.h"

extern char** environ;

namespace {

using namespace kestrune;
using namespace kestrune::bench;

int64_t MonotonicNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

class BenchPrompts : public app::AppPrompts {
public:
    void ShowMessage(const std::string&) override {}
    void ShowError(const std::string& text) override {
        std::fprintf(stderr, "error: %s\n", text.c_str());
    }
    int AskOpenError(const std::string&) override { return kAnswerIgnore; }
    std::optional<std::string> AskSaveFileName(const SaveQuestion&) override { return saveAnswer; }
    std::vector<std::string> AskOpenFileNames(const app::OpenQuestion&) override { return {}; }
    int AskChoice(const std::string&, const std::vector<std::string>& buttons) override {
        return static_cast<int>(buttons.size()) - 1;
    }
    std::optional<SlotTimeAnswer> AskSlotTime(const std::string&,
                                              const std::optional<SlotTime>&) override {
        return std::nullopt;  // cancelled
    }
    std::optional<std::string> saveAnswer;
};

// A station folder: playlists and sessions folders, as the program finds them at start.
const ScratchFolder& StartFolder() {
    static ScratchFolder folder("app");
    static const bool made = [] {
        std::filesystem::create_directories(folder / "Playlists");
        std::filesystem::create_directories(folder / "Sessions");
        return true;
    }();
    (void)made;
    return folder;
}

// The child: starts the program as main() does, without the splash's wait, and prints the
// nanoseconds from the parent's spawn to the main window shown and painted.
int StartOnce(int argc, char** argv) {
    const int64_t spawned = std::atoll(argv[2]);
    const std::string folder = argv[3];
    QApplication application(argc, argv);
    BenchPrompts prompts;
    app::StartupOptions options;
    options.startFolder = folder;
    options.iniPath = folder + "/kestrune.ini";
    options.splashMilliseconds = 0;
    options.prompts = &prompts;
    options.quit = [] {};
    // When each step of the start-up was done, from the spawn.
    int64_t applicationMade = MonotonicNanoseconds() - spawned;
    int64_t splashShown = 0;
    int64_t mainFormCreated = 0;
    int64_t windowsCreated = 0;
    options.onStep = [&](app::StartupStep step, app::TSplashScreen*, const app::ProgramWindows&) {
        const int64_t now = MonotonicNanoseconds() - spawned;
        if (step == app::StartupStep::SplashShown) splashShown = now;
        if (step == app::StartupStep::MainFormCreated) mainFormCreated = now;
        if (step == app::StartupStep::DirectoriesCreated) windowsCreated = now;
    };
    app::ProgramWindows windows = app::StartProgram(options);
    QWidget& form = *windows.fMainForm;
    QDeadlineTimer deadline(10000);
    while ((form.windowHandle() == nullptr || !form.windowHandle()->isExposed()) &&
           !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    form.repaint();
    const int64_t shown = MonotonicNanoseconds();
    std::printf("%s %lld %lld %lld %lld %lld\n",
                QGuiApplication::platformName().toLocal8Bit().constData(),
                static_cast<long long>(shown - spawned), static_cast<long long>(applicationMade),
                static_cast<long long>(splashShown), static_cast<long long>(mainFormCreated),
                static_cast<long long>(windowsCreated));
    std::fflush(stdout);
    std::_Exit(0);  // the windows' teardown is not part of the start
}

// One start: seconds from the spawn to the main window shown, and to the steps before it.
struct StartTimes {
    std::string platform;
    double shown = -1, application = 0, splash = 0, mainForm = 0, windows = 0;
};

StartTimes TimeOneStart() {
    StartTimes times;
    int out[2];
    if (::pipe(out) != 0) return times;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const int64_t start = MonotonicNanoseconds();
    std::string startText = std::to_string(start);
    std::string folder = StartFolder().Path();
    std::string flag = "--start-once";
    char* args[] = {const_cast<char*>(self.c_str()), flag.data(), startText.data(), folder.data(),
                    nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    ::close(out[0]);
    if (spawned != 0) return times;
    int status = 0;
    ::waitpid(child, &status, 0);
    char name[64] = {};
    long long ns[5] = {};
    if (std::sscanf(text.c_str(), "%63s %lld %lld %lld %lld %lld", name, &ns[0], &ns[1], &ns[2],
                    &ns[3], &ns[4]) != 6)
        return times;
    times.platform = name;
    times.shown = static_cast<double>(ns[0]) / 1e9;
    times.application = static_cast<double>(ns[1]) / 1e9;
    times.splash = static_cast<double>(ns[2]) / 1e9;
    times.mainForm = static_cast<double>(ns[3]) / 1e9;
    times.windows = static_cast<double>(ns[4]) / 1e9;
    return times;
}

// Each start is a fresh process; the figure is the child's own: spawn to the main window
// painted. The steps on the way are reported beside it.
void BM_StartUp(benchmark::State& state) {
    TimeOneStart();  // the libraries into the cache, the station folder made
    std::vector<StartTimes> starts;
    for (auto _ : state) {
        starts.push_back(TimeOneStart());
        if (starts.back().shown < 0) state.SkipWithError("the start failed");
    }
    auto median = [&](double StartTimes::*field) {
        std::vector<double> values;
        for (const StartTimes& start : starts) values.push_back(start.*field);
        return Median(values);
    };
    state.counters["Kestrune s"] = median(&StartTimes::shown);
    state.counters["application made s"] = median(&StartTimes::application);
    state.counters["splash shown s"] = median(&StartTimes::splash);
    state.counters["main window made s"] = median(&StartTimes::mainForm);
    state.counters["all windows made s"] = median(&StartTimes::windows);
    state.SetLabel(starts.empty() ? "" : starts.front().platform);
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(11);

// "By Folder": open a folder of 10,000 MP3 files (the file list filled and painted), then
// "Save As Playlist".
void BM_QuickListPage(benchmark::State& state) {
    const ScratchFolder& station = StartFolder();
    const std::string music = station / "Music";
    std::filesystem::create_directories(music);
    const std::string bytes(2048, '\0');
    for (int i = 0; i < 10000; ++i)
        synth::WriteFile(
            music + "/Artist " + std::to_string(i % 300) + " - Song " + std::to_string(i) + ".mp3",
            bytes);
    BenchPrompts prompts;
    prompts.saveAnswer = station / "Playlists/quick.m3u";
    app::TfMainForm form(station.Path(), station / "kestrune.ini", &prompts);
    form.ShowPage(2);
    form.tsListCreator->PageControl1->setCurrentWidget(form.tsListCreator->tsByFolder);
    form.show();
    QCoreApplication::processEvents();
    app::ListCreatorPage& page = *form.tsListCreator;
    const QString folder = QString::fromLocal8Bit(music.c_str());
    RunRounds(state, {{"open",
                       [&] {
                           page.OpenFolder(folder);
                           QCoreApplication::processEvents();
                       }},
                      {"save", [&] { page.SaveAsListClick(); }}});
    if (page.FileListBox1->count() != 10000) state.SkipWithError("not every file was listed");
    state.counters["files"] = page.FileListBox1->count();
}
BENCHMARK(BM_QuickListPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

// The 24-hour build of the build benchmark (seven categories of 5,000 songs, both checks on)
// pressed on the build page, the status line and the meters painted as it goes; beside it the
// same build without a window, in turn.
void BM_DayBuildPage(benchmark::State& state) {
    static ScratchFolder folder("app-build");
    const kestrune::bench::Station station(folder.Path(), 5000);
    BenchPrompts prompts;
    app::TfMainForm form(folder.Path(), folder / "kestrune.ini", &prompts);
    form.ShowPage(0);
    form.show();
    QCoreApplication::processEvents();
    app::BuildPage& page = *form.tsBuildPlaylist;
    BuildSession headless;
    HeadlessView view;
    QuietPrompts quiet;
    FixedClock clock;
    RunRounds(state, {{"page",
                       [&] {
                           page.btBuildPlaylistClick();
                           QCoreApplication::processEvents();
                       },
                       [&] {
                           station.Prepare(5000, form.Session());
                           form.RefreshAll();
                           page.ComboBox1->setCurrentText("1440");
                           QCoreApplication::processEvents();
                       }},
                      {"headless",
                       [&] {
                           CountingSeeds seeds(7);
                           BuildContext context{headless, view, quiet, seeds, clock};
                           btBuildPlaylistClick(context);
                       },
                       [&] { station.Prepare(5000, headless); }}});
    if (form.Session().lbFinalPlaylist.size() < 500)
        state.SkipWithError("the build on the page did not complete");
    state.counters["songs placed"] = static_cast<double>(form.Session().lbFinalPlaylist.size());
    state.SetLabel(QGuiApplication::platformName().toStdString());
}
BENCHMARK(BM_DayBuildPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "--start-once") return StartOnce(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
