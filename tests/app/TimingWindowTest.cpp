#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QColor>
#include <QMenuBar>

#include "AppFixture.h"
#include "WeekGridModel.h"
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

TEST(WeekGridModel, ShowsHowFarEachBuiltHourEndsFromTheHour) {
    WeekGrid grid;
    grid.Set(0, 6, "/st/Sessions/morning.cwt");
    grid.Set(0, 7, "/st/Sessions/morning.cwt");
    WeekGridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetHourEnds({{0, 6, 400, true}, {0, 7, -41049, false}, {9, 0, 0, true}});
    EXPECT_EQ(model.data(model.index(0, 6)).toString(), "morning\n+0.4 s");
    EXPECT_EQ(model.data(model.index(0, 7)).toString(), "morning\n-41.0 s");
    EXPECT_FALSE(model.data(model.index(0, 6), Qt::ForegroundRole).isValid());
    EXPECT_EQ(model.data(model.index(0, 7), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(model.data(model.index(0, 7), Qt::ToolTipRole).toString(),
              "/st/Sessions/morning.cwt\nLast built: ends -41.0 s from the hour, outside its window");
    model.SetHourEnds({});
    EXPECT_EQ(model.data(model.index(0, 6)).toString(), "morning");
}

}  // namespace
}  // namespace kestrune::app
