// kestrune-cli when its writes fail: under a file-size limit, into a read-only file or folder,
// into a folder that vanished. Each run ends with status 2 and the error text with the path on
// standard error, and every category playlist keeps its lines, whole.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/LineList.h"
#include "support/CliRunner.h"
#include "support/Station.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::LastLine;
using testing::RunCli;
using testing::TestSong;
using testing::StationFixture;

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// kestrune-cli under a file-size limit of `kib` KiB.
testing::CliResult RunCliLimited(int kib, const std::vector<std::string>& args,
                                 const StationFixture& f) {
    std::string command =
        "ulimit -f " + std::to_string(kib) + "; exec " + Quoted(KESTRUNE_CLI_PATH);
    for (const std::string& arg : args) command += " " + Quoted(arg);
    command = "cd " + Quoted(f.dir.Path()) + " && bash -c " + Quoted(command) + " >" +
              Quoted(f.dir / "out.txt") + " 2>" + Quoted(f.dir / "err.txt");
    const int status = std::system(command.c_str());
    testing::CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = f.dir.Read("out.txt");
    result.err = f.dir.Read("err.txt");
    return result;
}

LineList Sorted(LineList lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

// A station of two category playlists and a session; `hours` long, output in Output/.
struct CliStationFixture {
    StationFixture f;
    std::string hits;
    std::string spots;
    std::string output;
    std::string session;
    LineList hitLines;
    LineList spotLines;

    explicit CliStationFixture(int hitCount, int minutes = 60) {
        std::vector<TestSong> songs;
        for (int i = 0; i < hitCount; ++i)
            songs.push_back({180 + i % 60, "Artist " + std::to_string(i % 9),
                             "Hit with a long enough title " + std::to_string(i), 13});
        hits = f.Playlist("hits.m3u", songs);
        spots = f.Playlist("spots.m3u", {{30, "Voice", "Spot A", 12}, {45, "Voice", "Spot B", 12}});
        hitLines = f.Lines(hits);
        spotLines = f.Lines(spots);
        fs::create_directories(f.dir / "Output");
        output = f.dir / "Output/hour.m3u";
        session = f.dir / "hour.cwt";
        f.dir.Write("hour.cwt",
                    FormatLines({hits, spots, "#", hits, hits, spots, "##", std::to_string(minutes),
                                 "###", output, "####", "100"}));
    }

    void ExpectCategoriesKept() const {
        EXPECT_EQ(Sorted(f.Lines(hits)), Sorted(hitLines));
        EXPECT_EQ(Sorted(f.Lines(spots)), Sorted(spotLines));
        for (const auto& entry : fs::recursive_directory_iterator(f.dir.Path()))
            EXPECT_EQ(entry.path().filename().string().find(".kestrune-"), std::string::npos)
                << entry.path();
    }
};

TEST(CliWriteFailures, FileSizeLimitStopsTheBuildAtTheFirstWriteThatDoesNotFit) {
    // Category playlists larger than the limit: the repair's first save fails.
    CliStationFixture big(200);
    ASSERT_GT(fs::file_size(big.hits), 8u * 1024);
    auto result = RunCliLimited(8, {"build", big.session}, big.f);
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_EQ(LastLine(result.err), "Cannot create file " + big.hits);
    EXPECT_EQ(big.f.Lines(big.hits), big.hitLines);  // not even shuffled: the old bytes
    big.ExpectCategoriesKept();

    // Small category playlists and a day's final playlist and log that do not fit: the build
    // is done, its playlists rotated but whole, and the old output stays.
    CliStationFixture day(20, 1440);
    day.f.dir.Write("Output/hour.m3u", "/old/song.mp3\r\n");
    result = RunCliLimited(8, {"build", day.session}, day.f);
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_EQ(LastLine(result.err), "Cannot create file " + day.output);
    EXPECT_EQ(day.f.dir.Read("Output/hour.m3u"), "/old/song.mp3\r\n");
    day.ExpectCategoriesKept();

    // Without the limit the same build goes through.
    result = RunCli({"build", day.session}, day.f.dir.Path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_GT(day.f.Lines(day.output).size(), 300u);
    day.ExpectCategoriesKept();
}

TEST(CliWriteFailures, VanishedOutputFolderGivesTheErrorWithThePath) {
    CliStationFixture s(10);
    fs::remove_all(s.f.dir / "Output");
    const auto result = RunCli({"build", s.session}, s.f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "Cannot create file " + s.output);
    s.ExpectCategoriesKept();

    // The schedule stops at the same place.
    s.f.dir.Write("auto_build.cws", s.session + "\r\n");
    const auto scheduled = RunCli({"schedule"}, s.f.dir.Path());
    EXPECT_EQ(scheduled.exitCode, 2);
    EXPECT_EQ(LastLine(scheduled.err), "Cannot create file " + s.output);
    s.ExpectCategoriesKept();
}

TEST(CliWriteFailures, ReadOnlyOutputFileAndFolderKeepTheOldPlaylist) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    CliStationFixture s(10);
    s.f.dir.Write("Output/hour.m3u", "/old/song.mp3\r\n");
    fs::permissions(s.output, fs::perms(0444));
    auto result = RunCli({"build", s.session}, s.f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "Cannot create file " + s.output);
    EXPECT_EQ(s.f.dir.Read("Output/hour.m3u"), "/old/song.mp3\r\n");
    s.ExpectCategoriesKept();

    fs::permissions(s.output, fs::perms(0644));
    fs::remove(s.output);
    fs::permissions(s.f.dir / "Output", fs::perms(0555));
    result = RunCli({"build", s.session}, s.f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "Cannot create file " + s.output);
    EXPECT_FALSE(fs::exists(s.output));
    s.ExpectCategoriesKept();
}

TEST(CliWriteFailures, ReadOnlyCategoryPlaylistStopsTheBuildUntouched) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    CliStationFixture s(10);
    fs::permissions(s.spots, fs::perms(0444));
    const auto result = RunCli({"build", s.session}, s.f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err), "Cannot create file " + s.spots);
    EXPECT_EQ(s.f.Lines(s.spots), s.spotLines);
    s.ExpectCategoriesKept();
    EXPECT_FALSE(fs::exists(s.output));
}

TEST(CliWriteFailures, ReadOnlyPlaylistsFolderStopsTheTagPassAtItsFirstPlaylist) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    CliStationFixture s(3);
    fs::create_directories(s.f.dir / "Playlists");
    s.f.dir.Write("Playlists/_genre_Pop_.m3u", "/kept/a.mp3\r\n");
    fs::permissions(s.f.dir / "Playlists", fs::perms(0555));
    const auto result = RunCli({"tags", "songs", "--artist", "--genre"}, s.f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    // The round is written in the order the playlists were first touched: the existing genre
    // playlist gets its three lines where it stands; the first artist playlist is a new file,
    // which the folder refuses.
    EXPECT_EQ(LastLine(result.err),
              "Cannot create file " + (s.f.dir / "Playlists/_art_Artist_0_.m3u"));
    const LineList genre = s.f.Lines(s.f.dir / "Playlists/_genre_Pop_.m3u");
    ASSERT_EQ(genre.size(), 4u);
    EXPECT_EQ(genre[0], "/kept/a.mp3");
}

}  // namespace
}  // namespace kestrune
