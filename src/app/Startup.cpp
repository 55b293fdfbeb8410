#include "Startup.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QIcon>
#include <QWindow>

#include <exception>

#include "QtPrompts.h"

namespace kestrune::app {

namespace {

// Lets the window system map the splash, then paints it at once: the window creation that
// follows handles no events, and the splash must not sit there blank meanwhile.
void ShowAndPaint(TSplashScreen& splash) {
    splash.show();
    QDeadlineTimer deadline(1000);
    while (!deadline.hasExpired() && splash.windowHandle() != nullptr &&
           !splash.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    splash.repaint();
}

class CloseQuitsFilter : public QObject {
public:
    CloseQuitsFilter(QWidget& window, std::function<void()> quit)
        : QObject(&window), window_(window), quit_(std::move(quit)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Close) {
            // Decide once the window has handled the close: a refused close keeps it up.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!window_.isVisible()) quit_();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget& window_;
    std::function<void()> quit_;
};

}  // namespace

void QuitWhenClosed(QWidget& mainWindow, std::function<void()> quit) {
    // Qt's own rule would end the program when the last visible window closes, for example an
    // option window while the main window waits in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    mainWindow.installEventFilter(new CloseQuitsFilter(mainWindow, std::move(quit)));
}

ProgramWindows StartProgram(const StartupOptions& options) {
    ProgramWindows windows;
    auto step = [&](StartupStep done, TSplashScreen* splash) {
        if (options.onStep) options.onStep(done, splash, windows);
    };

    auto splash = std::make_unique<TSplashScreen>(options.splashMilliseconds, options.soundResource,
                                                  options.splashTiming);
    ShowAndPaint(*splash);
    step(StartupStep::SplashShown, splash.get());

    QApplication::setApplicationName("Kestrune");
    QApplication::setDesktopFileName("kestrune");
    QApplication::setWindowIcon(QIcon(":/icons/kestrune.svg"));
    step(StartupStep::TitleSet, splash.get());

    windows.fMainForm =
        std::make_unique<TfMainForm>(options.startFolder, options.iniPath, options.prompts);
    step(StartupStep::MainFormCreated, splash.get());
    windows.fDMCA = std::make_unique<TfDMCA>(windows.fMainForm->Context());
    step(StartupStep::DupeCheckerCreated, splash.get());
    windows.fGenre = std::make_unique<TfGenre>(windows.fMainForm->Context());
    step(StartupStep::GenreCheckerCreated, splash.get());
    windows.fRules = std::make_unique<TfRules>(windows.fMainForm->Context());
    windows.fMainForm->AttachRulesWindow(windows.fRules.get());
    windows.fTiming = std::make_unique<TfTiming>(windows.fMainForm->Context());
    windows.fMainForm->AttachTimingWindow(windows.fTiming.get());
    windows.fLibrary = std::make_unique<TfLibrary>(windows.fMainForm->Context());
    windows.fMainForm->AttachLibraryWindow(windows.fLibrary.get());
    windows.fDirectories = std::make_unique<TfDirectories>(windows.fMainForm->Context());
    windows.fMainForm->AttachOptionWindows(windows.fDMCA.get(), windows.fGenre.get(),
                                           windows.fDirectories.get());
    step(StartupStep::DirectoriesCreated, splash.get());

    // Nothing was handled while the windows were made, so a tick that came meanwhile is handled
    // here: the splash stays for the later of its time and the end of the creation.
    while (!splash->CloseQuery()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    step(StartupStep::SplashAgreed, splash.get());

    splash->close();
    splash.reset();
    step(StartupStep::SplashDestroyed, nullptr);

    QuitWhenClosed(*windows.fMainForm, options.quit);
    windows.fMainForm->ShowPage(0);
    windows.fMainForm->show();
    step(StartupStep::MainFormShown, nullptr);
    windows.fMainForm->SaySettingsProblems();
    return windows;
}

std::optional<ProgramWindows> StartProgramOrReport(const StartupOptions& options) {
    try {
        return StartProgram(options);
    } catch (const std::exception& error) {
        if (options.prompts != nullptr) {
            options.prompts->ShowError(error.what());
        } else {
            QtPrompts(nullptr).ShowError(error.what());
        }
        return std::nullopt;
    }
}

}  // namespace kestrune::app
