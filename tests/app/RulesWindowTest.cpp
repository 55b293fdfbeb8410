#include <gtest/gtest.h>

#include <filesystem>

#include <QMenuBar>
#include <QTest>

#include "AppFixture.h"
#include "rules/RuleSettings.h"
#include "tags/LibrarySettings.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

TEST(RulesWindow, TheStationsOwnRulesWinAndAreSavedInTheStationsFile) {
    AppFixture f;
    std::filesystem::create_directories(f.Path("program"));
    f.programIni = f.Path("program/kestrune.ini");
    const std::string programText = "[Rules]\r\ntitle_hours=9\r\nalbum_hours=4\r\n";
    f.station.dir.Write("program/kestrune.ini", programText);
    f.station.dir.Write("kestrune.ini", "[Rules]\r\ntitle_hours=2\r\n");
    TfMainForm& form = f.Form();
    EXPECT_EQ(form.Context().build.rules.titleHours, 2);
    EXPECT_EQ(form.Context().build.rules.albumHours, 4);
    form.Rules1Click();
    TfRules& w = *f.rules;
    EXPECT_EQ(w.cbTitleHours->currentText(), "2");
    EXPECT_EQ(w.cbAlbumHours->currentText(), "4");
    w.cbAlbumHours->setEditText("5");
    w.btnSaveRules->click();
    EXPECT_FALSE(w.isVisible());
    // Written where it is read: the program's file would be hidden by the station's.
    EXPECT_EQ(f.station.dir.Read("program/kestrune.ini"), programText);
    const RuleSettings saved = ParseRuleSettings(f.station.dir.Read("kestrune.ini"));
    EXPECT_EQ(saved.titleHours, 2);
    EXPECT_EQ(saved.albumHours, 5);
    EXPECT_EQ(form.Context().build.rules.albumHours, 5);
    EXPECT_TRUE(f.prompts.errors.empty());
}

TEST(RulesWindow, ShowsTheStoredRulesAndSavesWhatIsTyped) {
    AppFixture f;
    f.station.dir.Write("kestrune.ini",
                        "[Config]\r\nplaylistsdir=/p\r\n[Rules]\r\ntitle_hours=6\r\n"
                        "artist_matching=loose\r\nexempt=a.m3u;b.m3u\r\nhistory=1\r\n");
    TfMainForm& form = f.Form();
    TfRules& w = *f.rules;
    // In the Config menu, right after the two checkers.
    QStringList config;
    for (QAction* menu : form.menuBar()->actions())
        if (menu->text() == "&Config")
            for (QAction* item : menu->menu()->actions()) config << item->text();
    EXPECT_EQ(config,
              (QStringList{"D&upe Checker", "&Genre Checker", "&Rules", "&Timing",
                           "&Library and Output",
                           "Set Directories"}));

    EXPECT_FALSE(w.isVisible());
    form.Rules1Click();
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Rules");
    EXPECT_EQ(w.cbTitleHours->currentText(), "6");
    EXPECT_EQ(w.cbAlbumHours->currentText(), "0");
    EXPECT_EQ(w.cbArtistMatching->currentText(), "loose");
    EXPECT_EQ(w.edExempt->text(), "a.m3u;b.m3u");
    EXPECT_TRUE(w.cbHistory->isChecked());
    EXPECT_FALSE(w.cbPerformanceComplement->isChecked());
    EXPECT_FALSE(w.cbLeastRecent->isChecked());

    // Hours that are not a number: a box naming the field, the window stays, nothing written.
    const std::string before = f.station.dir.Read("kestrune.ini");
    w.cbAlbumHours->setEditText("three");
    w.btnSaveRules->click();
    EXPECT_EQ(f.prompts.messages.back(),
              "Album separation (in hours) must be a whole number from 0 to 8760.");
    EXPECT_TRUE(f.prompts.errors.empty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(f.station.dir.Read("kestrune.ini"), before);

    w.cbAlbumHours->setEditText("3");
    QTest::keyClicks(w.edExempt, "; c.m3u");
    w.cbPerformanceComplement->setChecked(true);
    w.cbHistory->setChecked(false);
    w.cbLeastRecent->setChecked(true);
    w.cbArtistMatching->setCurrentIndex(0);
    w.btnSaveRules->click();
    EXPECT_FALSE(w.isVisible());
    const std::string saved = f.station.dir.Read("kestrune.ini");
    EXPECT_EQ(saved.substr(0, 29), "[Config]\r\nplaylistsdir=/p\r\n[R");
    const RuleSettings rules = ParseRuleSettings(saved);
    EXPECT_EQ(rules.titleHours, 6);
    EXPECT_EQ(rules.albumHours, 3);
    EXPECT_EQ(rules.artistMatching, ArtistMatching::Exact);
    EXPECT_EQ(rules.exempt, (std::vector<std::string>{"a.m3u", "b.m3u", "c.m3u"}));
    EXPECT_TRUE(rules.performanceComplement);
    EXPECT_FALSE(rules.history);
    EXPECT_EQ(rules.relax, Relax::LeastRecent);
}

TEST(RulesWindow, TicksTheMustRulesAndSaysWhichWindowCannotHoldWhenSaved) {
    AppFixture f;
    f.station.dir.Write("kestrune.ini", "[Rules]\r\ntitle_hours=6\r\nmust=title,genre\r\n");
    f.station.dir.Write("cur.m3u", "/m/a.mp3\r\n/m/b.mp3\r\n/m/c.mp3\r\n");
    TfMainForm& form = f.Form();
    form.Session().lbClockwheelTemplate = {f.Path("cur.m3u"), f.Path("cur.m3u")};
    form.Rules1Click();
    TfRules& w = *f.rules;
    std::vector<bool> ticked;
    for (QCheckBox* box : w.cbMust) ticked.push_back(box->isChecked());
    EXPECT_EQ(ticked, (std::vector<bool>{false, true, false, false, true, false}));
    w.cbMust[0]->setChecked(true);
    w.cbMust[4]->setChecked(false);
    const size_t before = f.prompts.messages.size();
    w.btnSaveRules->click();
    // Saved all the same, and the window says why the title cannot keep apart.
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ParseRuleSettings(f.station.dir.Read("kestrune.ini")).must,
              (std::vector<Rule>{Rule::Artist, Rule::Title}));
    EXPECT_EQ(form.Context().build.rules.must, (std::vector<Rule>{Rule::Artist, Rule::Title}));
    ASSERT_EQ(f.prompts.messages.size(), before + 1);
    EXPECT_EQ(f.prompts.messages.back(),
              "title_hours=6 cannot hold for cur.m3u: 3 songs at 2 an hour come round every "
              "1.5 h");
}

// The library and output settings: shown as stored, written with every other line kept, and in
// force at once for the reader, the list tools and the next build's output.
TEST(LibraryWindow, ShowsTheStoredSettingsAndPutsTheSavedOnesInForce) {
    AppFixture f;
    f.station.dir.Write("kestrune.ini", "[Config]\r\nplaylistsdir=/p\r\n[Library]\r\ntags=id3v1\r\n");
    TfMainForm& form = f.Form();
    TfLibrary& w = *f.library;
    form.Library1Click();
    ASSERT_TRUE(w.isVisible());
    EXPECT_TRUE(w.cbId3v1Only->isChecked());
    EXPECT_FALSE(w.cbMp3Only->isChecked());
    EXPECT_FALSE(w.cbExtinf->isChecked());

    form.Context().build.reader.library = LibrarySettings{true, false};
    w.cbId3v1Only->setChecked(false);
    w.cbMp3Only->setChecked(true);
    w.cbExtinf->setChecked(true);
    w.btnSaveLibrary->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(f.prompts.errors.empty());
    const std::string saved = f.station.dir.Read("kestrune.ini");
    EXPECT_EQ(saved.substr(0, 27), "[Config]\r\nplaylistsdir=/p\r\n");
    const LibrarySettings stored = ReadLibrarySettings(f.Path("kestrune.ini"));
    EXPECT_FALSE(stored.id3v1Only);
    EXPECT_TRUE(stored.mp3Only);
    // The builds and the list tools read with what was saved from now on.
    EXPECT_FALSE(form.Context().build.reader.library.id3v1Only);
    EXPECT_TRUE(form.Context().build.reader.library.mp3Only);
    EXPECT_TRUE(form.Session().output.extinf);
    EXPECT_NE(saved.find("[Output]\r\nextinf=1"), std::string::npos) << saved;
}

}  // namespace
}  // namespace kestrune::app
