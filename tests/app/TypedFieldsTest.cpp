#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <filesystem>

#include "AppFixture.h"
#include "BuildPage.h"
#include "NumberFields.h"
#include "OptionWindows.h"
#include "SchedulingPage.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

// Types into the field as an operator does: all of it replaced, then the keys, then Tab.
QString TypeAndLeave(QComboBox* box, const QString& typed) {
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), typed);
    QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
    return box->currentText();
}

TEST(TypedFields, TheDesiredLengthStaysAsTypedAndTakesOnlyDigits) {
    AppFixture f;
    f.Form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Form(), testing::kGenerousMilliseconds));
    QComboBox* length = f.Form().tsBuildPlaylist->ComboBox1;
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"10", "10"},    // once completed to the preset 1020
        {"4", "4"},      // once 480
        {"12", "12"},    // once 120
        {"45", "45"},
        {"1440", "1440"},
        {"9x0", "90"},   // a letter does not go in
        {"-30", "30"},
        {"1234567", "12345"},  // five digits at most
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TypeAndLeave(length, c.typed), c.kept) << c.typed;
        EXPECT_EQ(f.Form().Session().ComboBox1, c.kept) << c.typed;
    }
    EXPECT_EQ(length->count(), 26) << "the presets stay in the list";
    EXPECT_EQ(length->itemText(1), "60");
}

TEST(TypedFields, HoursFieldsOfTheOptionWindowsStayAsTyped) {
    AppFixture f;
    f.Form();
    f.dupe->show();
    EXPECT_EQ(TypeAndLeave(f.dupe->ComboBox1, "2"), "2");
    EXPECT_EQ(TypeAndLeave(f.dupe->ComboBox1, "-4"), "4");
    EXPECT_EQ(f.Form().Session().fDMCA.ComboBox1, "4");
    f.rules->Open();
    EXPECT_EQ(TypeAndLeave(f.rules->cbTitleHours, "1"), "1") << "not the preset 12";
    EXPECT_EQ(TypeAndLeave(f.rules->cbAlbumHours, "2a"), "2");
    SchedulingPage& page = *f.Form().tsScheduling;
    EXPECT_EQ(TypeAndLeave(page.ComboBox2, "1"), "1") << "not completed to 1 AM";
}

TEST(TypedFields, TheRulesWindowRefusesHoursOutOfRangeNamingTheField) {
    AppFixture f;
    f.Form();
    TfRules& rules = *f.rules;
    const auto iniText = [&] {
        return std::filesystem::exists(f.Path("kestrune.ini")) ? f.station.dir.Read("kestrune.ini")
                                                               : std::string();
    };
    const std::string before = iniText();
    rules.Open();
    const struct {
        const char* title;
        const char* album;
        const char* message;
    } cases[] = {
        // A text from elsewhere (pasted, say) that the field's digits-only rule did not see.
        {"abc", "0", "Title separation (in hours) must be a whole number from 0 to 8760."},
        {"", "0", "Title separation (in hours) must be a whole number from 0 to 8760."},
        {"2", "-4", "Album separation (in hours) must be a whole number from 0 to 8760."},
        {"2", "9000", "Album separation (in hours) must be a whole number from 0 to 8760."},
    };
    for (const auto& c : cases) {
        rules.cbTitleHours->setEditText(c.title);
        rules.cbAlbumHours->setEditText(c.album);
        rules.btnSaveRules->click();
        EXPECT_EQ(f.prompts.messages.back(), c.message) << c.title << " " << c.album;
        EXPECT_TRUE(rules.isVisible()) << "the window stays open";
        EXPECT_EQ(iniText(), before) << "nothing saved";
    }
    EXPECT_TRUE(f.prompts.errors.empty()) << "a message that names the field, not an error";
    rules.cbTitleHours->setEditText("2");
    rules.cbAlbumHours->setEditText("8760");
    rules.btnSaveRules->click();
    EXPECT_FALSE(rules.isVisible());
    EXPECT_NE(iniText().find("album_hours=8760"), std::string::npos);
}

TEST(TypedFields, WholeNumbersInARange) {
    const struct {
        const char* text;
        std::optional<int> number;
    } cases[] = {{"0", 0},           {"8760", 8760},  {"8761", std::nullopt},
                 {"", std::nullopt}, {" 12 ", 12},    {"-1", std::nullopt},
                 {"abc", std::nullopt}, {"1e3", std::nullopt},
                 {"99999999999999999999", std::nullopt}, {"\xd9\xa3", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(WholeNumberIn(QString::fromUtf8(c.text), 0, 8760), c.number) << c.text;
    EXPECT_EQ(NumberRangeMessage("Dupe Time (in hours)", 0, 8760),
              "Dupe Time (in hours) must be a whole number from 0 to 8760.");
}

}  // namespace
}  // namespace kestrune::app
