#pragma once
// The program's start-up: splash and sound, the application title, the windows in their order,
// the wait for the splash, then the main window with the build page in front.

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "MainForm.h"
#include "OptionWindows.h"
#include "SplashScreen.h"
#include "TimingWindow.h"

class QApplication;

namespace kestrune::app {

// The points of the start-up, each reported when it is done.
enum class StartupStep {
    SplashShown,          // made (sound and timer started), shown and painted
    TitleSet,             // the application is called "Kestrune"
    MainFormCreated,      // configuration read, start-up files loaded, tray icon added
    DupeCheckerCreated,   // TfDMCA, hidden
    GenreCheckerCreated,  // TfGenre, hidden
    DirectoriesCreated,   // TfDirectories, hidden
    SplashAgreed,         // its timer has ticked and every window exists
    SplashDestroyed,
    MainFormShown,  // the build page in front; the event loop comes next
};

// The windows that live for the whole run. The option windows show the main window's model,
// so they go first (members are destroyed in reverse order).
struct ProgramWindows {
    std::unique_ptr<TfMainForm> fMainForm;
    std::unique_ptr<TfDMCA> fDMCA;
    std::unique_ptr<TfGenre> fGenre;
    std::unique_ptr<TfRules> fRules;
    std::unique_ptr<TfTiming> fTiming;
    std::unique_ptr<TfLibrary> fLibrary;
    std::unique_ptr<TfDirectories> fDirectories;
};

struct StartupOptions {
    std::string startFolder;  // the current folder
    std::string iniPath;      // the configuration file beside the program
    int splashMilliseconds = kSplashMilliseconds;
    SplashTiming splashTiming = SplashTiming::Timed;
    QString soundResource = kStartupSound;
    AppPrompts* prompts = nullptr;  // the real boxes when null
    // Ends the program once the main window is closed.
    std::function<void()> quit = [] { QCoreApplication::quit(); };
    // Sees every step as it ends, with what exists so far (the splash until it is destroyed).
    std::function<void(StartupStep, TSplashScreen*, const ProgramWindows&)> onStep;
};

// Runs the start-up up to the event loop: the main window is shown when this returns. The
// splash is destroyed on the way out, also when an error ends the start-up.
ProgramWindows StartProgram(const StartupOptions& options);

// The start-up as the program runs it: the windows, or nothing when an error ended the
// start-up. Its box (through `options.prompts`; the real boxes when null) shows once the splash
// is gone, and the program then ends.
std::optional<ProgramWindows> StartProgramOrReport(const StartupOptions& options);

// Closing `mainWindow` ends the program, whatever other window is still open; closing an
// option window never does, also while the main window is hidden in the tray.
void QuitWhenClosed(QWidget& mainWindow, std::function<void()> quit);

}  // namespace kestrune::app
