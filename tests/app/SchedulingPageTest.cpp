#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "AppFixture.h"
#include "BuildPage.h"
#include "SchedulingPage.h"
#include "building/BuildCommand.h"
#include "platform/LineList.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

// A session over one playlist of songs, built for `minutes`; answers its path.
std::string SavedSession(AppFixture& f, const std::string& name, int minutes) {
    std::vector<kestrune::testing::TestSong> songs;
    for (int i = 0; i < 6; ++i) songs.push_back({240, name + " artist " + std::to_string(i), "t"});
    const std::string list = f.station.Playlist(name + ".m3u", songs);
    f.station.dir.Write(name + ".cwt", FormatLines({list, "#", list, "##", std::to_string(minutes), "###",
                                                    f.Path(name + "-out.m3u"), "####", "101", "3"}));
    return f.Path(name + ".cwt");
}

TEST(SchedulingPage, StartsWithTheSavedScheduleAndEditsIt) {
    AppFixture f;
    f.station.dir.Write("auto_build.cws", "/s/z.cwt\r\n/s/B.cwt\r\n");
    SchedulingPage& page = *f.Form().tsScheduling;
    ASSERT_EQ(page.lbSchedule->count(), 2);
    EXPECT_EQ(page.lbSchedule->item(0)->text(), "/s/B.cwt");
    EXPECT_EQ(page.ComboBox2->currentText(), "12 AM");
    EXPECT_EQ(page.ComboBox2->count(), 26);
    EXPECT_EQ(page.ComboBox2->itemText(25), "");
    EXPECT_FALSE(f.Form().timerAutoBuild.isActive());

    f.prompts.openAnswers.push_back({"/s/a.cwt", "/s/Y.cwt"});
    page.Button4->click();
    ASSERT_EQ(f.prompts.openQuestions.size(), 1u);
    EXPECT_EQ(f.prompts.openQuestions[0].filter, "Clock Wheel Templates|*.cwt|Week Grids|*.kwg");
    EXPECT_TRUE(f.prompts.openQuestions[0].multiple);
    EXPECT_EQ(f.prompts.openQuestions[0].initialFolder, f.Path("Sessions")) << "not the station folder";
    EXPECT_EQ(f.Form().AutoScheduler().lbSchedule.Lines(), (LineList{"/s/a.cwt", "/s/B.cwt", "/s/Y.cwt", "/s/z.cwt"}));
    page.Button4->click();  // cancelled
    EXPECT_EQ(page.lbSchedule->count(), 4);

    page.Button5->click();  // nothing selected: nothing happens
    EXPECT_EQ(page.lbSchedule->count(), 4);
    page.lbSchedule->setCurrentRow(1);
    page.Button5->click();
    EXPECT_EQ(f.Form().AutoScheduler().lbSchedule.Lines(), (LineList{"/s/a.cwt", "/s/Y.cwt", "/s/z.cwt"}));

    page.Button7->click();
    EXPECT_EQ(f.station.dir.Read("auto_build.cws"), "/s/a.cwt\r\n/s/Y.cwt\r\n/s/z.cwt\r\n");
    EXPECT_EQ(f.prompts.messages.back(),
              "The current schedule has been saved. Press \"BEGIN AUTO SCHEDULE\" to start the countdown.");
    EXPECT_EQ(f.Form().StatusText().toStdString(), "Schedule saved to " + f.Path("auto_build.cws") + ".");
    page.Button6->click();
    EXPECT_EQ(page.lbSchedule->count(), 0);
    page.btRunScheduleNow->click();
    page.btAutoSchedule_Start->click();
    EXPECT_EQ(f.prompts.messages.back(),
              "You have no sessions scheduled. Please add sessions to the upper left window before starting the clock.");
    EXPECT_FALSE(f.Form().timerAutoBuild.isActive());
}

TEST(SchedulingPage, EachControlHasItsHint) {
    AppFixture f;
    SchedulingPage& page = *f.Form().tsScheduling;
    const std::pair<QWidget*, const char*> hints[] = {
        {page.lbSchedule,
         "The sessions in this window will all be run when you click the RUN NOW button or when "
         "you click the BEGIN AUTO SCHEDULE button."},
        {page.Button4, "Click here to add a saved session to your schedule."},
        {page.Button5, "Clcik here to remove the selected session from the schedule."},
        {page.Button6, "Click here to clear the entire schedule."},
        {page.Button7, "Click here to save this schedule for future use."},
        {page.btRunScheduleNow, "Click here to run the schedule now."},
        {page.ComboBox2, "Specifiy a time from the drop down menu for the auto schedule to run."},
        {page.btAutoSchedule_Start,
         "Start the timer for the auto scheduler. The current sessions in the scheduler will "
         "build at the time you specified above."},
        {page.btAutoSchedule_Stop,
         "Click here to turn off the timer for the auto schedule. No playlists will be built "
         "automatically."},
    };
    for (const auto& [control, hint] : hints) EXPECT_EQ(control->toolTip(), hint);
}

// The page looks like the build page: the same pale panel and grey list, buttons never smaller
// than laid down and wide enough for their captions, the column's four long ones one width.
TEST(SchedulingPage, LooksLikeTheOtherPages) {
    AppFixture f;
    SchedulingPage& page = *f.Form().tsScheduling;
    const BuildPage& build = *f.Form().tsBuildPlaylist;
    QWidget* panel = page.lbSchedule->parentWidget();
    EXPECT_TRUE(panel->autoFillBackground());
    EXPECT_EQ(panel->palette().color(QPalette::Window),
              build.Label12->parentWidget()->palette().color(QPalette::Window));
    EXPECT_EQ(page.lbSchedule->palette().color(QPalette::Base),
              build.lbMasterPlaylists->palette().color(QPalette::Base));
    const struct {
        QPushButton* button;
        QSize least;
    } buttons[] = {
        {page.Button4, {28, 25}},           {page.Button5, {28, 25}},
        {page.Button6, {86, 25}},           {page.Button7, {86, 25}},
        {page.btRunScheduleNow, {75, 24}},  {page.btAutoSchedule_Start, {121, 23}},
        {page.btAutoSchedule_Stop, {121, 23}},
    };
    for (const auto& b : buttons) {
        EXPECT_GE(b.button->width(), b.least.width()) << b.button->text().toStdString();
        EXPECT_GE(b.button->height(), b.least.height()) << b.button->text().toStdString();
        EXPECT_GE(b.button->width(),
                  b.button->fontMetrics().horizontalAdvance(b.button->text()))
            << "the caption fits";
    }
    for (QPushButton* b : {page.Button7, page.btAutoSchedule_Start, page.btAutoSchedule_Stop})
        EXPECT_EQ(b->width(), page.Button6->width()) << b->text().toStdString();
}

TEST(SchedulingPage, RemovingASessionLeavesNothingSelected) {
    AppFixture f;
    SchedulingPage& page = *f.Form().tsScheduling;
    f.Form().AutoScheduler().AddSessions({"/s/a.cwt", "/s/b.cwt", "/s/c.cwt"});
    page.Refresh();
    page.lbSchedule->setCurrentRow(0);
    page.Button5->click();
    ASSERT_EQ(page.lbSchedule->count(), 2);
    EXPECT_EQ(page.lbSchedule->item(0)->text(), "/s/b.cwt");
    EXPECT_EQ(page.lbSchedule->currentRow(), -1);
    EXPECT_TRUE(page.lbSchedule->selectedItems().isEmpty());
    page.Button5->click();  // a second press removes nothing
    EXPECT_EQ(f.Form().AutoScheduler().lbSchedule.Count(), 2);
}

TEST(SchedulingPage, ATypedAutoStartTimeIsUsedButNotAddedToTheList) {
    AppFixture f;
    SchedulingPage& page = *f.Form().tsScheduling;
    f.Form().show();
    f.Form().ShowPage(1);
    for (const char* typed : {"7 PM", "half past nine"}) {
        page.ComboBox2->lineEdit()->selectAll();
        QTest::keyClicks(page.ComboBox2->lineEdit(), typed);
        QTest::keyClick(page.ComboBox2->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(page.ComboBox2->count(), 26) << typed;
        EXPECT_EQ(page.ComboBox2->currentText(), typed);
        EXPECT_EQ(f.Form().AutoScheduler().ComboBox2, typed);
    }
    EXPECT_EQ(page.ComboBox2->itemText(19), "7 PM") << "the choices stay as they were";
}

TEST(SchedulingPage, RunNowBuildsEverySessionAndArmsForADay) {
    AppFixture f;
    TfMainForm& form = f.Form();
    SchedulingPage& page = *form.tsScheduling;
    form.AutoScheduler().AddSessions({SavedSession(f, "first", 8), SavedSession(f, "second", 4)});
    page.Refresh();
    form.ShowPage(1);

    EXPECT_EQ(page.AutoScheduleState->text(), "Auto schedule stopped");
    page.btRunScheduleNow->click();
    EXPECT_TRUE(page.AutoScheduleState->text().startsWith("Auto schedule running. Next run: "));
    ASSERT_TRUE(form.timerAutoBuild.isActive());
    EXPECT_EQ(form.timerAutoBuild.interval(), 2000);
    page.btRunScheduleNow->click();  // a second press lets the countdown under way go on
    EXPECT_TRUE(form.timerAutoBuild.isActive());
    EXPECT_EQ(form.timerAutoBuild.interval(), 2000);

    // The timer's event: both sessions are written; the page in front stays in front.
    form.timerAutoBuildTimer();
    EXPECT_EQ(form.pcFormTabs->currentIndex(), 1);
    EXPECT_EQ(f.station.Lines(f.Path("first-out.m3u")).size(), 2u);
    EXPECT_EQ(f.station.Lines(f.Path("second-out.m3u")).size(), 1u);
    // "Save to Text" is on in both: each log holds its own session's build, and only that.
    EXPECT_EQ(f.station.Lines(f.Path("first-out.m3u.txt")).size(), 5u + 2u);
    EXPECT_EQ(f.station.Lines(f.Path("second-out.m3u.txt")).size(), 5u + 1u);
    // Without a daily run begun, "Run Now!" was one run: nothing is armed after it.
    EXPECT_EQ(f.prompts.messages.back(), "Entire schedule has completed.");
    EXPECT_FALSE(form.timerAutoBuild.isActive());
    EXPECT_EQ(page.lbSchedule->currentRow(), 1) << "the last session run is selected";

    EXPECT_EQ(page.AutoScheduleState->text().toStdString(), form.AutoScheduler().StateText());
    page.btAutoSchedule_Stop->click();
    EXPECT_FALSE(form.timerAutoBuild.isActive());
    EXPECT_EQ(form.StatusText(), "Auto Build Stopped");
    EXPECT_EQ(page.AutoScheduleState->text(), "Auto schedule stopped");
    page.ComboBox2->setCurrentText("3 AM");
    page.btAutoSchedule_Start->click();
    EXPECT_EQ(form.StatusText(), "Auto Build Initiated");
    EXPECT_TRUE(form.timerAutoBuild.isActive());
    EXPECT_EQ(form.AutoScheduler().ComboBox2, "3 AM");
}

TEST(SchedulingPage, TheTimersOwnTickRunsTheSchedule) {
    AppFixture f;
    TfMainForm& form = f.Form();
    form.AutoScheduler().AddSessions({SavedSession(f, "ticked", 4)});
    form.timerAutoBuild.blockSignals(false);
    form.tsScheduling->btRunScheduleNow->click();
    EXPECT_TRUE(testing::ProcessEventsUntil(
        [&] { return std::filesystem::exists(f.Path("ticked-out.m3u")); }));
    EXPECT_FALSE(form.timerAutoBuild.isActive()) << "one run, and no other";
}

TEST(SchedulingPage, ABrokenSessionStopsTheRunAndLeavesTheTimerOff) {
    AppFixture f;
    TfMainForm& form = f.Form();
    const std::string good = SavedSession(f, "a-good", 4);
    f.station.dir.Write("b-broken.cwt", "no separator at all\r\n");
    const std::string third = SavedSession(f, "c-third", 4);
    form.AutoScheduler().AddSessions({good, f.Path("b-broken.cwt"), third});
    form.tsScheduling->btRunScheduleNow->click();
    form.timerAutoBuildTimer();
    EXPECT_EQ(f.prompts.errors, std::vector<std::string>{"List index out of bounds (1)"});
    EXPECT_TRUE(std::filesystem::exists(f.Path("a-good-out.m3u")));
    EXPECT_FALSE(std::filesystem::exists(f.Path("c-third-out.m3u")));
    EXPECT_FALSE(form.timerAutoBuild.isActive());
    EXPECT_EQ(form.AutoScheduler().State(), SchedulerState::Idle);
}

TEST(SchedulingPage, ATimerEventWaitsForABuildButNotForAMessage) {
    AppFixture f;
    TfMainForm& form = f.Form();
    form.AutoScheduler().AddSessions({SavedSession(f, "scheduled", 4)});
    // A build whose only song cannot be read: the reader's box opens in the middle of it.
    f.station.dir.Write("broken.mp3", std::string(3000, 'x'));
    f.station.dir.Write("broken.m3u", f.Path("broken.mp3") + "\r\n");
    BuildSession& s = form.Session();
    s.lbMasterPlaylists.Add(f.Path("broken.m3u"));
    s.lbClockwheelTemplate = {f.Path("broken.m3u")};
    s.SetOutputFile(f.Path("hour.m3u"));
    bool writtenInsideTheBox = true;
    f.prompts.whileOpenErrorOpen = [&] {
        form.timerAutoBuildTimer();
        writtenInsideTheBox = std::filesystem::exists(f.Path("scheduled-out.m3u"));
    };
    form.RunCommand([&] { btBuildPlaylistClick(form.Context().build); });
    EXPECT_FALSE(writtenInsideTheBox) << "the run waited for the build";
    EXPECT_FALSE(std::filesystem::exists(f.Path("scheduled-out.m3u")));
    EXPECT_TRUE(testing::ProcessEventsUntil([&] {
        return std::filesystem::exists(f.Path("scheduled-out.m3u"));
    })) << "and came right after it";

    // In a plain message box the command is at rest: the run takes place inside it.
    std::filesystem::remove(f.Path("scheduled-out.m3u"));
    bool writtenInsideTheMessage = false;
    f.prompts.whileMessageOpen = [&] {
        form.timerAutoBuildTimer();
        writtenInsideTheMessage = std::filesystem::exists(f.Path("scheduled-out.m3u"));
    };
    form.tsScheduling->Button7->click();  // "Save Schedule" ends with its message
    EXPECT_TRUE(writtenInsideTheMessage);
}

}  // namespace
}  // namespace kestrune::app
