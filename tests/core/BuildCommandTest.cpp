#include <gtest/gtest.h>

#include <filesystem>

#include "building/BuildCommand.h"
#include "building/PlaylistBuilder.h"
#include "platform/KestruneError.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::SongSpec;
using testing::StationFixture;

TEST(BuildCommand, ChecksComeFirstInTheirOrder) {
    StationFixture f;
    EXPECT_FALSE(btBuildPlaylistClick(f.context));
    EXPECT_EQ(f.prompts.messages, std::vector<std::string>{messages::kNoTemplate});
    EXPECT_EQ(std::string(messages::kNoMasterPlaylists).back(), ' ');

    const std::string list = f.Playlist("a.m3u", {{240, "A", "a"}});
    f.session.lbClockwheelTemplate = {list};
    f.prompts.messages.clear();
    EXPECT_FALSE(btBuildPlaylistClick(f.context));
    EXPECT_EQ(f.prompts.messages, std::vector<std::string>{messages::kNoMasterPlaylists});

    f.session.lbMasterPlaylists.Add(list);
    f.prompts.messages.clear();
    EXPECT_FALSE(btBuildPlaylistClick(f.context));
    EXPECT_EQ(f.prompts.messages, std::vector<std::string>{messages::kNoOutputFile});

    f.session.SetOutputFile(f.dir / "hour.m3u");
    const std::string before = f.dir.Read("a.m3u");
    for (const std::string length : {"0", "-5"}) {
        f.session.ComboBox1 = length;
        f.prompts.messages.clear();
        EXPECT_FALSE(btBuildPlaylistClick(f.context));
        EXPECT_EQ(f.prompts.messages, std::vector<std::string>{messages::kLengthBelowOne});
    }
    f.session.ComboBox1 = "abc";
    f.prompts.messages.clear();
    try {
        btBuildPlaylistClick(f.context);
        ADD_FAILURE() << "a length of letters stops the command";
    } catch (const KestruneError& error) {
        EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
    }
    EXPECT_TRUE(f.prompts.messages.empty());
    EXPECT_TRUE(f.view.statuses.empty()) << "neither repair nor build ran";
    EXPECT_TRUE(f.session.mTextOutput.empty());
    EXPECT_EQ(f.dir.Read("a.m3u"), before);

    f.session.ComboBox1 = "4";
    const auto outcome = btBuildPlaylistClick(f.context);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_TRUE(outcome->reachedLength);
    EXPECT_EQ(f.prompts.messages.back(), "Playlist is complete. Click 'ACCEPT LIST' to save it.");
    EXPECT_EQ(f.session.lbFinalPlaylist.size(), 1u);
}

TEST(BuildCommand, ABuildThatFallsShortShowsItsStatusNotCompletion) {
    StationFixture f;
    // The only song is gone: the repair empties the list and nothing can be placed.
    f.dir.Write("gone.m3u", (f.dir / "gone.mp3") + "\r\n");
    f.session.lbMasterPlaylists.Add(f.dir / "gone.m3u");
    f.session.lbClockwheelTemplate = {f.dir / "gone.m3u"};
    f.session.SetOutputFile(f.dir / "hour.m3u");
    const auto outcome = btBuildPlaylistClick(f.context);
    ASSERT_TRUE(outcome.has_value()) << "the checks passed";
    EXPECT_FALSE(outcome->reachedLength);
    EXPECT_EQ(outcome->placedSeconds, 0);
    EXPECT_EQ(outcome->desiredSeconds, 3600);
    EXPECT_EQ(f.prompts.messages, std::vector<std::string>{kBuildCannotProgress});
    EXPECT_EQ(f.view.Status(), kBuildCannotProgress);
    // What was built may still be accepted.
    btAcceptFinalPlaylistClick(f.context);
    EXPECT_EQ(f.dir.Read("hour.m3u"), "");
}

TEST(BuildCommand, RepairCompletesLinesInBothPathStyles) {
    const auto win = PathStyle::Windows;
    EXPECT_EQ(CompleteLine("\\Music\\x.mp3", "D:\\Lists\\a.m3u", win), "D:\\Music\\x.mp3");
    EXPECT_EQ(CompleteLine("Music\\y.mp3", "D:\\Lists\\a.m3u", win), "D:\\Music\\y.mp3");
    EXPECT_EQ(CompleteLine("E:\\z.mp3", "D:\\Lists\\a.m3u", win), "E:\\z.mp3");
    EXPECT_EQ(CompleteLine("#EXTINF:123,Artist - Title", "D:\\Lists\\a.m3u", win),
              "D:\\#EXTINF:123,Artist - Title");
    EXPECT_EQ(CompleteLine("\\\\server\\share\\a.mp3", "D:\\Lists\\a.m3u", win),
              "D:\\\\server\\share\\a.mp3");
    EXPECT_EQ(CompleteLine("ab", "D:\\Lists\\a.m3u", win), "ab");
    EXPECT_TRUE(TooShortForFullPath("ab", win));
    EXPECT_FALSE(TooShortForFullPath("a:\\", win));

    const auto posix = PathStyle::Posix;
    EXPECT_EQ(CompleteLine("/music/x.mp3", "/lists/a.m3u", posix), "/music/x.mp3");
    EXPECT_EQ(CompleteLine("music/y.mp3", "/lists/a.m3u", posix), "/music/y.mp3");
    EXPECT_EQ(CompleteLine("", "/lists/a.m3u", posix), "");
    EXPECT_TRUE(TooShortForFullPath("", posix));
    EXPECT_FALSE(TooShortForFullPath("a", posix));
}

TEST(BuildCommand, RepairRemovesEveryLineThatNamesNoFile) {
    StationFixture f;
    const std::string good = f.Playlist("good.m3u", {{240, "A", "a"}, {200, "B", "b"}});
    const LineList songs = f.Lines(good);
    const std::string relative = songs[1].substr(1);  // without the leading separator
    f.dir.Write("mixed.m3u", FormatLines({songs[0], "", "#EXTM3U", relative, f.dir / "gone.mp3",
                                          f.dir / "gone.mp3", f.dir.Path()}));
    f.session.lbMasterPlaylists.Add(good);
    f.session.lbMasterPlaylists.Add(f.dir / "mixed.m3u");
    RepairPlaylists(f.context);
    EXPECT_EQ(f.Lines(f.dir / "mixed.m3u"), (LineList{songs[0], songs[1]}));
    EXPECT_EQ(f.Lines(good), songs);
    EXPECT_EQ(
        f.view.statuses,
        (std::vector<std::string>{
            "Checking " + good + " for errors.", "The list has been repaired.",
            "Checking " + (f.dir / "mixed.m3u") + " for errors.", "The list has been repaired."}));
    EXPECT_TRUE(f.session.lbMP3Errors.empty());
    EXPECT_EQ(f.session.lbListCheckerMP3s, (LineList{songs[0], songs[1]}));

    // A playlist that cannot be read stops the repair; those before it stay repaired.
    f.dir.Write("mixed.m3u", FormatLines({relative}));
    f.session.lbMasterPlaylists.Add(f.dir / "zz-gone.m3u");
    try {
        RepairPlaylists(f.context);
        ADD_FAILURE() << "a missing playlist stops the repair";
    } catch (const KestruneError& error) {
        EXPECT_EQ(error.what(), "Cannot open file " + (f.dir / "zz-gone.m3u"));
    }
    EXPECT_EQ(f.Lines(f.dir / "mixed.m3u"), LineList{songs[1]});
}

TEST(BuildCommand, AcceptWritesThePlaylistAndTheLogClearThrowsAway) {
    StationFixture f;
    f.session.lbFinalPlaylist = {"/m/a.mp3", "/m/b.mp3"};
    f.session.mTextOutput = {"Playlist generated 12/6/2026  18:5", "0:00  A - \"a\""};
    btAcceptFinalPlaylistClick(f.context);  // no output file: nothing happens
    EXPECT_TRUE(f.dir.Names().empty());

    f.session.SetOutputFile(f.dir / "hour1.m3u");
    f.dir.Write("hour1.m3u.txt", "older log");
    btAcceptFinalPlaylistClick(f.context);
    EXPECT_EQ(f.dir.Read("hour1.m3u"), "/m/a.mp3\r\n/m/b.mp3\r\n");
    EXPECT_EQ(f.dir.Read("hour1.m3u.txt"), "older log") << "Save to Text is off";

    f.session.cbTextOutput = true;
    btAcceptFinalPlaylistClick(f.context);
    EXPECT_EQ(f.dir.Read("hour1.m3u.txt"),
              "Playlist generated 12/6/2026  18:5\r\n0:00  A - \"a\"\r\n");

    f.view.SetMeterPosition(Meter::ProgressBar2, 50);
    btClearFinalPlaylistClick(f.context);
    EXPECT_TRUE(f.session.lbFinalPlaylist.empty());
    EXPECT_TRUE(f.session.mTextOutput.empty()) << "the log goes with the final playlist";
    EXPECT_EQ(f.view.State(Meter::ProgressBar2).position, 0);
    btAcceptFinalPlaylistClick(f.context);
    EXPECT_EQ(f.dir.Read("hour1.m3u"), "");
    EXPECT_EQ(f.dir.Read("hour1.m3u.txt"), "") << "no build, no log lines";

    f.session.SetOutputFile(f.dir / "no/such/folder.m3u");
    EXPECT_THROW(btAcceptFinalPlaylistClick(f.context), KestruneError);
}

TEST(BuildCommand, AnOutputFileThatIsACategoryIsRefusedAndNothingIsWritten) {
    StationFixture f;
    const std::string promos = f.Playlist("promos.m3u", {{30, "P", "p"}, {40, "Q", "q"}});
    const std::string hits = f.Playlist("hits.m3u", {{240, "A", "a"}});
    f.session.lbMasterPlaylists.Add(promos);
    f.session.lbMasterPlaylists.Add(hits);
    f.session.lbClockwheelTemplate = {hits, promos};
    std::filesystem::create_symlink(promos, f.dir / "link.m3u");
    const std::string before = f.dir.Read("promos.m3u");
    // The same file by its own name, another spelling of it and a link to it.
    for (const std::string& output :
         {promos, f.dir.Path() + "/./songs/../promos.m3u", f.dir / "link.m3u"}) {
        f.session.SetOutputFile(output);
        f.prompts.messages.clear();
        EXPECT_EQ(CategoryAtOutput(f.session), promos) << output;
        EXPECT_FALSE(btBuildPlaylistClick(f.context));
        EXPECT_FALSE(btAcceptFinalPlaylistClick(f.context));
        EXPECT_EQ(f.prompts.messages, std::vector<std::string>(2, OutputIsCategoryMessage(output)));
        EXPECT_NE(f.prompts.messages[0].find(output), std::string::npos) << "the file is named";
    }
    EXPECT_EQ(f.dir.Read("promos.m3u"), before);
    EXPECT_TRUE(f.view.statuses.empty()) << "neither repair nor build ran";
    EXPECT_TRUE(f.session.mTextOutput.empty());

    // A slot's playlist counts as well, also when it is not among the master playlists.
    f.session.lbMasterPlaylists.Clear();
    f.session.lbMasterPlaylists.Add(hits);
    f.session.SetOutputFile(promos);
    EXPECT_EQ(CategoryAtOutput(f.session), promos);
    f.session.SetOutputFile(f.dir / "promos.m3u.m3u");
    EXPECT_EQ(CategoryAtOutput(f.session), "");
    f.session.lbClockwheelTemplate = {hits};
    f.session.ComboBox1 = "4";
    EXPECT_TRUE(btBuildPlaylistClick(f.context));
    EXPECT_TRUE(btAcceptFinalPlaylistClick(f.context));
    EXPECT_EQ(f.Lines(f.dir / "promos.m3u.m3u"), f.session.lbFinalPlaylist);
}

TEST(BuildCommand, ASlotWhosePlaylistWasRemovedIsRefusedByName) {
    StationFixture f;
    const std::string hits = f.Playlist("hits.m3u", {{240, "A", "a"}});
    const std::string gone = f.Playlist("gone.m3u", {{240, "B", "b"}});
    f.session.lbMasterPlaylists.Add(hits);
    f.session.lbClockwheelTemplate = {hits, hits, gone, hits};
    f.session.SetOutputFile(f.dir / "hour.m3u");
    EXPECT_EQ(OrphanSlot(f.session), 2);
    EXPECT_FALSE(btBuildPlaylistClick(f.context));
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0], OrphanSlotMessage(2, gone));
    EXPECT_EQ(f.prompts.messages[0].rfind("Slot 3 of the Clock Wheel Template uses " + gone + ",", 0),
              0u);
    EXPECT_TRUE(f.view.statuses.empty());
    EXPECT_TRUE(f.session.lbFinalPlaylist.empty());
    EXPECT_FALSE(std::filesystem::exists(f.dir / "hour.m3u"));

    // Slot texts match master playlists exactly, letter case included.
    f.session.lbMasterPlaylists.Add(gone);
    EXPECT_EQ(OrphanSlot(f.session), -1);
    f.session.lbClockwheelTemplate.push_back(f.dir / "HITS.m3u");
    EXPECT_EQ(OrphanSlot(f.session), 4);
}

TEST(BuildCommand, AWholeBuildKeepsEveryCategoryLine) {
    StationFixture f;
    std::vector<SongSpec> music, spots;
    for (int i = 0; i < 30; ++i)
        music.push_back(
            {180 + i, "Band " + std::to_string(i % 12), "Song " + std::to_string(i), 13 + i % 3});
    for (int i = 0; i < 8; ++i)
        spots.push_back({30, "Sponsor " + std::to_string(i), "Spot " + std::to_string(i), 12});
    const std::string musicList = f.Playlist("music.m3u", music);
    const std::string spotList = f.Playlist("spots.m3u", spots);
    f.session.lbMasterPlaylists.Add(musicList);
    f.session.lbMasterPlaylists.Add(spotList);
    f.session.lbClockwheelTemplate = {musicList, musicList, spotList};
    f.session.SetOutputFile(f.dir / "out.m3u");
    f.session.fGenre.cbGenreCheck = true;
    f.session.ComboBox1 = "180";
    LineList musicBefore = f.Lines(musicList), spotsBefore = f.Lines(spotList);
    ASSERT_TRUE(btBuildPlaylistClick(f.context));
    btAcceptFinalPlaylistClick(f.context);
    LineList musicAfter = f.Lines(musicList), spotsAfter = f.Lines(spotList);
    EXPECT_TRUE(std::is_permutation(musicAfter.begin(), musicAfter.end(), musicBefore.begin(),
                                    musicBefore.end()));
    EXPECT_TRUE(std::is_permutation(spotsAfter.begin(), spotsAfter.end(), spotsBefore.begin(),
                                    spotsBefore.end()));
    EXPECT_NE(musicAfter, musicBefore);
    EXPECT_EQ(f.Lines(f.dir / "out.m3u"), f.session.lbFinalPlaylist);
    EXPECT_GT(f.session.lbFinalPlaylist.size(), 60u);
    EXPECT_EQ(f.view.Status().substr(0, 36), "Playlist is complete and is exactly ");
    EXPECT_EQ(f.dir.Names(),
              (std::vector<std::string>{"music.m3u", "out.m3u", "songs", "spots.m3u"}));
}

}  // namespace
}  // namespace kestrune
