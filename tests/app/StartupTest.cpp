// The start-up sequence: splash first, the title, the windows in their order and hidden, the
// wait for the splash, then the main window with the build page in front.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QSystemTrayIcon>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <vector>

#include "BuildPage.h"
#include "ScriptedAppPrompts.h"
#include "Startup.h"
#include "support/TempDir.h"
#include "timing/TimingSettings.h"

namespace kestrune::app {
namespace {

using kestrune::testing::TempDir;

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setApplicationName("kestrune_app_tests");
        options.startFolder = dir.Path();
        options.iniPath = dir / "kestrune.ini";
        // The splash's time runs out only when a test ticks it (see Start).
        options.splashTiming = SplashTiming::ByHand;
        options.prompts = &prompts;
        options.quit = [this] { ++quits; };
    }
    void TearDown() override { QApplication::setQuitOnLastWindowClosed(true); }

    // Runs the start-up; the splash's tick is sent once `tickAfter` is done and arrives, as a
    // timer's tick does, when events are next handled.
    ProgramWindows Start() {
        options.onStep = [look = options.onStep, this](StartupStep step, TSplashScreen* splash,
                                                       const ProgramWindows& w) {
            if (step == tickAfter)
                QMetaObject::invokeMethod(
                    splash, [splash] { splash->Timer1Timer(); }, Qt::QueuedConnection);
            if (look) look(step, splash, w);
        };
        return StartProgram(options);
    }

    StartupStep tickAfter = StartupStep::SplashShown;

    TempDir dir;
    testing::ScriptedAppPrompts prompts;
    StartupOptions options;
    int quits = 0;
};

// What one step saw.
struct Seen {
    StartupStep step = StartupStep::SplashShown;
    bool splashVisible = false;
    bool splashAgrees = false;
    QString applicationName;
    bool mainForm = false, dupe = false, genre = false, directories = false;
    bool mainFormVisible = false;
    bool anOptionWindowVisible = false;
};

Seen Look(StartupStep step, TSplashScreen* splash, const ProgramWindows& w) {
    Seen seen;
    seen.step = step;
    if (splash != nullptr) {
        seen.splashVisible = splash->isVisible();
        seen.splashAgrees = splash->CloseQuery();
    }
    seen.applicationName = QApplication::applicationName();
    seen.mainForm = w.fMainForm != nullptr;
    seen.dupe = w.fDMCA != nullptr;
    seen.genre = w.fGenre != nullptr;
    seen.directories = w.fDirectories != nullptr;
    seen.mainFormVisible = seen.mainForm && w.fMainForm->isVisible();
    seen.anOptionWindowVisible = (seen.dupe && w.fDMCA->isVisible()) ||
                                 (seen.genre && w.fGenre->isVisible()) ||
                                 (seen.directories && w.fDirectories->isVisible());
    return seen;
}

TEST_F(Startup, StepsComeInOrderAndTheWindowsAreMadeHidden) {
    std::vector<Seen> seen;
    options.onStep = [&](StartupStep step, TSplashScreen* splash, const ProgramWindows& w) {
        seen.push_back(Look(step, splash, w));
    };
    const ProgramWindows windows = Start();

    using S = StartupStep;
    const std::vector<S> order = {
        S::SplashShown,         S::TitleSet,           S::MainFormCreated, S::DupeCheckerCreated,
        S::GenreCheckerCreated, S::DirectoriesCreated, S::SplashAgreed,    S::SplashDestroyed,
        S::MainFormShown};
    ASSERT_EQ(seen.size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(seen[i].step, order[i]) << i;

    // The splash comes first, shown, not yet willing to go; nothing else exists yet.
    EXPECT_TRUE(seen[0].splashVisible);
    EXPECT_FALSE(seen[0].splashAgrees);
    EXPECT_FALSE(seen[0].mainForm);
    EXPECT_NE(seen[0].applicationName, "Kestrune");
    EXPECT_EQ(seen[1].applicationName, "Kestrune");
    EXPECT_FALSE(seen[1].mainForm);

    // The main window before the option windows, each made hidden, the splash still up.
    EXPECT_TRUE(seen[2].mainForm);
    EXPECT_FALSE(seen[2].dupe || seen[2].genre || seen[2].directories);
    EXPECT_TRUE(seen[3].dupe && !seen[3].genre && !seen[3].directories);
    EXPECT_TRUE(seen[4].genre && !seen[4].directories);
    EXPECT_TRUE(seen[5].directories);
    for (size_t i = 2; i <= 5; ++i) {
        EXPECT_FALSE(seen[i].mainFormVisible) << i;
        EXPECT_FALSE(seen[i].anOptionWindowVisible) << i;
        EXPECT_TRUE(seen[i].splashVisible) << i;
        EXPECT_FALSE(seen[i].splashAgrees) << i << ": its tick was handled during the creation";
    }

    // The splash agrees once its tick has been handled, then goes.
    EXPECT_TRUE(seen[6].splashAgrees);
    EXPECT_FALSE(seen[6].mainFormVisible);

    // At the end: the main window in front with the build page, the option windows hidden.
    EXPECT_TRUE(seen[8].mainFormVisible);
    EXPECT_FALSE(seen[8].anOptionWindowVisible);
    ASSERT_NE(windows.fMainForm, nullptr);
    EXPECT_EQ(windows.fMainForm->pcFormTabs->currentWidget(), windows.fMainForm->tsBuildPlaylist);
    EXPECT_EQ(windows.fMainForm->windowTitle(), "Dorvane's Kestrune v.0.6.2.150");
    EXPECT_EQ(windows.fMainForm->fDMCA, windows.fDMCA.get());
    EXPECT_EQ(windows.fMainForm->fGenre, windows.fGenre.get());
    EXPECT_EQ(windows.fMainForm->fDirectories, windows.fDirectories.get());
    EXPECT_TRUE(prompts.errors.empty());
}

TEST_F(Startup, TheSplashIsGoneWhenTheMainWindowShows) {
    QPointer<TSplashScreen> splash;
    options.onStep = [&](StartupStep step, TSplashScreen* s, const ProgramWindows&) {
        if (step == StartupStep::SplashShown) splash = s;
    };
    const ProgramWindows windows = Start();
    EXPECT_TRUE(splash.isNull());
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TSplashScreen*>(widget), nullptr);
}

TEST_F(Startup, TheSplashStaysUpForItsFullFiveSeconds) {
    // The real timer: only a lower bound is checked, which a busy machine cannot break.
    options.splashMilliseconds = kSplashMilliseconds;
    options.splashTiming = SplashTiming::Timed;
    qint64 ageWhenAgreed = -1;
    int interval = 0;
    options.onStep = [&](StartupStep step, TSplashScreen* splash, const ProgramWindows&) {
        if (step == StartupStep::SplashShown) interval = splash->Timer1.interval();
        if (step == StartupStep::SplashAgreed) ageWhenAgreed = splash->Age();
    };
    const ProgramWindows windows = StartProgram(options);
    EXPECT_EQ(interval, 5000);
    EXPECT_GE(ageWhenAgreed, 5000);
    EXPECT_TRUE(windows.fMainForm->isVisible());
}

TEST_F(Startup, ATickDuringTheCreationWaitsForItsEnd) {
    // The tick comes while the windows are made: it is not handled before all of them exist,
    // and then the splash goes at once.
    tickAfter = StartupStep::MainFormCreated;
    std::vector<StartupStep> steps;
    bool agreedDuringTheCreation = true;
    options.onStep = [&](StartupStep step, TSplashScreen* splash, const ProgramWindows&) {
        steps.push_back(step);
        if (step == StartupStep::DirectoriesCreated) agreedDuringTheCreation = splash->CloseQuery();
    };
    const ProgramWindows windows = Start();
    EXPECT_FALSE(agreedDuringTheCreation) << "an event was handled while the windows were made";
    EXPECT_EQ(steps.back(), StartupStep::MainFormShown);
    EXPECT_TRUE(windows.fMainForm->isVisible());
}

TEST_F(Startup, AnErrorDuringTheStartDestroysTheSplash) {
    QPointer<TSplashScreen> splash;
    options.onStep = [&](StartupStep step, TSplashScreen* s, const ProgramWindows&) {
        if (step == StartupStep::SplashShown) splash = s;
        if (step == StartupStep::GenreCheckerCreated) throw std::runtime_error("broken");
    };
    EXPECT_THROW(Start(), std::runtime_error);
    EXPECT_TRUE(splash.isNull());
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<TSplashScreen*>(widget), nullptr);
        EXPECT_EQ(qobject_cast<TfMainForm*>(widget), nullptr);
    }
}

TEST_F(Startup, AStartUpFileThatCannotBeReadEndsTheProgramOnceTheSplashIsGone) {
    // A file that exists but cannot be read: its first read fails.
    for (const char* name : {"delete_me.qpr", "auto_build.cws"}) {
        TempDir station;
        const std::string path = station / name;
        SCOPED_TRACE(path);
        std::filesystem::create_symlink("/proc/self/mem", path);
        options.startFolder = station.Path();
        options.iniPath = station / "kestrune.ini";
        prompts.errors.clear();
        bool splashAtTheBox = true;
        prompts.onError = [&](const std::string&) {
            splashAtTheBox = false;
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (qobject_cast<TSplashScreen*>(widget) != nullptr) splashAtTheBox = true;
        };
        const std::optional<ProgramWindows> windows = StartProgramOrReport(options);
        EXPECT_FALSE(windows.has_value()) << "the program ends";
        EXPECT_EQ(prompts.errors, std::vector<std::string>{"Cannot open file " + path + "."});
        EXPECT_FALSE(splashAtTheBox);
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_EQ(qobject_cast<TfMainForm*>(widget), nullptr);
    }
    // A start-up that works answers its windows.
    prompts.onError = nullptr;
    prompts.errors.clear();
    options.startFolder = dir.Path();
    options.iniPath = dir / "kestrune.ini";
    options.onStep = [](StartupStep step, TSplashScreen* splash, const ProgramWindows&) {
        if (step == StartupStep::DirectoriesCreated) splash->Timer1Timer();
    };
    const std::optional<ProgramWindows> windows = StartProgramOrReport(options);
    ASSERT_TRUE(windows.has_value());
    EXPECT_TRUE(windows->fMainForm->isVisible());
    EXPECT_TRUE(prompts.errors.empty());
}

TEST_F(Startup, TheMainWindowReadsTheStartFolderAndTheConfiguration) {
    dir.Write("kestrune.ini",
              "[Config]\r\nplaylistsdir=/srv/lists\r\nsessionsdir=/srv/sessions\r\n");
    dir.Write("delete_me.qpr", "/srv/lists/oldies.m3u\r\n/srv/lists/jingles.m3u\r\n");
    dir.Write("auto_build.cws", "/srv/sessions/morning.cwt\r\n");
    const ProgramWindows windows = Start();
    const TfMainForm& form = *windows.fMainForm;
    EXPECT_EQ(form.Folders().start, dir.Path());
    EXPECT_EQ(form.Folders().playlists, "/srv/lists");
    EXPECT_EQ(form.Folders().sessions, "/srv/sessions");
    ASSERT_EQ(windows.fMainForm->Session().lbMasterPlaylists.Count(), 2);
    EXPECT_EQ(windows.fMainForm->Session().lbMasterPlaylists[0], "/srv/lists/jingles.m3u");
    EXPECT_EQ(windows.fMainForm->AutoScheduler().lbSchedule.Count(), 1);
}

// A word typed wrong in the configuration file keeps the setting at its default and is said
// once the window is up: the program starts, and the window that mends it can be reached.
TEST_F(Startup, ASettingThatCannotBeUsedIsNamedAndTheProgramStarts) {
    dir.Write("kestrune.ini",
              "[Timing]\r\nfill=exact\r\ntolerance=abc\r\noverlap=2000\r\n[Rules]\r\n"
              "title_hours=3\r\nalbum_hours=three\r\n");
    const ProgramWindows windows = Start();
    ASSERT_TRUE(windows.fMainForm->isVisible());
    EXPECT_TRUE(prompts.errors.empty());
    ASSERT_EQ(prompts.messages.size(), 1u);
    const std::string& said = prompts.messages[0];
    const std::string ini = dir / "kestrune.ini";
    for (const std::string& named :
         {ini + ", [Timing] tolerance=abc: not a whole number of seconds from 0 to 120; "
                "the default 2 is used.",
          ini + ", [Timing] overlap=2000: not a whole number of seconds from 0 to 30; "
                "the default 0 is used.",
          ini + ", [Rules] album_hours=three: not a whole number of hours from 0 to 8760; "
                "the default 0 is used."})
        EXPECT_NE(said.find(named), std::string::npos) << said;
    const BuildContext& build = windows.fMainForm->Context().build;
    EXPECT_EQ(build.timing, (TimingSettings{FillMode::Exact, 2, 0}));
    EXPECT_EQ(build.rules.titleHours, 3);
    EXPECT_EQ(build.rules.albumHours, 0);
}

TEST_F(Startup, TheTrayIconIsInPlaceWithTheApplicationIcon) {
    const ProgramWindows windows = Start();
    ASSERT_NE(windows.fMainForm->trayIcon, nullptr);
    EXPECT_EQ(windows.fMainForm->trayIcon->toolTip(), "Kestrune");
    EXPECT_FALSE(windows.fMainForm->trayIcon->icon().isNull());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(QApplication::desktopFileName(), "kestrune");
}

TEST_F(Startup, ClosingTheMainWindowEndsTheProgramWhileAnOptionWindowIsOpen) {
    const ProgramWindows windows = Start();
    windows.fMainForm->DMCA1Click();
    ASSERT_TRUE(windows.fDMCA->isVisible());
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    windows.fMainForm->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(quits, 1);
}

TEST_F(Startup, ClosingAnOptionWindowWhileTheMainWindowIsInTheTrayEndsNothing) {
    const ProgramWindows windows = Start();
    windows.fMainForm->hide();
    windows.fMainForm->GenreChecker1Click();
    ASSERT_TRUE(windows.fGenre->isVisible());
    windows.fGenre->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(quits, 0);
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed())
        << "Qt would end the program with its last visible window";
    windows.fMainForm->TrayMessage(513);
    EXPECT_TRUE(windows.fMainForm->isVisible());
}

}  // namespace
}  // namespace kestrune::app
