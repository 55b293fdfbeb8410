#include <gtest/gtest.h>

#include <QTest>

#include "AppFixture.h"
#include "BuildPage.h"
#include "MainForm.h"
#include "PathNames.h"
#include "SlotTimeDialog.h"

namespace kestrune::app {
namespace {

TEST(SlotTime, TimeSetsShowsAndClearsTheSelectedSlotsTime) {
    testing::AppFixture f;
    BuildPage& page = *f.Form().tsBuildPlaylist;
    BuildSession& model = f.Form().Session();
    model.lbMasterPlaylists.Add("/lists/spots.m3u");
    model.lbClockwheelTemplate = {"/lists/spots.m3u", "/lists/spots.m3u"};
    page.Refresh();

    page.btSlotTime->click();  // nothing selected
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_TRUE(f.prompts.slotTimeQuestions.empty());

    const SlotTime spots{20 * 60, SlotTimeKind::Soft, 45};
    page.lbClockwheelTemplate->setCurrentRow(1);
    f.prompts.slotTimeAnswer = AppPrompts::SlotTimeAnswer{spots};
    page.btSlotTime->click();
    ASSERT_EQ(f.prompts.slotTimeQuestions.size(), 1u);
    EXPECT_EQ(f.prompts.slotTimeQuestions[0].first, "Slot 2: /lists/spots.m3u");
    EXPECT_EQ(f.prompts.slotTimeQuestions[0].second, std::nullopt);
    EXPECT_EQ(model.slotTimes.At(1), spots);
    QListWidgetItem* item = page.lbClockwheelTemplate->item(1);
    EXPECT_EQ(item->text(), "/lists/spots.m3u") << "the entry is still the playlist's path";
    EXPECT_EQ(item->data(kBadgeRole).toString(), ":20:00 soft");
    EXPECT_EQ(item->data(Qt::ToolTipRole).toString(), "Starts at :20:00, soft (45 s)");

    // Up carries the time with the slot; a cancelled question changes nothing; cleared, the
    // badge goes.
    page.btFileUp->click();
    EXPECT_EQ(model.slotTimes.At(0), spots);
    EXPECT_EQ(page.lbClockwheelTemplate->item(0)->data(kBadgeRole).toString(), ":20:00 soft");
    EXPECT_TRUE(page.lbClockwheelTemplate->item(1)->data(kBadgeRole).toString().isEmpty());
    f.prompts.slotTimeAnswer.reset();
    page.btSlotTime->click();
    EXPECT_EQ(f.prompts.slotTimeQuestions.back().second, spots);
    EXPECT_EQ(model.slotTimes.At(0), spots);
    f.prompts.slotTimeAnswer = AppPrompts::SlotTimeAnswer{std::nullopt};
    page.btSlotTime->click();
    EXPECT_TRUE(model.slotTimes.Empty());
    EXPECT_TRUE(page.lbClockwheelTemplate->item(0)->data(kBadgeRole).toString().isEmpty());
}

TEST(SlotTime, TheDialogGivesWhatItsFieldsSayOrWhatIsWrongWithThem) {
    SlotTimeDialog dialog("Slot 18: ids.m3u", SlotTime{3590, SlotTimeKind::Before, 20});
    std::string problem;
    EXPECT_EQ(dialog.Chosen(problem), (SlotTime{3590, SlotTimeKind::Before, 20}));
    EXPECT_EQ(dialog.edTime->text(), ":59:50");
    dialog.cbKind->setCurrentIndex(1);
    EXPECT_FALSE(dialog.sbWindow->isEnabled()) << "a hard time has the timing's tolerance";
    dialog.edTime->setText("0");
    EXPECT_EQ(dialog.Chosen(problem), (SlotTime{0, SlotTimeKind::Hard, 20}));
    dialog.edTime->setText("half past");
    EXPECT_EQ(dialog.Chosen(problem), std::nullopt);
    EXPECT_EQ(problem,
              "\"half past\" is not a time of the hour. Type minutes and seconds, for example "
              ":20:00.");
    dialog.cbKind->setCurrentIndex(0);
    EXPECT_FALSE(dialog.edTime->isEnabled());
    EXPECT_EQ(dialog.Chosen(problem), std::nullopt);
    EXPECT_TRUE(problem.empty());
}

}  // namespace
}  // namespace kestrune::app
