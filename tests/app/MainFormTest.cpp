#include <gtest/gtest.h>

#include <QSystemTrayIcon>
#include <QTest>

#include <functional>

#include "AppFixture.h"
#include "BuildPage.h"
#include "platform/LineList.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

TEST(MainForm, StartsWithTheBuildPageInFrontAndNothingDone) {
    AppFixture f;
    TfMainForm& form = f.Form();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, testing::kGenerousMilliseconds));
    BuildPage& page = *form.tsBuildPlaylist;
    EXPECT_EQ(form.pcFormTabs->currentWidget(), &page);
    EXPECT_TRUE(page.isVisible());
    EXPECT_EQ(form.StatusText(), "");
    EXPECT_EQ(page.ComboBox1->currentText(), "60");
    EXPECT_EQ(form.Session().ComboBox1, "60");
    EXPECT_FALSE(page.cbTextOutput->isChecked());
    EXPECT_FALSE(form.Session().cbTextOutput);
    for (QProgressBar* meter : page.Meters()) EXPECT_EQ(meter->value(), 0);
    EXPECT_EQ(page.lbMasterPlaylists->count(), 0);
    EXPECT_EQ(page.lbClockwheelTemplate->count(), 0);
    EXPECT_EQ(page.lbFinalPlaylist->count(), 0);
    EXPECT_EQ(page.lbSavePlaylist->count(), 0);
    EXPECT_FALSE(f.dupe->isVisible());
    EXPECT_FALSE(f.genre->isVisible());
    EXPECT_FALSE(f.directories->isVisible());
    EXPECT_TRUE(f.prompts.messages.empty());
    EXPECT_TRUE(f.prompts.errors.empty());
}

TEST(MainForm, StartUpMasterPlaylistsShowSortedOnTheBuildPage) {
    AppFixture f;
    f.station.dir.Write("delete_me.qpr", "/l/zeta.m3u\r\n/l/Alpha.m3u\r\n/l/beta.m3u\r\n");
    BuildPage& page = *f.Form().tsBuildPlaylist;
    ASSERT_EQ(page.lbMasterPlaylists->count(), 3);
    EXPECT_EQ(page.lbMasterPlaylists->item(0)->text(), "/l/Alpha.m3u");
    EXPECT_EQ(page.lbMasterPlaylists->item(1)->text(), "/l/beta.m3u");
    EXPECT_EQ(page.lbMasterPlaylists->item(2)->text(), "/l/zeta.m3u");
}

TEST(MainForm, ExitSaysGoodbyeOnceAndClosesTheWindow) {
    AppFixture f;
    TfMainForm& form = f.Form();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, testing::kGenerousMilliseconds));
    form.DMCA1Click();
    form.SpeedButton5->click();
    EXPECT_EQ(f.prompts.messages, std::vector<std::string>{"Have a Nice Day!"});
    EXPECT_FALSE(form.isVisible());
}

TEST(MainForm, NavigationKeepsTheBuildPageAsItWas) {
    AppFixture f;
    TfMainForm& form = f.Form();
    form.show();
    BuildPage& page = *form.tsBuildPlaylist;
    f.prompts.saveAnswers.push_back(f.Path("out.m3u"));
    page.btLocateDir->click();
    form.sbAutoSchedule->click();
    EXPECT_EQ(form.pcFormTabs->currentIndex(), 1);
    form.QuickListMaker1->trigger();
    EXPECT_EQ(form.pcFormTabs->currentIndex(), 2);
    form.sbBuildPlaylist->click();
    EXPECT_EQ(form.pcFormTabs->currentWidget(), &page);
    ASSERT_EQ(page.lbSavePlaylist->count(), 1);
    EXPECT_EQ(page.lbSavePlaylist->item(0)->text().toStdString(), f.Path("out.m3u"));
}

// The title says which session file the build page holds; the status line says only what the
// last command or the page in front said.
TEST(MainForm, TheTitleNamesTheOpenSessionAndNoStatusOutlivesItsPageOrCommand) {
    AppFixture f;
    TfMainForm& form = f.Form();
    const QString program = form.windowTitle();
    ASSERT_TRUE(program.startsWith("Dorvane's Kestrune v."));
    const std::string list = f.station.Playlist("music.m3u", {{240, "A", "t"}});
    f.station.dir.Write("Sessions/morning.cwt",
                        FormatLines({list, "#", list, "##", "60", "###", f.Path("out.m3u"), "####",
                                     "001", "3"}));
    f.station.dir.Write("Sessions/broken.cwt", "only a line\r\n");

    f.prompts.openAnswers.push_back({f.Path("Sessions/morning.cwt")});
    form.Load1->trigger();
    EXPECT_EQ(form.windowTitle(), program + " - morning.cwt");
    f.prompts.saveAnswers.push_back(f.Path("Sessions/evening.cwt"));
    form.Save1->trigger();
    EXPECT_EQ(form.windowTitle(), program + " - evening.cwt");
    EXPECT_TRUE(form.StatusText().startsWith("Session saved to ")) << form.StatusText().toStdString();
    form.Load1->trigger();  // cancelled: still that session
    EXPECT_EQ(form.windowTitle(), program + " - evening.cwt");
    EXPECT_EQ(form.StatusText(), "") << "a command that said nothing leaves no old message";

    form.Context().view.ShowStatus("Playlist is complete");
    form.sbAutoSchedule->click();
    EXPECT_EQ(form.StatusText(), "") << "a new page";
    form.Context().view.ShowStatus("Schedule saved");
    form.sbAutoSchedule->click();
    EXPECT_EQ(form.StatusText(), "Schedule saved") << "the same page";

    // A load that stops half-way leaves a model that is no longer the session named before.
    f.prompts.openAnswers.push_back({f.Path("Sessions/broken.cwt")});
    form.Load1->trigger();
    EXPECT_FALSE(f.prompts.errors.empty());
    EXPECT_EQ(form.windowTitle(), program);
}

TEST(MainForm, TheTrayIconHidesAndBringsBackTheWindowAsItWas) {
    AppFixture f;
    TfMainForm& form = f.Form();
    form.showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, testing::kGenerousMilliseconds));
    form.ShowPage(2);

    form.TrayMessage(516);  // right click
    EXPECT_FALSE(form.isVisible());
    form.TrayMessage(516);
    EXPECT_FALSE(form.isVisible()) << "a right click on a hidden window changes nothing";
    for (int other : {512, 514, 515, 517, 519}) form.TrayMessage(other);
    EXPECT_FALSE(form.isVisible()) << "moves, releases and double clicks do nothing";
    form.TrayMessage(513);  // left click
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isMaximized());
    EXPECT_EQ(form.pcFormTabs->currentIndex(), 2);
    form.TrayMessage(513);
    EXPECT_TRUE(form.isMaximized()) << "a visible window comes to front as it is";

    // The icon's own events come to the same place.
    emit form.trayIcon->activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(form.isVisible());
    emit form.trayIcon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(form.isVisible());
    emit form.trayIcon->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isMaximized());

    // Hide to tray; without a tray the window goes to the task bar, and comes back all the same.
    form.SpeedButton6->click();
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_FALSE(form.isVisible());
    } else {
        EXPECT_TRUE(form.isMinimized());
    }
    form.TrayMessage(513);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isMinimized());
    EXPECT_EQ(form.pcFormTabs->currentIndex(), 2);
}

TEST(MainForm, EveryMenuEntryRunsItsCommand) {
    AppFixture f;
    TfMainForm& form = f.Form();
    form.show();
    // A session that passes the save checks, so that "Save" comes to its dialog.
    form.Session().lbMasterPlaylists.Add("/l/a.m3u");
    form.Session().lbClockwheelTemplate = {"/l/a.m3u"};
    form.Session().SetOutputFile(f.Path("out.m3u"));
    struct Entry {
        QAction* action;
        QString text;
        std::function<bool()> done;
    };
    const Entry entries[] = {
        {form.AutoScheduler1, "&Auto Scheduler",
         [&] { return form.pcFormTabs->currentIndex() == 1; }},
        {form.QuickListMaker1, "&Quick List Maker",
         [&] { return form.pcFormTabs->currentIndex() == 2; }},
        {form.BuildTemplate1, "&Build Clock Template",
         [&] { return form.pcFormTabs->currentIndex() == 0; }},
        {form.Load1, "&Load session",
         [&] {
             return f.prompts.openQuestions.size() == 1 &&
                    f.prompts.openQuestions[0].proposedName == "*.cwt" &&
                    f.prompts.openQuestions[0].initialFolder == form.Folders().sessions;
         }},
        {form.Save1, "S&ave session as...",
         [&] {
             return f.prompts.saveQuestions.size() == 1 &&
                    f.prompts.saveQuestions[0].proposedName == "*.cwt";
         }},
        {form.DMCA1, "D&upe Checker", [&] { return f.dupe->isVisible(); }},
        {form.GenreChecker1, "&Genre Checker", [&] { return f.genre->isVisible(); }},
        {form.Library1, "&Library and Output", [&] { return f.library->isVisible(); }},
        {form.Directories1, "Set Directories", [&] { return f.directories->isVisible(); }},
        {form.LoadDemoSession2, "&Load Demo Session",
         [&] { return form.Session().lbMasterPlaylists.Count() == 7; }},
    };
    for (const Entry& entry : entries) {
        SCOPED_TRACE(entry.text.toStdString());
        ASSERT_NE(entry.action, nullptr);
        EXPECT_EQ(entry.action->text(), entry.text);
        EXPECT_FALSE(entry.done()) << "done before the entry was chosen";
        entry.action->trigger();
        EXPECT_TRUE(entry.done());
    }
}

}  // namespace
}  // namespace kestrune::app
