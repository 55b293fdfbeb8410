#pragma once
// The program's one working window: navigation bar, six pages, menu, status line, meters,
// the auto build timer and the tray icon. It owns the station's model for the whole run.

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

#include <atomic>
#include <memory>

#include "AppContext.h"
#include "QtBuildView.h"
#include "RestingPrompts.h"
#include "ScheduledRunView.h"
#include "building/PassOverFiles.h"

class QSystemTrayIcon;

namespace kestrune::app {

class BuildPage;
class SchedulingPage;
class ListCreatorPage;
class WeekGridPage;
class OnAirPage;
class RotationPage;
class TfDMCA;
class TfGenre;
class TfRules;
class TfTiming;
class TfLibrary;
class TfDirectories;

// The auto build timer of the scheduler, on the user-interface thread.
class QtAutoBuildTimer : public AutoBuildTimer {
public:
    explicit QtAutoBuildTimer(QTimer& timer) : timer_(timer) {}
    void Start(int64_t milliseconds) override;
    void Stop() override { timer_.stop(); }
    bool IsOn() const override { return timer_.isActive(); }
    int64_t Interval() const override { return timer_.interval(); }

private:
    QTimer& timer_;
};

class TfMainForm : public QMainWindow {
    Q_OBJECT

public:
    // `prompts`: the boxes and dialogs to use; the real ones when null.
    TfMainForm(const std::string& startFolder, const std::string& iniPath,
               AppPrompts* prompts = nullptr, QWidget* parent = nullptr);
    ~TfMainForm() override;

    // The option windows, made after the main window and kept hidden until asked for.
    void AttachOptionWindows(TfDMCA* dupe, TfGenre* genre, TfDirectories* directories);
    void AttachRulesWindow(TfRules* rules);
    void AttachTimingWindow(TfTiming* timing);
    void AttachLibraryWindow(TfLibrary* library);

    AppContext& Context() { return *context_; }
    BuildSession& Session() { return session_; }
    Scheduler& AutoScheduler() { return scheduler_; }
    const StationFolders& Folders() const { return folders_; }

    // Says once, in a box, which settings of the configuration file could not be used and were
    // left at their defaults; nothing when all could. Called when the window is up, so that the
    // window that mends them can be reached.
    void SaySettingsProblems();

    // Runs a command under the application-wide error handler.
    void RunCommand(const std::function<void()>& command);
    // Re-reads every shown list and field from the model.
    void RefreshAll();
    void ShowPage(int page);
    QString StatusText() const { return StatusBar1->text(); }

    // Handlers.
    void SpeedButton5Click();  // Exit
    void SpeedButton6Click();  // Hide to System Tray
    void TrayMessage(int event);
    void Load1Click();
    void Save1Click();
    void DMCA1Click();
    void GenreChecker1Click();
    void Rules1Click();
    void Timing1Click();
    void Library1Click();
    void Directories1Click();
    void LoadDemoSession2Click();
    void timerAutoBuildTimer();
    // Before the window closes with a schedule armed or an unsaved build: quit, hide to the
    // tray or stay. True: the window may close.
    bool ConfirmQuit();
    // Before the final playlist is emptied while it holds an unsaved build. True: go on.
    bool ConfirmDropUnsavedBuild();
    // The model an unattended run builds in, apart from the operator's.
    const BuildSession& ScheduledSession() const { return runSession_; }

    // Controls other parts reach by name.
    QWidget* pNav = nullptr;
    QToolButton* sbBuildPlaylist = nullptr;
    QToolButton* sbAutoSchedule = nullptr;
    QToolButton* sbCreatePlaylist = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QStackedWidget* pcFormTabs = nullptr;
    BuildPage* tsBuildPlaylist = nullptr;
    SchedulingPage* tsScheduling = nullptr;
    ListCreatorPage* tsListCreator = nullptr;
    WeekGridPage* tsWeekGrid = nullptr;
    OnAirPage* tsOnAir = nullptr;
    RotationPage* tsRotation = nullptr;
    QLabel* StatusBar1 = nullptr;
    QTimer timerAutoBuild;
    QSystemTrayIcon* trayIcon = nullptr;
    QAction* BuildTemplate1 = nullptr;
    QAction* AutoScheduler1 = nullptr;
    QAction* QuickListMaker1 = nullptr;
    QAction* WeekGrid1 = nullptr;
    QAction* OnAir1 = nullptr;
    QAction* Rotation1 = nullptr;
    QAction* Load1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* LoadWeekGrid1 = nullptr;
    QAction* SaveWeekGrid1 = nullptr;
    QAction* DMCA1 = nullptr;
    QAction* GenreChecker1 = nullptr;
    QAction* Rules1 = nullptr;
    QAction* Timing1 = nullptr;
    QAction* Library1 = nullptr;
    QAction* Directories1 = nullptr;
    QAction* LoadDemoSession2 = nullptr;
    QAction* BuildKey = nullptr;  // Ctrl+B: "Build Playlist!" from anywhere in the window

    TfDMCA* fDMCA = nullptr;
    TfGenre* fGenre = nullptr;
    TfRules* fRules = nullptr;
    TfTiming* fTiming = nullptr;
    TfLibrary* fLibrary = nullptr;
    TfDirectories* fDirectories = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<std::string> settingsProblems_;  // said once the window is up
    void BuildNavigation();
    void BuildMenu();
    void BuildTrayIcon();
    void OnListChanged(ShownList list);
    // The title names the session file the model came from (empty: none, or not saved).
    void ShowOpenSession(const std::string& path);

    std::unique_ptr<AppPrompts> ownPrompts_;
    std::unique_ptr<RestingPrompts> restingPrompts_;
    AppPrompts* prompts_;
    std::unique_ptr<PassOverFiles> passOver_;  // the reader's question over one command
    std::atomic<bool> stopRequest_{false};     // Esc during a command that can stop
    int commandDepth_ = 0;     // commands running, nested ones included
    bool timerWaiting_ = false;  // the auto build timer fired while a command was mid-way
    SystemClock clock_;
    ClockSeeds seeds_{clock_};
    BuildSession session_;
    StationFolders folders_;
    QtAutoBuildTimer autoTimer_{timerAutoBuild};
    Scheduler scheduler_{autoTimer_};
    SaveQuestion sdSaveSessions_;
    SaveQuestion sdSavePlaylist_;
    std::unique_ptr<QtBuildView> view_;
    std::unique_ptr<BuildContext> build_;
    std::unique_ptr<AppContext> context_;
    BuildSession runSession_;
    std::unique_ptr<ScheduledRunView> runView_;
    std::unique_ptr<BuildContext> runBuild_;
    bool quitConfirmed_ = false;  // Exit asked already: the close that follows does not ask again
};

}  // namespace kestrune::app
