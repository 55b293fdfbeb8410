#include <gtest/gtest.h>

#include "AppFixture.h"
#include "platform/LineList.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

TEST(SessionsMenu, LoadAndSaveGoThroughTheirDialogs) {
    AppFixture f;
    TfMainForm& form = f.Form();
    f.station.dir.Write("Sessions/hour.cwt", "/l/a.m3u\r\n/l/b.m3u\r\n#\r\n/l/a.m3u\r\n##\r\n90\r\n###\r\n/l/out.m3u\r\n####\r\n110\r\n");
    form.Session().lbFinalPlaylist = {"unsaved.mp3"};

    form.Load1->trigger();  // cancelled: nothing changes
    EXPECT_EQ(form.Session().lbFinalPlaylist.size(), 1u);
    ASSERT_EQ(f.prompts.openQuestions.size(), 1u);
    EXPECT_EQ(f.prompts.openQuestions[0].filter, "Clock Wheel Template|*.cwt");
    EXPECT_EQ(f.prompts.openQuestions[0].initialFolder, f.Path("Sessions"));

    f.prompts.openAnswers.push_back({f.Path("Sessions/hour.cwt")});
    form.Context().view.ShowStatus("Playlist is complete and is exactly 1:00:00.");
    f.prompts.yesNoAnswer = true;  // the unsaved build may go
    form.Load1->trigger();
    EXPECT_EQ(f.prompts.yesNoQuestions.size(), 1u) << "asked before the build went";
    EXPECT_EQ(form.StatusText(), "") << "the old status was about the session before";
    EXPECT_EQ(form.Session().lbMasterPlaylists.Lines(), (LineList{"/l/a.m3u", "/l/b.m3u"}));
    EXPECT_EQ(form.Session().ComboBox1, "90");
    EXPECT_TRUE(form.Session().lbFinalPlaylist.empty());
    EXPECT_FALSE(form.Session().fDMCA.cbDupeCheck);
    EXPECT_TRUE(f.prompts.errors.empty());

    f.prompts.saveAnswers.push_back(f.Path("Sessions/copy.cwt"));
    form.Save1->trigger();
    EXPECT_EQ(f.station.dir.Read("Sessions/copy.cwt"), f.station.dir.Read("Sessions/hour.cwt"));
    EXPECT_EQ(form.StatusText().toStdString(), "Session saved to " + f.Path("Sessions/copy.cwt") + ".");
    form.Save1->trigger();  // the name chosen is proposed again
    EXPECT_EQ(f.prompts.saveQuestions.back().proposedName, f.Path("Sessions/copy.cwt"));

    // A broken file: the error box, the panes as far as the load came, the window goes on.
    f.station.dir.Write("Sessions/broken.cwt", "/l/only.m3u\r\n");
    f.prompts.openAnswers.push_back({f.Path("Sessions/broken.cwt")});
    form.Load1->trigger();
    EXPECT_EQ(f.prompts.errors, std::vector<std::string>{"List index out of bounds (1)"});
    EXPECT_EQ(form.Session().lbMasterPlaylists.Lines(), LineList{"/l/only.m3u"});
    EXPECT_TRUE(form.Session().lbClockwheelTemplate.empty());
    f.prompts.openAnswers.push_back({f.Path("Sessions/gone.cwt")});
    form.Load1->trigger();
    EXPECT_EQ(f.prompts.errors.back(), "Cannot open file " + f.Path("Sessions/gone.cwt") + ".");
    EXPECT_TRUE(form.Session().lbMasterPlaylists.Empty());
}

TEST(DemoMenu, WritesTheDemoAndOffersItsSession) {
    AppFixture f;
    f.station.dir.Write("Sessions/master_template.cfg", "demo_current.m3u\r\ndemo_jingles.m3u\r\n");
    TfMainForm& form = f.Form();
    f.prompts.saveAnswers.push_back(std::nullopt);  // the user cancels the save
    form.LoadDemoSession2->trigger();
    EXPECT_EQ(form.Session().lbMasterPlaylists.Count(), 7);
    EXPECT_EQ(form.Session().lbClockwheelTemplate.size(), 2u);
    EXPECT_EQ(form.Session().ComboBox1, "60");
    ASSERT_EQ(f.prompts.saveQuestions.size(), 1u);
    EXPECT_EQ(f.prompts.saveQuestions[0].proposedName, "demo_current_hit_radio_format_1hour.cwt");
    EXPECT_EQ(f.prompts.saveQuestions[0].initialFolder, f.Path("Sessions"));
    EXPECT_FALSE(std::filesystem::exists(f.Path("Sessions/demo_current_hit_radio_format_1hour.cwt")));
    EXPECT_EQ(f.station.Lines(f.Path("Playlists/demo_oldies.m3u")).size(), 10u);
}

}  // namespace
}  // namespace kestrune::app
