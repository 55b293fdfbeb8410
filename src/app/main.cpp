// Kestrune, the desktop program: splash and sound, the windows, then the event loop.

#include <QApplication>

#include <csignal>
#include <exception>

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

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A write past the file-size limit fails and is shown like any failed write, instead of the
    // signal ending the program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication application(argc, argv);
    using namespace kestrune;
    app::ProgramWindows windows;
    try {
        ProgramFacts facts = ReadProgramFacts();
        facts.localConfigFile = ConfigFilePath(facts.programPath);
        const StationPlaces places = PlaceStation(facts, HowStarted(), true);
        app::StartupOptions options;
        options.startFolder = places.startFolder;
        options.iniPath = places.iniPath;
        InstallTagLibReader();
        SetLibrarySettings(ReadLibrarySettings(options.iniPath));
        windows = app::StartProgram(options);
    } catch (const std::exception& error) {
        // The splash is gone already; an error in the start-up ends the program.
        app::QtPrompts(nullptr).ShowError(error.what());
        return 1;
    }
    return application.exec();
}
