#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "building/BuildCommand.h"
#include "building/PlaylistBuilder.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::TestSong;
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

TEST(BuildCommand, TheCompletionBoxCountsTheRulesThisBuildBroke) {
    StationFixture f;
    // One artist only: with the dupe check on, every song after the first breaks it.
    const std::string list =
        f.Playlist("one.m3u", {{240, "Solo", "a"}, {240, "Solo", "b"}, {240, "Solo", "c"}});
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.SetOutputFile(f.dir / "hour.m3u");
    f.session.ComboBox1 = "12";
    f.session.lbRuleBreaks = {"a break of an earlier build"};  // not counted again
    ASSERT_TRUE(btBuildPlaylistClick(f.context).has_value());
    const size_t broken = f.session.lbRuleBreaks.size() - 1;
    ASSERT_GT(broken, 1u);
    EXPECT_EQ(f.prompts.messages.back(), BuildCompleteMessage(broken));
    EXPECT_EQ(f.prompts.messages.back(),
              "Playlist is complete. Click 'ACCEPT LIST' to save it.\n\n" + std::to_string(broken) +
                  " rules had to break in this build; the text log names each.");
    EXPECT_EQ(BuildCompleteMessage(0), "Playlist is complete. Click 'ACCEPT LIST' to save it.");
    EXPECT_EQ(BuildCompleteMessage(1),
              "Playlist is complete. Click 'ACCEPT LIST' to save it.\n\n1 rule had to break in "
              "this build; the text log names it.");
}

TEST(BuildCommand, ABuildThatFallsShortShowsItsStatusNotCompletion) {
    StationFixture f;
    // One song is gone and the other has no playing time: the repair takes the first out
    // (half the songs: a song gone, not a library away) and nothing can be placed.
    f.dir.Write("silent.mp3", "");
    f.dir.Write("gone.m3u", FormatLines({f.dir / "gone.mp3", f.dir / "silent.mp3"}));
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

TEST(BuildCommand, RepairRemovesEverySongLineThatNamesNoFileAndNamesIt) {
    StationFixture f;
    const std::string good = f.Playlist("good.m3u", {{240, "A", "a"}, {200, "B", "b"}});
    const LineList songs = f.Lines(good);
    const std::string relative = songs[1].substr(f.dir.Path().size() + 1);  // from the list's folder
    const std::string gone = f.dir / "gone.mp3";
    f.dir.Write("mixed.m3u", FormatLines({songs[0], "", "#EXTM3U", relative, gone, gone,
                                          f.dir.Path(), songs[1]}));
    f.session.lbMasterPlaylists.Add(good);
    f.session.lbMasterPlaylists.Add(f.dir / "mixed.m3u");
    RepairPlaylists(f.context);
    EXPECT_EQ(f.Lines(f.dir / "mixed.m3u"), (LineList{songs[0], "#EXTM3U", relative, songs[1]}));
    EXPECT_EQ(f.Lines(good), songs);
    const std::string mixed = f.dir / "mixed.m3u";
    const std::vector<std::string> named = {
        "Removed \"\" from " + mixed + ": it names no file.",
        "Removed \"" + gone + "\" from " + mixed + ": it names no file.",
        "Removed \"" + gone + "\" from " + mixed + ": it names no file.",
        "Removed \"" + f.dir.Path() + "\" from " + mixed + ": it names no file.",
        "4 lines naming no file removed from 1 playlist"};
    std::vector<std::string> statuses = {"Checking " + good + " for errors.",
                                         "The list has been repaired.",
                                         "Checking " + mixed + " for errors."};
    statuses.insert(statuses.end(), named.begin(), named.end() - 1);
    statuses.push_back("The list has been repaired.");
    statuses.push_back(named.back());
    statuses.push_back("The list has been repaired.");
    EXPECT_EQ(f.view.statuses, statuses);
    EXPECT_EQ(f.view.Problems(), named);
    EXPECT_EQ(f.session.mTextOutput, named) << "the text log names them too";
    EXPECT_TRUE(f.session.lbMP3Errors.empty());
    EXPECT_EQ(f.session.lbListCheckerMP3s,
              (LineList{songs[0], "#EXTM3U\n" + relative, songs[1]}));

    // A playlist that cannot be read stops the repair before any playlist changed.
    f.dir.Write("mixed.m3u", FormatLines({songs[0], gone}));
    f.session.lbMasterPlaylists.Add(f.dir / "zz-gone.m3u");
    try {
        RepairPlaylists(f.context);
        ADD_FAILURE() << "a missing playlist stops the repair";
    } catch (const KestruneError& error) {
        EXPECT_EQ(error.what(), "Cannot open file " + (f.dir / "zz-gone.m3u"));
    }
    EXPECT_EQ(f.dir.Read("mixed.m3u"), FormatLines({songs[0], gone}));
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
    std::vector<TestSong> music, spots;
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

// A playlist as a media player exports it: byte-order mark, "#EXTM3U", "#EXTINF" lines, paths
// relative to the playlist's folder, LF line ends; one path with a trailing blank, one as a
// file:// address, and one that names no file.
TEST(BuildCommand, AnExportedPlaylistKeepsEveryLineThroughRepairBuildAndRotation) {
    StationFixture f;
    std::vector<TestSong> specs;
    for (int i = 0; i < 6; ++i)
        specs.push_back({200 + i, "Band " + std::to_string(i), "Song " + std::to_string(i), 13});
    f.Playlist("songs.m3u", specs);  // writes the song files
    std::filesystem::create_directories(f.dir / "lists");
    std::string bytes = "\xEF\xBB\xBF#EXTM3U\n";
    std::map<std::string, std::string> pathOfInfo;  // each #EXTINF line and the path after it
    for (size_t i = 0; i < specs.size(); ++i) {
        const std::string name = ExtractFileName(f.SongPath(specs[i]));
        std::string path = "../songs/" + name;
        if (i == 1) path += " ";
        if (i == 2) path = "file://" + f.SongPath(specs[i]);
        const std::string info = "#EXTINF:" + std::to_string(specs[i].seconds) + "," +
                                 specs[i].artist + " - " + specs[i].title;
        pathOfInfo[info] = path;
        bytes += info + "\n" + path + "\n";
    }
    bytes += "#EXTINF:100,Gone - Gone\n../songs/gone.mp3\n";
    f.dir.Write("lists/exported.m3u", bytes);
    const std::string list = f.dir / "lists/exported.m3u";
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.SetOutputFile(f.dir / "out.m3u");
    f.session.fDMCA.cbDupeCheck = false;
    f.session.ComboBox1 = "20";
    ASSERT_TRUE(btBuildPlaylistClick(f.context));

    EXPECT_EQ(f.view.Problems(),
              (std::vector<std::string>{
                  "Removed \"../songs/gone.mp3\" with its \"#EXTINF:100,Gone - Gone\" from " +
                      list + ": it names no file.",
                  "1 line naming no file removed from 1 playlist"}));
    EXPECT_EQ(f.view.Status().substr(0, 36), "Playlist is complete and is exactly ");
    ASSERT_EQ(f.session.lbFinalPlaylist.size(), 6u);
    for (const std::string& placed : f.session.lbFinalPlaylist)
        EXPECT_TRUE(std::filesystem::is_regular_file(placed)) << placed;

    const std::string after = f.dir.Read("lists/exported.m3u");
    EXPECT_EQ(after.substr(0, 11), "\xEF\xBB\xBF#EXTM3U\n");
    EXPECT_EQ(after.find('\r'), std::string::npos) << "LF line ends kept";
    const LineList lines = ParseLines(after.substr(3));
    // Every line is still there but the missing song's, whose #EXTINF went with it, and every
    // #EXTINF is still right before its own path.
    ASSERT_EQ(lines.size(), 1 + 2 * specs.size());
    for (size_t i = 1; i + 1 < lines.size(); i += 2)
        EXPECT_EQ(pathOfInfo[lines[i]], lines[i + 1]) << lines[i];
}

}  // namespace
}  // namespace kestrune
