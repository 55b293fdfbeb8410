#include <gtest/gtest.h>

#include <filesystem>

#include "platform/KestruneError.h"
#include "sessions/DemoSession.h"
#include "sessions/SessionFile.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::StationFixture;

StationFolders DemoFolders(const StationFixture& f) {
    std::filesystem::create_directories(f.dir / "Playlists");
    std::filesystem::create_directories(f.dir / "Sessions");
    return {f.dir.Path(), f.dir / "Playlists", f.dir / "Sessions", f.dir / "Demo_MP3's",
            f.dir.Path()};
}

TEST(DemoSession, WritesSevenPlaylistsAndOffersTheSession) {
    EXPECT_EQ(DemoPlaylistLines("E:\\Radio\\Demo_MP3's", DemoCategories()[0]).size(), 10u);
    StationFixture f;
    const StationFolders folders = DemoFolders(f);
    f.dir.Write("Sessions/master_template.cfg",
                "demo_current.m3u\r\ndemo_commercials.m3u\r\n\r\ndemo_current.m3u\r\n");
    f.dir.Write("Playlists/demo_oldies.m3u", "edited by the user\r\n");
    f.session.lbFinalPlaylist = {"kept.mp3"};
    f.session.fDMCA = {false, "5"};
    SaveQuestion dialog = SessionSaveDialog(folders.sessions);
    f.prompts.saveAnswer = folders.sessions + "/" + kDemoSessionName;
    ASSERT_TRUE(LoadDemoSession2Click(f.context, folders, dialog));

    LineList expectedMaster;
    for (const char* name : {"demo_commercials", "demo_current", "demo_jingles", "demo_newhits",
                             "demo_oldies", "demo_promos", "demo_PSAs"})
        expectedMaster.push_back(folders.playlists + "/" + name + ".m3u");
    EXPECT_EQ(f.session.lbMasterPlaylists.Lines(), expectedMaster);
    const LineList oldies = f.Lines(folders.playlists + "/demo_oldies.m3u");
    ASSERT_EQ(oldies.size(), 10u);
    EXPECT_EQ(oldies[0], folders.demoMp3 + "/Oldie_1.mp3");
    EXPECT_EQ(oldies[9], folders.demoMp3 + "/Oldie_10.mp3");
    EXPECT_EQ(f.Lines(folders.playlists + "/demo_PSAs.m3u")[4], folders.demoMp3 + "/PSA_5.mp3");
    EXPECT_EQ(f.session.lbClockwheelTemplate,
              (LineList{folders.playlists + "/demo_current.m3u",
                        folders.playlists + "/demo_commercials.m3u", folders.playlists + "/",
                        folders.playlists + "/demo_current.m3u"}));
    EXPECT_EQ(f.session.OutputFile(), folders.playlists + "/demo_current_hit_radio_format_1hr.m3u");
    EXPECT_EQ(f.session.ComboBox1, "60");
    EXPECT_EQ(f.session.lbFinalPlaylist, LineList{"kept.mp3"});
    EXPECT_FALSE(f.session.fDMCA.cbDupeCheck);
    ASSERT_EQ(f.prompts.questions.size(), 1u);
    EXPECT_EQ(f.prompts.questions[0].proposedName, "demo_current_hit_radio_format_1hour.cwt");
    EXPECT_EQ(f.prompts.questions[0].initialFolder, folders.sessions);
    EXPECT_EQ(f.Lines(folders.sessions + "/" + kDemoSessionName).back(), "000");

    // A second run writes the same files again.
    const std::string before = f.dir.Read("Playlists/demo_jingles.m3u");
    f.prompts.saveAnswer.reset();
    EXPECT_FALSE(LoadDemoSession2Click(f.context, folders, dialog));
    EXPECT_EQ(f.dir.Read("Playlists/demo_jingles.m3u"), before);
}

TEST(DemoSession, MissingOrEmptyTemplateAndMissingFolders) {
    StationFixture f;
    const StationFolders folders = DemoFolders(f);
    SaveQuestion dialog = SessionSaveDialog(folders.sessions);
    f.session.lbClockwheelTemplate = {"old slot"};
    try {
        LoadDemoSession2Click(f.context, folders, dialog);
        FAIL() << "a missing template stops the demo";
    } catch (const KestruneError& error) {
        EXPECT_EQ(error.what(), "Cannot open file " + folders.sessions + "/master_template.cfg");
    }
    EXPECT_EQ(f.session.lbMasterPlaylists.Count(), 7);
    EXPECT_TRUE(f.session.lbClockwheelTemplate.empty());
    EXPECT_TRUE(f.session.lbSavePlaylist.empty());

    f.dir.Write("Sessions/master_template.cfg", "");
    EXPECT_FALSE(LoadDemoSession2Click(f.context, folders, dialog));
    EXPECT_EQ(f.prompts.messages, std::vector<std::string>{messages::kSessionNoTemplate});

    StationFolders broken = folders;
    broken.playlists = f.dir / "no-such-folder";
    try {
        LoadDemoSession2Click(f.context, broken, dialog);
        FAIL() << "an unwritable playlists folder stops the demo";
    } catch (const KestruneError& error) {
        EXPECT_EQ(error.what(), "Cannot create file " + broken.playlists + "/demo_oldies.m3u");
    }
    EXPECT_TRUE(f.session.lbMasterPlaylists.Empty());
}

}  // namespace
}  // namespace kestrune
