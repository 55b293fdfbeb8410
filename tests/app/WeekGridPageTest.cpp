#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>

#include "AppFixture.h"
#include "WeekGridPage.h"
#include "platform/LineList.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

TEST(WeekGridModel, IsASoundTableOfDaysAndHours) {
    WeekGrid grid;
    grid.Set(1, 7, "/st/Sessions/morning show.cwt");
    WeekGridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 7);
    EXPECT_EQ(model.columnCount(), 24);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toString(), "Mon");
    EXPECT_EQ(model.headerData(6, Qt::Vertical).toString(), "Sun");
    EXPECT_EQ(model.headerData(7, Qt::Horizontal).toString(), "07");
    EXPECT_EQ(model.data(model.index(1, 7)).toString(), "morning show");
    EXPECT_EQ(model.data(model.index(1, 7), Qt::ToolTipRole).toString(),
              "/st/Sessions/morning show.cwt");
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "");

    // Edits go into the core grid, which stays the truth.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(model.index(6, 23), "late.cwt"));
    EXPECT_EQ(grid.At(6, 23), "late.cwt");
    EXPECT_FALSE(model.setData(model.index(7, 0), "x.cwt"));
    model.SetSession({model.index(2, 3), model.index(4, 5), model.index(3, 4)}, "block.cwt");
    EXPECT_EQ(grid.At(2, 3), "block.cwt");
    EXPECT_EQ(grid.At(3, 4), "block.cwt");
    EXPECT_EQ(grid.At(4, 5), "block.cwt");
    EXPECT_EQ(grid.At(2, 4), "");
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[1][0].toModelIndex(), model.index(2, 3));
    EXPECT_EQ(changed[1][1].toModelIndex(), model.index(4, 5));
}

TEST(WeekGridPage, ABlockOfHoursTakesOneSessionAndTheGridIsSavedAndLoaded) {
    AppFixture f;
    TfMainForm& form = f.Form();
    WeekGridPage& page = *form.tsWeekGrid;
    form.WeekGrid1->trigger();
    EXPECT_EQ(form.pcFormTabs->currentWidget(), &page);

    // Monday to Wednesday, 06 to 09: twelve hours in one go.
    QItemSelectionModel& selection = *page.Table().selectionModel();
    selection.select(QItemSelection(page.Model().index(0, 6), page.Model().index(2, 9)),
                     QItemSelectionModel::Select);
    f.prompts.openAnswers.push_back({f.Path("Sessions/morning.cwt")});
    page.ChooseSessionForSelection();
    ASSERT_EQ(f.prompts.openQuestions.size(), 1u);
    EXPECT_EQ(f.prompts.openQuestions[0].filter, "Clock Wheel Template|*.cwt");
    int named = 0;
    for (const std::string& cell : page.Grid().cells) named += cell == "morning.cwt" ? 1 : 0;
    EXPECT_EQ(named, 12);  // kept by name: the session is in the sessions folder
    EXPECT_EQ(page.Grid().At(2, 9), "morning.cwt");

    selection.clearSelection();
    selection.select(page.Model().index(1, 7), QItemSelectionModel::Select);
    page.ClearSelection();
    EXPECT_EQ(page.Grid().At(1, 7), "");
    selection.select(page.Model().index(5, 5), QItemSelectionModel::ClearAndSelect);
    f.prompts.openAnswers.push_back({"/elsewhere/other.cwt"});
    page.ChooseSessionForSelection();
    EXPECT_EQ(page.Grid().At(5, 5), "/elsewhere/other.cwt");

    f.prompts.saveAnswers.push_back(f.Path("Sessions/week.kwg"));
    form.SaveWeekGrid1->trigger();
    ASSERT_FALSE(f.prompts.saveQuestions.empty());
    EXPECT_EQ(f.prompts.saveQuestions.back().filter, "Week Grid|*.kwg");
    EXPECT_EQ(f.prompts.saveQuestions.back().proposedName, "week.kwg");
    const LineList lines = ParseLines(f.station.dir.Read("Sessions/week.kwg"));
    ASSERT_EQ(lines.size(), 3u + 168u);
    EXPECT_EQ(lines[3 + 6], "Mon 06 morning.cwt");
    EXPECT_EQ(lines[3 + 24 + 7], "Tue 07");
    EXPECT_EQ(lines[3 + 5 * 24 + 5], "Sat 05 /elsewhere/other.cwt");

    // Loading replaces the whole grid; a broken file shows its line and changes nothing.
    f.station.dir.Write("Sessions/other.kwg", "Sun 23 night.cwt\r\n");
    f.prompts.openAnswers.push_back({f.Path("Sessions/other.kwg")});
    form.LoadWeekGrid1->trigger();
    EXPECT_EQ(page.Grid().At(6, 23), "night.cwt");
    EXPECT_EQ(page.Grid().At(0, 6), "");
    EXPECT_EQ(page.Model().data(page.Model().index(6, 23)).toString(), "night");
    EXPECT_EQ(page.GridFile(), f.Path("Sessions/other.kwg"));

    f.station.dir.Write("Sessions/bad.kwg", "Sun 23 night.cwt\r\nSun 24 x.cwt\r\n");
    f.prompts.openAnswers.push_back({f.Path("Sessions/bad.kwg")});
    form.LoadWeekGrid1->trigger();
    ASSERT_EQ(f.prompts.errors.size(), 1u);
    EXPECT_NE(f.prompts.errors[0].find("line 2: there is no hour \"Sun 24\" in a week"),
              std::string::npos);
    EXPECT_EQ(page.Grid().At(6, 23), "night.cwt");
    EXPECT_EQ(page.GridFile(), f.Path("Sessions/other.kwg"));
}

}  // namespace
}  // namespace kestrune::app
