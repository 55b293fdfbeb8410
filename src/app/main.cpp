// Kestrune, the desktop program: splash and sound, the windows, then the event loop.

#include <QApplication>

#include <csignal>
#include <exception>

#include "QtPrompts.h"
#include "Startup.h"
#include "platform/Files.h"
#include "sessions/StationConfig.h"

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
        app::StartupOptions options;
        options.startFolder = CurrentDirectory();
        options.iniPath = ConfigFilePath(ExecutablePath());
        windows = app::StartProgram(options);
    } catch (const std::exception& error) {
        // The splash is gone already; an error in the start-up ends the program.
        app::QtPrompts(nullptr).ShowError(error.what());
        return 1;
    }
    return application.exec();
}
