// Kestrune, the desktop program: splash and sound, the windows, then the event loop.

#include <QApplication>
#include <QCommandLineParser>

#include <csignal>
#include <cstdio>
#include <optional>

#include "QtPrompts.h"
#include "Startup.h"
#include "TagLibReader.h"
#include "platform/Files.h"
#include "sessions/StationConfig.h"
#include "sessions/StationPlaces.h"
#include "tags/LibrarySettings.h"

namespace {

// The desktop menu's entry starts the program with --station: it then works in the user's
// station folder rather than the folder the menu happens to start it in (the home folder).
kestrune::StartedFrom HowStarted() {
    return QCoreApplication::arguments().contains(QStringLiteral("--station"))
               ? kestrune::StartedFrom::Menu
               : kestrune::StartedFrom::Folder;
}

}  // namespace

namespace {

// --help and --version answer on standard output and end the program before any window, and
// without a display. Anything else on the command line is left to Qt.
std::optional<int> AnswerCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Playlists for a format-based internet radio station, built from category playlists "
        "and a clock template. Start it in the station folder.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        "station", "Work in the user's station folder (~/Kestrune or the last one used), as the "
                   "desktop menu's entry starts the program, not in the current folder."));
    parser.parse(arguments);  // Qt's own options (-platform, -style ...) are no error here
    if (!parser.isSet(help) && !parser.isSet(version)) return std::nullopt;
    // An application object without windows: the help names the program from it.
    QCoreApplication answering(argc, argv);
    QCoreApplication::setApplicationName("Kestrune");
    QCoreApplication::setApplicationVersion(KESTRUNE_VERSION);
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
    } else {
        std::printf("Kestrune %s\n", KESTRUNE_VERSION);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A write past the file-size limit fails and is shown like any failed write, instead of the
    // signal ending the program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    if (const auto answered = AnswerCommandLine(argc, argv)) return *answered;
    QApplication application(argc, argv);
    using namespace kestrune;
    app::StartupOptions options;
    try {
        ProgramFacts facts = ReadProgramFacts();
        facts.localConfigFile = ConfigFilePath(facts.programPath);
        const StationPlaces places = PlaceStation(facts, HowStarted(), true);
        options.startFolder = places.startFolder;
        options.iniPath = places.iniPath;
    } catch (const std::exception& error) {
        app::QtPrompts(nullptr).ShowError(error.what());
        return 1;
    }
    // An error in the start-up has shown its box once the splash was gone; it ends the program.
    const auto windows = app::StartProgramOrReport(options);
    if (!windows) return 1;
    return application.exec();
}
