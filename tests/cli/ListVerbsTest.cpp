#include <gtest/gtest.h>

#include <filesystem>

#include "platform/LineList.h"
#include "support/CliRunner.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::LastLine;
using testing::RunCli;
using testing::StationFixture;

TEST(CliQuickList, WritesTheFoldersMP3FilesInOrder) {
    StationFixture f;
    std::filesystem::create_directories(f.dir / "music/sub");
    f.dir.Write("music/b.mp3", "x");
    f.dir.Write("music/A.MP3", "x");
    f.dir.Write("music/.hidden.mp3", "x");
    f.dir.Write("music/notes.txt", "x");
    auto result = RunCli({"quicklist", "music/", "list.m3u"}, f.dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(f.Lines(f.dir / "list.m3u"),
              (LineList{f.dir / "music/A.MP3", f.dir / "music/b.mp3"}));

    result = RunCli({"quicklist", "music/sub", "empty.m3u"}, f.dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(f.dir.Read("empty.m3u"), "");

    result = RunCli({"quicklist", "music", "no/such/folder.m3u"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "Cannot create file no/such/folder.m3u");
}

TEST(CliTags, MakesPlaylistsInTheConfiguredFolder) {
    StationFixture f;
    std::filesystem::create_directories(f.dir / "Playlists");
    f.Playlist("ignored.m3u",
               {{200, "Tin/Can Band!", "Blue", 79}, {180, "Day, Night & Noon", "Red", 13}});
    const auto result = RunCli({"tags", "songs", "--artist", "--genre"}, f.dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(LastLine(result.out), "Playlists have been created. You will find them in the " +
                                        (f.dir / "Playlists") + " directory!");
    EXPECT_EQ(f.Lines(f.dir / "Playlists/_art_Tin_Can_Band__.m3u").size(), 1u);
    EXPECT_EQ(f.Lines(f.dir / "Playlists/_art_Day,_Night_&_Noon_.m3u").size(), 1u);
    EXPECT_EQ(f.Lines(f.dir / "Playlists/_genre_Hard Rock_.m3u").size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(f.dir / "Playlists/_year_2026_.m3u"));

    // Again: added to; again with --fresh: replaced.
    ASSERT_EQ(RunCli({"tags", "songs", "--artist"}, f.dir.Path()).exitCode, 0);
    EXPECT_EQ(f.Lines(f.dir / "Playlists/_art_Tin_Can_Band__.m3u").size(), 2u);
    ASSERT_EQ(RunCli({"tags", "songs", "--artist", "--fresh"}, f.dir.Path()).exitCode, 0);
    EXPECT_EQ(f.Lines(f.dir / "Playlists/_art_Tin_Can_Band__.m3u").size(), 1u);
    EXPECT_EQ(f.Lines(f.dir / "Playlists/_genre_Hard Rock_.m3u").size(), 1u) << "not ticked: kept";

    EXPECT_EQ(RunCli({"tags", "songs", "--colour"}, f.dir.Path()).exitCode, 2);
}

TEST(CliTags, EndsWithTheFilesItPassedOver) {
    StationFixture f;
    std::filesystem::create_directories(f.dir / "Playlists");
    f.Playlist("ignored.m3u", {{200, "Band", "Song", 79}});
    f.dir.Write("songs/x-broken.mp3", std::string(2000, 'x'));
    f.dir.Write("songs/y-broken.mp3", std::string(2000, 'y'));
    const auto result = RunCli({"tags", "songs", "--artist"}, f.dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("Error openning file: " + (f.dir / "songs/x-broken.mp3")),
              std::string::npos);
    EXPECT_EQ(LastLine(result.err), "Passed over 2 files that could not be read: " +
                                        (f.dir / "songs/x-broken.mp3") + ", " +
                                        (f.dir / "songs/y-broken.mp3") + ".");
}

}  // namespace
}  // namespace kestrune
