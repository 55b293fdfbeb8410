#include <gtest/gtest.h>

#include <QSystemTrayIcon>
#include <QTest>

#include "AppFixture.h"
#include "BuildPage.h"

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

}  // namespace
}  // namespace kestrune::app
