#include "MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

#include "BuildPage.h"
#include "EscStops.h"
#include "ListCreatorPage.h"
#include "OptionWindows.h"
#include "QtPrompts.h"
#include "SchedulingPage.h"
#include "TimingWindow.h"
#include "OnAirPage.h"
#include "RotationPage.h"
#include "WeekGridPage.h"
#include "listtools/QuickList.h"
#include "TagLibReader.h"
#include "mpgtools/ReaderSetup.h"
#include "platform/KestruneError.h"
#include "rules/RuleSettings.h"
#include "platform/Paths.h"
#include "sessions/DemoSession.h"
#include "sessions/ScheduleSettings.h"
#include "sessions/SessionFile.h"
#include "sessions/StationPlaces.h"
#include "tags/LibrarySettings.h"
#include "timing/TimingSettings.h"

namespace kestrune::app {

namespace {

const QColor kPaleYellow(0xFF, 0xFF, 0xD2);
const QColor kSteelBlue(0x3A, 0x6E, 0xA5);

QToolButton* NavButton(QWidget* parent, const char* icon, const char* hint, int width) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(32, 32));
    button->setToolTip(hint);
    button->setFixedSize(width, 37);
    return button;
}

}  // namespace

void QtAutoBuildTimer::Start(int64_t milliseconds) {
    // A countdown of 0 fires as soon as the event loop is free: the run starts at once.
    timer_.start(static_cast<int>(milliseconds));
}

TfMainForm::TfMainForm(const std::string& startFolder, const std::string& iniPath,
                       AppPrompts* prompts, QWidget* parent)
    : QMainWindow(parent) {
    // The configuration step: folders, start-up master playlists and the schedule. It comes
    // first, before anything outlives a failed creation: a start-up file that cannot be read
    // ends the start-up, and with it the program (a window without its folders would write at
    // the file-system root).
    // The station's own kestrune.ini wins over the program's, key by key.
    const SettingsFiles settings = StationSettingsFiles(startFolder, iniPath);
    folders_ = StartUp(settings, startFolder, session_, scheduler_.lbSchedule);
    if (prompts == nullptr) {
        ownPrompts_ = std::make_unique<QtPrompts>(this);
        prompts = ownPrompts_.get();
    }
    restingPrompts_ = std::make_unique<RestingPrompts>(*prompts);
    prompts_ = restingPrompts_.get();
    // The reader takes every tag and format through TagLib unless [Library] says otherwise. It
    // asks through our box when a file cannot be read, and keeps the window alive while it
    // crosses long stretches without audio. Esc sets the stop request.
    passOver_ = std::make_unique<PassOverFiles>(*prompts_);
    ReaderSetup reader;
    reader.tags = std::make_shared<TagLibReader>();
    reader.library = ReadLibrarySettings(settings);
    reader.askOnError = [this](const std::string& fileName) { return passOver_->Ask(fileName); };
    // Clicks wait until the command ends: a build must not see its lists changed under it. A
    // command that Esc can stop takes the keys in, and drops all but Esc.
    reader.pump = [] {
        QCoreApplication::processEvents(EscStops::Active() ? QEventLoop::AllEvents
                                                           : QEventLoop::ExcludeUserInputEvents);
    };
    reader.stop = &stopRequest_;
    view_ = std::make_unique<QtBuildView>(
        ViewHooks{[this](int i) { tsBuildPlaylist->SelectMasterPlaylist(i); },
                  [this](int i) { tsBuildPlaylist->SelectTemplateSlot(i); },
                  [this](int i) { tsScheduling->SelectScheduleEntry(i); },
                  [this](ShownList list) { OnListChanged(list); }});
    build_ = std::make_unique<BuildContext>(
        BuildContext{session_, *view_, *prompts_, seeds_, clock_, settings, &folders_.sessions});
    // The builds take their settings from here; the option windows keep them as they save them.
    build_->rules = ReadRuleSettings(settings, &settingsProblems_);
    build_->timing = ReadTimingSettings(settings, &settingsProblems_);
    build_->reader = reader;
    build_->rotation = ReadRotationSettings(settings, &settingsProblems_);
    runView_ = std::make_unique<ScheduledRunView>(*view_);
    runBuild_ = std::make_unique<BuildContext>(BuildContext{
        runSession_, *runView_, *prompts_, seeds_, clock_, settings, &folders_.sessions});
    runBuild_->reader = std::move(reader);
    context_ = std::make_unique<AppContext>(AppContext{
        session_, *view_, *prompts_, *build_, folders_, scheduler_, sdSaveSessions_, sdSavePlaylist_,
        settings, stopRequest_,
        [this](const std::function<void()>& command) { RunCommand(command); },
        [this](int page) { ShowPage(page); }, [this] { RefreshAll(); }});

    scheduler_.scheduleFolder = folders_.schedule;
    scheduler_.clock = &clock_;
    sdSaveSessions_ = SessionSaveDialog(folders_.sessions);
    sdSavePlaylist_ = PlaylistSaveDialog(folders_.playlists);

    ShowOpenSession("");
    setWindowIcon(QIcon(":/icons/kestrune.svg"));
    resize(784, 559);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
    setPalette(palette);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildNavigation();
    layout->addWidget(pNav);

    auto* pMain = new QFrame(central);
    pMain->setObjectName("pMain");
    pMain->setStyleSheet(QString("#pMain { border: 2px solid %1; }").arg(kSteelBlue.name()));
    auto* mainLayout = new QVBoxLayout(pMain);
    mainLayout->setContentsMargins(2, 2, 2, 2);
    pcFormTabs = new QStackedWidget(pMain);
    tsBuildPlaylist = new BuildPage(*context_, pcFormTabs);
    tsScheduling = new SchedulingPage(*context_, pcFormTabs);
    tsListCreator = new ListCreatorPage(*context_, pcFormTabs);
    pcFormTabs->addWidget(tsBuildPlaylist);
    pcFormTabs->addWidget(tsScheduling);
    pcFormTabs->addWidget(tsListCreator);
    tsWeekGrid = new WeekGridPage(*context_, pcFormTabs);
    pcFormTabs->addWidget(tsWeekGrid);
    tsOnAir = new OnAirPage(*context_, pcFormTabs);
    pcFormTabs->addWidget(tsOnAir);
    tsRotation = new RotationPage(*context_, pcFormTabs);
    pcFormTabs->addWidget(tsRotation);
    mainLayout->addWidget(pcFormTabs);
    // What the status said belongs to the page it was said on.
    connect(pcFormTabs, &QStackedWidget::currentChanged, this, [this] {
        if (view_ != nullptr) view_->ShowStatus("");
    });
    layout->addWidget(pMain, 1);
    setCentralWidget(central);

    StatusBar1 = new QLabel(this);
    statusBar()->addWidget(StatusBar1, 1);
    statusBar()->setFixedHeight(22);
    statusBar()->setSizeGripEnabled(true);
    view_->Attach(StatusBar1, tsBuildPlaylist->Meters());

    BuildMenu();
    timerAutoBuild.setSingleShot(false);
    connect(&timerAutoBuild, &QTimer::timeout, this, [this] { timerAutoBuildTimer(); });
    timerAutoBuild.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire early by 5%
    BuildTrayIcon();
    // The daily run as the operator left it goes on.
    const ScheduleSettings kept = ReadScheduleSettings(settings);
    scheduler_.ComboBox2 = kept.startHour;
    if (kept.running) {
        if (scheduler_.ResumeDaily(kept.startHour, clock_)) {
            view_->ShowStatus("Auto Build Initiated");
        } else {
            // Never stopped without a word: the operator left it running.
            view_->ShowStatus(DailyRunNotResumedText(kept.startHour, scheduler_.lbSchedule.Empty()));
        }
    }
    RefreshAll();
    ShowPage(0);
}

void TfMainForm::SaySettingsProblems() {
    if (settingsProblems_.empty()) return;
    std::string text;
    for (const std::string& problem : settingsProblems_) text += problem + "\n";
    settingsProblems_.clear();
    view_->ShowStatus("Some settings could not be used and were left at their defaults.");
    prompts_->ShowMessage(text + "Config > Rules and Config > Timing set them again.");
}

TfMainForm::~TfMainForm() = default;

void TfMainForm::BuildNavigation() {
    pNav = new QWidget(this);
    pNav->setObjectName("pNav");
    pNav->setFixedHeight(41);
    pNav->setAutoFillBackground(true);
    QPalette palette = pNav->palette();
    palette.setColor(QPalette::Window, kPaleYellow);
    pNav->setPalette(palette);
    auto* row = new QHBoxLayout(pNav);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);
    sbBuildPlaylist = NavButton(pNav, ":/icons/hammer.svg", "Build Clock Template", 50);
    sbAutoSchedule = NavButton(pNav, ":/icons/clock-calendar.svg", "Auto Scheduling", 46);
    sbCreatePlaylist = NavButton(pNav, ":/icons/list-lightning.svg", "Quick List Maker", 46);
    SpeedButton6 = NavButton(pNav, ":/icons/figure-hat.svg", "Hide to System Tray", 47);
    SpeedButton5 = NavButton(pNav, ":/icons/no-entry.svg", "Exit", 42);
    row->addWidget(sbBuildPlaylist);
    row->addWidget(sbAutoSchedule);
    row->addWidget(sbCreatePlaylist);
    row->addStretch(1);
    row->addWidget(SpeedButton6);
    row->addWidget(SpeedButton5);
    connect(sbBuildPlaylist, &QToolButton::clicked, this, [this] { ShowPage(0); });
    connect(sbAutoSchedule, &QToolButton::clicked, this, [this] { ShowPage(1); });
    connect(sbCreatePlaylist, &QToolButton::clicked, this, [this] { ShowPage(2); });
    connect(SpeedButton6, &QToolButton::clicked, this, [this] { SpeedButton6Click(); });
    connect(SpeedButton5, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });
}

void TfMainForm::BuildMenu() {
    QMenu* tools = menuBar()->addMenu("&Tools");
    BuildTemplate1 = tools->addAction("&Build Clock Template", this, [this] { ShowPage(0); });
    AutoScheduler1 = tools->addAction("&Auto Scheduler", this, [this] { ShowPage(1); });
    QuickListMaker1 = tools->addAction("&Quick List Maker", this, [this] { ShowPage(2); });
    WeekGrid1 = tools->addAction("&Week Grid", this, [this] { ShowPage(3); });
    OnAir1 = tools->addAction("&On Air", this, [this] { ShowPage(4); });
    Rotation1 = tools->addAction("&Rotation", this, [this] { ShowPage(5); });
    QMenu* sessions = menuBar()->addMenu("&Sessions");
    Load1 = sessions->addAction("&Load session", this, [this] { Load1Click(); });
    Save1 = sessions->addAction("S&ave session as...", this, [this] { Save1Click(); });
    // Keys for the commands of every session; the menus' underlined letters stay as they are.
    Load1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    BuildKey = new QAction(this);
    BuildKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    addAction(BuildKey);
    connect(BuildKey, &QAction::triggered, this, [this] {
        ShowPage(0);
        tsBuildPlaylist->btBuildPlaylistClick();
    });
    sessions->addSeparator();
    LoadWeekGrid1 = sessions->addAction("Load &week grid...", this, [this] {
        tsWeekGrid->LoadGrid();
    });
    SaveWeekGrid1 = sessions->addAction("Save week &grid as...", this, [this] {
        tsWeekGrid->SaveGrid();
    });
    QMenu* config = menuBar()->addMenu("&Config");
    DMCA1 = config->addAction("D&upe Checker", this, [this] { DMCA1Click(); });
    GenreChecker1 = config->addAction("&Genre Checker", this, [this] { GenreChecker1Click(); });
    Rules1 = config->addAction("&Rules", this, [this] { Rules1Click(); });
    Timing1 = config->addAction("&Timing", this, [this] { Timing1Click(); });
    Library1 = config->addAction("&Library and Output", this, [this] { Library1Click(); });
    Directories1 = config->addAction("Set Directories", this, [this] { Directories1Click(); });
    QMenu* demo = menuBar()->addMenu("&Demo");
    LoadDemoSession2 = demo->addAction("&Load Demo Session", this, [this] { LoadDemoSession2Click(); });
}

void TfMainForm::BuildTrayIcon() {
    trayIcon = new QSystemTrayIcon(QIcon(":/icons/kestrune.svg"), this);
    trayIcon->setToolTip("Kestrune");
    connect(trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) TrayMessage(513);
        if (reason == QSystemTrayIcon::Context) TrayMessage(516);
    });
    trayIcon->show();
}

void TfMainForm::AttachOptionWindows(TfDMCA* dupe, TfGenre* genre, TfDirectories* directories) {
    fDMCA = dupe;
    fGenre = genre;
    fDirectories = directories;
    RefreshAll();
}

void TfMainForm::RunCommand(const std::function<void()>& command) {
    if (commandDepth_ == 0) {
        passOver_->Reset();
        // An old message must never read as this command's.
        view_->ShowStatus("");
    }
    ++commandDepth_;
    try {
        command();
        RefreshAll();
    } catch (const std::exception& error) {
        // What the command changed up to here stays changed, and is shown so.
        RefreshAll();
        prompts_->ShowError(error.what());
    }
    --commandDepth_;
    // The files the reader passed over, after what the command itself said.
    if (commandDepth_ == 0 && !passOver_->PassedOver().empty()) {
        const QString said = StatusText();
        view_->ShowStatus(
            (said.trimmed().isEmpty() ? std::string() : said.toLocal8Bit().toStdString() + " ") +
            passOver_->Summary());
        passOver_->Reset();
    }
    if (commandDepth_ == 0 && timerWaiting_) {
        timerWaiting_ = false;
        QTimer::singleShot(0, this, [this] { timerAutoBuildTimer(); });
    }
}

void TfMainForm::RefreshAll() {
    if (tsBuildPlaylist != nullptr) tsBuildPlaylist->Refresh();
    if (tsScheduling != nullptr) tsScheduling->Refresh();
    if (fDMCA != nullptr) fDMCA->Refresh();
    if (fGenre != nullptr) fGenre->Refresh();
}

void TfMainForm::OnListChanged(ShownList list) {
    if (list == ShownList::Schedule) {
        tsScheduling->Refresh();
    } else {
        tsBuildPlaylist->RefreshList(list);
    }
}

void TfMainForm::ShowPage(int page) {
    if (pcFormTabs->currentIndex() != page) pcFormTabs->setCurrentIndex(page);
}

void TfMainForm::SpeedButton5Click() {
    if (!ConfirmQuit()) return;
    prompts_->ShowMessage("Have a Nice Day!");
    quitConfirmed_ = true;
    close();
    quitConfirmed_ = false;
}

void TfMainForm::closeEvent(QCloseEvent* event) {
    if (!quitConfirmed_ && !ConfirmQuit()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    // The program keeps running with its window hidden only when sent to the tray; closed, it
    // ends, or a daily run would go on building on an empty desktop.
    QCoreApplication::quit();
}

bool TfMainForm::ConfirmQuit() {
    const bool scheduled = scheduler_.State() != SchedulerState::Idle;
    const bool unsaved = tsBuildPlaylist->HoldsUnsavedBuild();
    if (!scheduled && !unsaved) return true;
    std::string text;
    if (scheduled)
        text = scheduler_.Daily()
                   ? "The auto schedule is running. While Kestrune is closed it builds nothing; "
                     "it goes on when Kestrune starts again."
                   : "A run of the schedule is due. Closing Kestrune drops it.";
    if (unsaved) {
        if (!text.empty()) text += "\n\n";
        text += "The final playlist holds a build that has not been saved (Accept List).";
    }
    std::vector<std::string> buttons;
    const bool tray = scheduled && QSystemTrayIcon::isSystemTrayAvailable();
    if (tray) buttons.push_back("Hide to Tray");
    buttons.push_back("Quit");
    buttons.push_back("Cancel");
    const int answer = prompts_->AskChoice(text, buttons);
    if (tray && answer == 0) {
        SpeedButton6Click();
        return false;
    }
    return buttons[static_cast<size_t>(answer)] == "Quit";
}

bool TfMainForm::ConfirmDropUnsavedBuild() {
    if (!tsBuildPlaylist->HoldsUnsavedBuild()) return true;
    return prompts_->AskYesNo(
        "The final playlist holds a build that has not been saved (Accept List). Throw it away?");
}

void TfMainForm::SpeedButton6Click() {
    // Without a tray there would be no way back: the window goes to the task bar instead.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        hide();
    } else {
        showMinimized();
    }
}

void TfMainForm::TrayMessage(int event) {
    if (event == 513) {
        // Shown and in front; a maximised window stays maximised, a minimised one comes back.
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    } else if (event == 516) {
        hide();
    }
}

void TfMainForm::Load1Click() {
    RunCommand([this] {
        const auto chosen = prompts_->AskOpenFileNames(
            OpenQuestion{"Clock Wheel Template|*.cwt", "", folders_.sessions, "*.cwt", false});
        if (chosen.empty()) return;
        if (!ConfirmDropUnsavedBuild()) return;
        // What the model holds from here on is not the session before, even if the load stops.
        ShowOpenSession("");
        LoadSession(chosen.front(), *build_);
        ShowOpenSession(chosen.front());
    });
}

void TfMainForm::ShowOpenSession(const std::string& path) {
    const QString program = "Dorvane's Kestrune v." KESTRUNE_VERSION;
    setWindowTitle(path.empty() ? program
                                : program + " - " + QString::fromLocal8Bit(ExtractFileName(path).c_str()));
}

void TfMainForm::Save1Click() {
    RunCommand([this] {
        if (SaveSession(*build_, sdSaveSessions_)) {
            view_->ShowStatus(SavedStatus("Session", sdSaveSessions_.proposedName));
            ShowOpenSession(sdSaveSessions_.proposedName);
        }
    });
}

void TfMainForm::DMCA1Click() {
    if (fDMCA != nullptr && !fDMCA->isVisible()) fDMCA->show();
}

void TfMainForm::GenreChecker1Click() {
    if (fGenre != nullptr && !fGenre->isVisible()) fGenre->show();
}

void TfMainForm::AttachRulesWindow(TfRules* rules) {
    fRules = rules;
}

void TfMainForm::Rules1Click() {
    if (fRules != nullptr) RunCommand([this] { fRules->Open(); });
}

void TfMainForm::AttachTimingWindow(TfTiming* timing) {
    fTiming = timing;
}

void TfMainForm::Timing1Click() {
    if (fTiming != nullptr) RunCommand([this] { fTiming->Open(); });
}

void TfMainForm::AttachLibraryWindow(TfLibrary* library) {
    fLibrary = library;
}

void TfMainForm::Library1Click() {
    if (fLibrary != nullptr) RunCommand([this] { fLibrary->Open(); });
}

void TfMainForm::Directories1Click() {
    if (fDirectories != nullptr) RunCommand([this] { fDirectories->Open(); });
}

void TfMainForm::LoadDemoSession2Click() {
    RunCommand([this] {
        ShowOpenSession("");  // the demo is in the model; it has a file once saved
        if (kestrune::LoadDemoSession2Click(*build_, folders_, sdSaveSessions_))
            ShowOpenSession(sdSaveSessions_.proposedName);
    });
}

void TfMainForm::timerAutoBuildTimer() {
    // A run waits for a command that is mid-way (a build in the reader's error box, say); in a
    // message box or a file dialog the command is at rest, and the run takes place inside it.
    if (commandDepth_ > restingPrompts_->OpenResting()) {
        timerWaiting_ = true;
        return;
    }
    // The run builds in a model of its own: the build page keeps the operator's session, and
    // the status line says what the run did. Its settings are the ones the windows last saved.
    RunCommand([this] {
        runSession_.output = session_.output;
        runBuild_->rules = build_->rules;
        runBuild_->timing = build_->timing;
        runBuild_->reader.library = build_->reader.library;
        runBuild_->rotation = build_->rotation;
        scheduler_.timerAutoBuildTimer(*runBuild_, nullptr);
    });
    if (tsWeekGrid != nullptr) tsWeekGrid->Model().SetHourEnds(scheduler_.GridHourEnds());
}

}  // namespace kestrune::app
