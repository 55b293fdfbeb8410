// Kestrune, the desktop program: splash and sound, the windows, then the event loop.

#include <QApplication>
#include <QCommandLineParser>

#include <csignal>
#include <cstdio>
#include <optional>

#include "Startup.h"
#include "platform/Files.h"
#include "sessions/StationConfig.h"

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
    options.startFolder = CurrentDirectory();
    options.iniPath = ConfigFilePath(ExecutablePath());
    // An error in the start-up has shown its box once the splash was gone; it ends the program.
    const auto windows = app::StartProgramOrReport(options);
    if (!windows) return 1;
    return application.exec();
}
