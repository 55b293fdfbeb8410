#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include "AppFixture.h"
#include "BuildPage.h"
#include "SchedulingPage.h"
#include "platform/Clock.h"
#include "platform/LineList.h"
#include "sessions/ScheduleSettings.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

// A session over one playlist of songs, built for `minutes`; answers its path.
std::string SavedSession(AppFixture& f, const std::string& name, int minutes) {
    std::vector<kestrune::testing::TestSong> songs;
    for (int i = 0; i < 6; ++i) songs.push_back({240, name + " artist " + std::to_string(i), "t"});
    const std::string list = f.station.Playlist(name + ".m3u", songs);
    f.station.dir.Write(name + ".cwt", FormatLines({list, "#", list, "##", std::to_string(minutes),
                                                    "###", f.Path(name + "-out.m3u"), "####",
                                                    "001", "3"}));
    return f.Path(name + ".cwt");
}

// Begins the daily run at `hour` on the scheduling page, as the operator does.
void BeginAt(TfMainForm& form, const char* hour) {
    form.tsScheduling->ComboBox2->setEditText(hour);
    form.tsScheduling->btAutoSchedule_Start->click();
}

TEST(OperatorWorkKept, ClosingAsksWhileAScheduleIsArmedOrABuildIsUnsaved) {
    AppFixture f;
    TfMainForm& form = f.Form();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, testing::kGenerousMilliseconds));
    EXPECT_TRUE(form.ConfirmQuit()) << "nothing to lose: no question";
    EXPECT_TRUE(f.prompts.choiceQuestions.empty());

    form.AutoScheduler().AddSessions({SavedSession(f, "night", 4)});
    BeginAt(form, "3 AM");
    ASSERT_TRUE(form.timerAutoBuild.isActive());
    // Esc: the window stays and the schedule with it; Exit says goodbye only when quitting.
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    form.SpeedButton5->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(f.prompts.messages.empty() ||
                f.prompts.messages.back() != "Have a Nice Day!");
    ASSERT_EQ(f.prompts.choiceQuestions.size(), 2u);
    const auto& [text, buttons] = f.prompts.choiceQuestions[0];
    EXPECT_NE(text.find("The auto schedule is running."), std::string::npos);
    EXPECT_EQ(buttons.back(), "Cancel");
    EXPECT_NE(std::find(buttons.begin(), buttons.end(), "Quit"), buttons.end());
    EXPECT_TRUE(form.timerAutoBuild.isActive());

    // An unsaved build asks too, with both reasons in one box.
    form.Session().lbFinalPlaylist = {f.Path("a.mp3")};
    EXPECT_TRUE(form.tsBuildPlaylist->HoldsUnsavedBuild());
    EXPECT_FALSE(form.ConfirmQuit());
    EXPECT_NE(f.prompts.choiceQuestions.back().first.find("has not been saved"), std::string::npos);
    form.tsScheduling->btAutoSchedule_Stop->click();
    EXPECT_FALSE(form.ConfirmQuit()) << "the build alone asks";
    EXPECT_EQ(f.prompts.choiceQuestions.back().second, (std::vector<std::string>{"Quit", "Cancel"}));

    // Accepted, it is saved: closing asks nothing more.
    form.Session().SetOutputFile(f.Path("hour.m3u"));
    form.tsBuildPlaylist->btAcceptFinalPlaylist->click();
    EXPECT_FALSE(form.tsBuildPlaylist->HoldsUnsavedBuild());
    const size_t asked = f.prompts.choiceQuestions.size();
    EXPECT_TRUE(form.ConfirmQuit());
    EXPECT_EQ(f.prompts.choiceQuestions.size(), asked);

    form.Session().lbFinalPlaylist.push_back(f.Path("b.mp3"));  // built on after the save
    f.prompts.choiceAnswer = "Quit";
    form.SpeedButton5->click();
    EXPECT_EQ(f.prompts.messages.back(), "Have a Nice Day!");
    EXPECT_FALSE(form.isVisible());
}

// Quit in the close question ends the program's event loop, not only its window.
TEST(OperatorWorkKept, QuitEndsTheProgram) {
    AppFixture f;
    TfMainForm& form = f.Form();
    form.show();
    form.AutoScheduler().AddSessions({SavedSession(f, "night", 4)});
    BeginAt(form, "3 AM");
    f.prompts.choiceAnswer = "Quit";
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    deadline.start(testing::kGenerousMilliseconds);
    EXPECT_EQ(QApplication::exec(), 0) << "the deadline ended the loop, not Quit";
    deadline.stop();
    EXPECT_FALSE(form.isVisible());
    ASSERT_FALSE(f.prompts.choiceQuestions.empty());
}

TEST(OperatorWorkKept, TheDailyRunAndItsHourAreKeptForTheNextStart) {
    AppFixture f;
    f.station.dir.Write("kestrune.ini", "[Config]\r\nplaylistsdir=" + f.Path("Playlists") +
                                            "\r\nsessionsdir=" + f.Path("Sessions") + "\r\n");
    const std::string before = f.station.dir.Read("kestrune.ini");
    TfMainForm& form = f.Form();
    form.AutoScheduler().AddSessions({SavedSession(f, "night", 4)});
    form.tsScheduling->Button7->click();  // the schedule file, as the operator keeps it
    form.tsScheduling->btAutoSchedule_Stop->click();
    EXPECT_EQ(f.station.dir.Read("kestrune.ini"), before) << "nothing begun: the file as it was";

    BeginAt(form, "3 am");
    EXPECT_EQ(ReadScheduleSettings(f.Path("kestrune.ini")), (ScheduleSettings{true, "3 AM"}));
    EXPECT_EQ(f.station.dir.Read("kestrune.ini").substr(0, before.size()), before);
    {
        TfMainForm next(f.station.dir.Path(), f.Path("kestrune.ini"), &f.prompts);
        next.timerAutoBuild.blockSignals(true);
        EXPECT_EQ(next.AutoScheduler().State(), SchedulerState::Armed) << "resumed";
        EXPECT_EQ(next.tsScheduling->ComboBox2->currentText(), "3 AM");
        EXPECT_EQ(next.StatusText(), "Auto Build Initiated");
        EXPECT_TRUE(next.tsScheduling->AutoScheduleState->text().endsWith("03:00"));
    }
    form.tsScheduling->btAutoSchedule_Stop->click();
    EXPECT_EQ(ReadScheduleSettings(f.Path("kestrune.ini")), (ScheduleSettings{false, "3 AM"}));
    TfMainForm after(f.station.dir.Path(), f.Path("kestrune.ini"), &f.prompts);
    after.timerAutoBuild.blockSignals(true);
    EXPECT_EQ(after.AutoScheduler().State(), SchedulerState::Idle);
    EXPECT_EQ(after.tsScheduling->ComboBox2->currentText(), "3 AM") << "the hour is kept";

    // A hand-edited or copied configuration: the 24-hour form resumes; an hour that is none
    // leaves the run stopped and says why.
    for (const auto& [start, resumes] : std::vector<std::pair<std::string, bool>>{
             {"15:00", true}, {"03", true}, {"half past three", false}}) {
        WriteScheduleSettings(f.Path("kestrune.ini"), ScheduleSettings{true, start});
        TfMainForm edited(f.station.dir.Path(), f.Path("kestrune.ini"), &f.prompts);
        edited.timerAutoBuild.blockSignals(true);
        EXPECT_EQ(edited.AutoScheduler().State(),
                  resumes ? SchedulerState::Armed : SchedulerState::Idle)
            << start;
        EXPECT_EQ(edited.StatusText().toStdString(),
                  resumes ? "Auto Build Initiated" : DailyRunNotResumedText(start, false))
            << start;
    }
}

// Begun without "Save Schedule", the daily run still comes back with its list; a list edited
// after a save comes back as the run used it.
TEST(OperatorWorkKept, TheDailyRunComesBackWithItsListUnsaved) {
    AppFixture f;
    f.station.dir.Write("auto_build.cws", f.Path("old.cwt") + "\r\n");
    TfMainForm& form = f.Form();
    form.AutoScheduler().Button6Click();
    form.AutoScheduler().AddSessions({SavedSession(f, "night", 4), SavedSession(f, "day", 4)});
    BeginAt(form, "5 AM");
    TfMainForm next(f.station.dir.Path(), f.Path("kestrune.ini"), &f.prompts);
    next.timerAutoBuild.blockSignals(true);
    EXPECT_EQ(next.AutoScheduler().lbSchedule.Lines(), (LineList{f.Path("day.cwt"), f.Path("night.cwt")}));
    EXPECT_EQ(next.AutoScheduler().State(), SchedulerState::Armed);
    EXPECT_EQ(next.StatusText(), "Auto Build Initiated");
}

TEST(OperatorWorkKept, RunNowKeepsTheHourAndTheBuildPageKeepsTheOperatorsSession) {
    AppFixture f;
    TfMainForm& form = f.Form();
    BuildSession& mine = form.Session();
    mine.lbFinalPlaylist = {f.Path("mine.mp3")};
    mine.ComboBox1 = "45";
    mine.SetOutputFile(f.Path("on-air.m3u"));
    form.RefreshAll();
    form.AutoScheduler().AddSessions({SavedSession(f, "first", 8), SavedSession(f, "second", 4)});
    form.ShowPage(1);
    BeginAt(form, "3 AM");
    form.tsScheduling->btRunScheduleNow->click();
    EXPECT_EQ(form.timerAutoBuild.interval(), 2000);
    QString shownInTheBox;
    f.prompts.onMessage = [&](const std::string&) {
        shownInTheBox = form.tsScheduling->AutoScheduleState->text();
    };
    form.timerAutoBuildTimer();
    EXPECT_TRUE(shownInTheBox.endsWith("03:00")) << "the next run, told while the box is open";

    EXPECT_EQ(f.station.Lines(f.Path("first-out.m3u")).size(), 2u);
    EXPECT_EQ(f.station.Lines(f.Path("second-out.m3u")).size(), 1u);
    EXPECT_EQ(form.ScheduledSession().OutputFile(), f.Path("second-out.m3u"));
    // The operator's session is as it was, on the page and in the model.
    EXPECT_EQ(mine.lbFinalPlaylist, LineList{f.Path("mine.mp3")});
    EXPECT_EQ(mine.ComboBox1, "45");
    EXPECT_EQ(mine.OutputFile(), f.Path("on-air.m3u"));
    EXPECT_EQ(form.tsBuildPlaylist->ComboBox1->currentText(), "45");
    EXPECT_EQ(form.tsBuildPlaylist->lbFinalPlaylist->count(), 1);
    EXPECT_EQ(form.pcFormTabs->currentIndex(), 1) << "the page in front stays in front";
    EXPECT_TRUE(form.StatusText().startsWith("Auto schedule ran at "));
    EXPECT_TRUE(form.StatusText().endsWith(" and built 2 sessions."));
    // Still the chosen hour, not 24 hours after the run.
    EXPECT_TRUE(form.tsScheduling->AutoScheduleState->text().endsWith("03:00"))
        << form.tsScheduling->AutoScheduleState->text().toStdString();
    EXPECT_EQ(form.tsScheduling->ComboBox2->currentText(), "3 AM");
    EXPECT_LE(form.timerAutoBuild.interval(), 86400000);
}

TEST(OperatorWorkKept, LoadingASessionAsksBeforeDroppingAnUnsavedBuild) {
    AppFixture f;
    TfMainForm& form = f.Form();
    const std::string session = SavedSession(f, "other", 4);
    form.Session().lbFinalPlaylist = {f.Path("unsaved.mp3")};
    f.prompts.openAnswers.push_back({session});
    f.prompts.yesNoAnswer = false;
    form.Load1Click();
    ASSERT_EQ(f.prompts.yesNoQuestions.size(), 1u);
    EXPECT_EQ(f.prompts.yesNoQuestions[0],
              "The final playlist holds a build that has not been saved (Accept List). Throw it "
              "away?");
    EXPECT_EQ(form.Session().lbFinalPlaylist, LineList{f.Path("unsaved.mp3")}) << "kept";
    EXPECT_TRUE(form.Session().OutputFile().empty()) << "nothing loaded";

    f.prompts.openAnswers.push_back({session});
    f.prompts.yesNoAnswer = true;
    form.Load1Click();
    EXPECT_TRUE(form.Session().lbFinalPlaylist.empty());
    EXPECT_EQ(form.Session().OutputFile(), f.Path("other-out.m3u"));

    f.prompts.openAnswers.push_back({session});
    form.Load1Click();  // nothing unsaved: no question
    EXPECT_EQ(f.prompts.yesNoQuestions.size(), 2u);
}

}  // namespace
}  // namespace kestrune::app
