#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QColor>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

#include <filesystem>
#include <set>
#include <functional>

#include "AppFixture.h"
#include "WeekGridModel.h"
#include "output/FinalPlaylistFile.h"
#include "timing/TimingSettings.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

// Shown as stored, written with every other line kept, and in force for the next build.
TEST(TimingWindow, ShowsTheStoredTimingAndPutsTheSavedOneInForce) {
    AppFixture f;
    f.station.dir.Write("kestrune.ini",
                        "[Config]\r\nplaylistsdir=/p\r\n[Timing]\r\nfill=exact\r\noverlap=3\r\n");
    TfMainForm& form = f.Form();
    EXPECT_EQ(form.Context().build.timing, (TimingSettings{FillMode::Exact, 2, 3}));
    TfTiming& w = *f.timing;
    EXPECT_FALSE(w.isVisible());
    form.Timing1Click();
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Timing");
    EXPECT_TRUE(w.cbExactFill->isChecked());
    EXPECT_EQ(w.cbTolerance->currentText(), "2");
    EXPECT_EQ(w.cbOverlap->currentText(), "3");

    // Words, and seconds no clock can honour (a crossfade typed in milliseconds), are refused
    // naming the field; nothing is written and the window stays.
    const std::string before = f.station.dir.Read("kestrune.ini");
    const struct {
        const char* tolerance;
        const char* overlap;
        const char* message;
    } refused[] = {
        {"two", "3", "Tolerance (in seconds either side) must be a whole number from 0 to 120."},
        {"3600", "3", "Tolerance (in seconds either side) must be a whole number from 0 to 120."},
        {"2", "2000", "Overlap at each join (in seconds) must be a whole number from 0 to 30."},
        {"-5", "3", "Tolerance (in seconds either side) must be a whole number from 0 to 120."},
        {"", "3", "Tolerance (in seconds either side) must be a whole number from 0 to 120."},
    };
    for (const auto& r : refused) {
        w.cbTolerance->setEditText(r.tolerance);
        w.cbOverlap->setEditText(r.overlap);
        w.btnSaveTiming->click();
        EXPECT_EQ(f.prompts.messages.back(), r.message);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(f.station.dir.Read("kestrune.ini"), before);
    }
    EXPECT_TRUE(f.prompts.errors.empty());
    // As in the Rules window, only digits go in where they are typed.
    w.cbTolerance->setEditText("");
    QTest::keyClicks(w.cbTolerance->lineEdit(), "-a5b");
    EXPECT_EQ(w.cbTolerance->currentText(), "5");

    w.cbTolerance->setEditText("5");
    w.cbOverlap->setEditText("0");
    w.cbExactFill->setChecked(false);
    w.btnSaveTiming->click();
    EXPECT_FALSE(w.isVisible());
    const std::string saved = f.station.dir.Read("kestrune.ini");
    EXPECT_EQ(saved.substr(0, 27), "[Config]\r\nplaylistsdir=/p\r\n");
    const TimingSettings expected{FillMode::Walk, 5, 0};
    EXPECT_EQ(ParseTimingSettings(saved), expected);
    EXPECT_EQ(form.Context().build.timing, expected);
}

// In each settings window Enter in a field saves and closes; Esc closes and saves nothing, and
// the next opening shows what is stored, not what was typed.
TEST(TimingWindow, EnterSavesAndEscClosesUnsavedInEverySettingsWindow) {
    AppFixture f;
    f.station.dir.Write("kestrune.ini", "[Config]\r\nplaylistsdir=" + f.Path("Playlists") +
                                            "\r\nsessionsdir=" + f.Path("Sessions") + "\r\n");
    TfMainForm& form = f.Form();
    std::filesystem::create_directories(f.Path("Lists"));
    const struct {
        const char* name;
        QWidget* window;
        std::function<void()> open;
        std::function<QWidget*()> edit;  // changes a field and answers where Enter is pressed
        std::function<bool()> showsEdit;
    } windows[] = {
        {"Rules", f.rules.get(), [&] { form.Rules1Click(); },
         [&] { f.rules->cbTitleHours->setEditText("7"); return f.rules->cbTitleHours->lineEdit(); },
         [&] { return f.rules->cbTitleHours->currentText() == "7"; }},
        {"Timing", f.timing.get(), [&] { form.Timing1Click(); },
         [&] { f.timing->cbOverlap->setEditText("4"); return f.timing->cbOverlap->lineEdit(); },
         [&] { return f.timing->cbOverlap->currentText() == "4"; }},
        {"Library", f.library.get(), [&] { form.Library1Click(); },
         [&] { f.library->cbExtinf->toggle(); return f.library->cbExtinf; },
         [&] { return f.library->cbExtinf->isChecked() != ReadOutputOptions(f.Path("kestrune.ini")).extinf; }},
        {"Directories", f.directories.get(), [&] { form.Directories1Click(); },
         [&] { f.directories->edPlaylists->setText(QString::fromStdString(f.Path("Lists")));
               return f.directories->edPlaylists; },
         [&] { return f.directories->edPlaylists->text().endsWith("Lists") &&
                      !f.directories->edPlaylists->text().endsWith("Playlists"); }},
    };
    for (const auto& w : windows) {
        const std::string before = f.station.dir.Read("kestrune.ini");
        w.open();
        ASSERT_TRUE(w.window->isVisible()) << w.name;
        w.edit();
        QTest::keyClick(w.window, Qt::Key_Escape);
        EXPECT_FALSE(w.window->isVisible()) << w.name << ": Esc closes";
        EXPECT_EQ(f.station.dir.Read("kestrune.ini"), before) << w.name << ": Esc saves nothing";
        w.open();
        EXPECT_FALSE(w.showsEdit()) << w.name << ": opened again, what is stored";
        QTest::keyClick(w.edit(), Qt::Key_Return);
        EXPECT_FALSE(w.window->isVisible()) << w.name << ": Enter saves and closes";
        EXPECT_NE(f.station.dir.Read("kestrune.ini"), before) << w.name << ": Enter saved";
    }
    EXPECT_TRUE(f.prompts.errors.empty());
    EXPECT_EQ(ReadTimingSettings(f.Path("kestrune.ini")).overlapSeconds, 4);
}

TEST(WeekGridModel, ShowsHowFarEachBuiltHourEndsFromTheHour) {
    WeekGrid grid;
    grid.Set(0, 6, "/st/Sessions/morning.cwt");
    grid.Set(0, 7, "/st/Sessions/morning.cwt");
    WeekGridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    // One unit, h:mm:ss: signed in the narrow cell, in words in the tooltip; the colour of a
    // miss says how far off it is, an hour on time keeps its session's colour.
    const struct {
        int64_t errorMs;
        bool onTime;
        const char* cell;
        const char* tip;
        int step;
    } ends[] = {
        {400, true, "morning\non time", "ends on the hour, within its window", 0},
        {1600, true, "morning\non time", "ends 0:00:02 late, within its window", 0},
        {-41049, false, "morning\n-0:00:41", "ends 0:00:41 early, outside its window", 1},
        {59999, false, "morning\n+0:01:00", "ends 0:01:00 late, outside its window", 1},
        {60000, false, "morning\n+0:01:00", "ends 0:01:00 late, outside its window", 2},
        {-2406200, false, "morning\n-0:40:06", "ends 0:40:06 early, outside its window", 3},
    };
    const QVariant sessionColour = model.data(model.index(0, 6), Qt::BackgroundRole);
    std::set<QRgb> scale;
    for (const auto& end : ends) {
        model.SetHourEnds({{0, 6, end.errorMs, end.onTime}, {9, 0, 0, true}});
        EXPECT_EQ(model.data(model.index(0, 6)).toString(), end.cell) << end.errorMs;
        EXPECT_EQ(model.data(model.index(0, 6), Qt::ToolTipRole).toString(),
                  QString("/st/Sessions/morning.cwt\nLast built: ") + end.tip)
            << end.errorMs;
        const QVariant colour = model.data(model.index(0, 6), Qt::BackgroundRole);
        if (end.step == 0) {
            EXPECT_EQ(colour, sessionColour) << end.errorMs;
        } else {
            EXPECT_EQ(colour.value<QColor>(), WeekGridModel::OffColour(end.step)) << end.errorMs;
            scale.insert(colour.value<QColor>().rgb());
        }
    }
    EXPECT_EQ(scale.size(), 3u) << "a colour for each step of how far off";
    EXPECT_EQ(model.data(model.index(0, 7)).toString(), "morning") << "never built";
    model.SetHourEnds({});
    EXPECT_EQ(model.data(model.index(0, 6)).toString(), "morning");
}

}  // namespace
}  // namespace kestrune::app
