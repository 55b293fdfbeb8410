#include <gtest/gtest.h>

#include <algorithm>

#include "building/BuildCommand.h"
#include "building/PlaylistBuilder.h"
#include "platform/KestruneError.h"
#include "platform/TimeTexts.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::TestSong;
using testing::StationFixture;

std::string ErrorOf(BuildContext& context) {
    try {
        BuildPlaylist(context);
    } catch (const KestruneError& error) {
        return error.what();
    }
    return "(no error)";
}

const char* const kDivider = "-----------------------------------------------------";

// A two-slot clock, a spot and then a song from a playlist whose start order is `songs`, built
// for 4 minutes (210 s: the spot and one song, which the checks may exchange). Answers the song
// playlist's path.
std::string BuildSpotThenSong(StationFixture& f, const TestSong& spot,
                              const std::vector<TestSong>& songs) {
    const std::string spots = f.Playlist("spots.m3u", {spot});
    const std::string music = f.ShuffledPlaylist("music.m3u", songs, 0);
    f.session.lbMasterPlaylists.Add(music);
    f.session.lbMasterPlaylists.Add(spots);
    f.session.lbClockwheelTemplate = {spots, music};
    f.session.ComboBox1 = "4";
    BuildPlaylist(f.context);
    return music;
}

TEST(PlaylistBuilder, TextsOfTheLogAndTheStatusLine) {
    EXPECT_EQ(testing::FixedClock().now.month, 12);
    EXPECT_EQ(GeneratedLine({2026, 12, 6, 18, 5, 0, 0}), "Playlist generated 12/6/2026  18:5");
    EXPECT_EQ(GeneratedLine({2027, 1, 10, 0, 0, 0, 0}), "Playlist generated 1/10/2027  0:0");
    EXPECT_EQ(HourClockText(0), "0:00");
    EXPECT_EQ(HourClockText(385), "6:25");
    EXPECT_EQ(HourClockText(3599), "59:59");
    EXPECT_EQ(PlayingTimeText(3600), "1:00:00");
    EXPECT_EQ(PlayingTimeText(86399 + 3600 * 3), "26:59:59");
    for (const auto& [value, text] : std::vector<std::pair<int64_t, std::string>>{
             {0, "0"}, {999, "999"}, {1000, "1,000"}, {2557, "2,557"}, {-1234567, "-1,234,567"},
             {INT64_MIN, "-9,223,372,036,854,775,808"}})
        EXPECT_EQ(GroupedNumber(value), text);
    EXPECT_TRUE(ArtistInList("Tin Can Band", {"x", "Tin Can Band"}));
    EXPECT_FALSE(ArtistInList("tin can band", {"Tin Can Band"}));
}

TEST(PlaylistBuilder, EmptyInputsLogTheHeaderOnly) {
    StationFixture f;
    f.session.mTextOutput = {"earlier"};
    const BuildOutcome nothing = BuildPlaylist(f.context);
    EXPECT_FALSE(nothing.reachedLength) << "an hour was asked for and nothing built";
    EXPECT_EQ(nothing.desiredSeconds, 3600);
    EXPECT_EQ(nothing.placedSeconds, 0);
    EXPECT_EQ(
        f.session.mTextOutput,
        (LineList{"earlier", "Playlist generated 12/6/2026  18:5", "Start Time  Artist - \"Title\"",
                  " ", "------------ ALL HOURS DIVIDED BY DOTTED LINE ------------", " "}));
    f.session.lbMasterPlaylists.Add(f.Playlist("a.m3u", {{240, "A", "a"}}));
    BuildPlaylist(f.context);  // a template is still missing
    EXPECT_EQ(f.session.mTextOutput.size(), 11u);
    EXPECT_TRUE(f.session.lbFinalPlaylist.empty());
    EXPECT_TRUE(f.view.statuses.empty());
}

// "hits.m3u": twenty songs of four minutes by twenty artists.
std::string TwentyFourMinuteSongs(StationFixture& f) {
    std::vector<TestSong> songs;
    for (int i = 0; i < 20; ++i)
        songs.push_back({240, "Artist " + std::to_string(i), "Song " + std::to_string(i), 17});
    return f.Playlist("hits.m3u", songs);
}

TEST(PlaylistBuilder, FifteenSongsOfFourMinutesMakeAnHour) {
    StationFixture f;
    const std::string list = TwentyFourMinuteSongs(f);
    const LineList before = f.Lines(list);
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    BuildPlaylist(f.context);

    EXPECT_EQ(f.session.lbFinalPlaylist.size(), 15u);
    EXPECT_EQ(f.view.Status(), "Playlist is complete and is exactly 1:00:00.");
    EXPECT_EQ(f.view.State(Meter::ProgressBar2).maximum, 3570);
    EXPECT_EQ(f.view.State(Meter::ProgressBar2).position, 3570);
    EXPECT_EQ(f.view.Count("Now shuffling: " + list), 1);
    EXPECT_EQ(f.view.Count("Adding a song from " + list), 15);
    // The file holds the same songs; the fifteen placed ones now stand at its end, in play order.
    LineList after = f.Lines(list);
    EXPECT_TRUE(std::is_permutation(after.begin(), after.end(), before.begin(), before.end()));
    EXPECT_TRUE(std::equal(f.session.lbFinalPlaylist.begin(), f.session.lbFinalPlaylist.end(),
                           after.end() - 15));
    // The log: header, fifteen lines and the divider after the hour.
    const LineList& log = f.session.mTextOutput;
    ASSERT_EQ(log.size(), 5u + 15u + 3u);
    EXPECT_EQ(log[5].substr(0, 6), "0:00  ");
    EXPECT_EQ(log[6].substr(0, 6), "4:00  ");
    EXPECT_EQ(log[19].substr(0, 7), "56:00  ");
    EXPECT_EQ(log[21], kDivider);
}

TEST(PlaylistBuilder, ABuildOnTopOfEarlierSongsSaysWhatThePlaylistHoldsInAll) {
    StationFixture f;
    const std::string list = TwentyFourMinuteSongs(f);
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.ComboBox1 = "30";
    BuildPlaylist(f.context);
    EXPECT_EQ(f.view.Status(), "Playlist is complete and is exactly 0:32:00.");
    EXPECT_EQ(f.session.finalPlaylistSeconds, 1920);
    BuildPlaylist(f.context);
    EXPECT_EQ(f.session.lbFinalPlaylist.size(), 16u);
    EXPECT_EQ(f.view.Status(),
              "The final playlist now holds 16 songs, 1:04:00; this build added 0:32:00.");

    // Emptied with the final playlist: the next build starts from nothing again.
    // (The recent artists outlive the clear, so this build may name the rules it broke.)
    btClearFinalPlaylistClick(f.context);
    EXPECT_EQ(f.session.finalPlaylistSeconds, 0);
    BuildPlaylist(f.context);
    EXPECT_EQ(f.view.Status().rfind("Playlist is complete and is exactly 0:32:00.", 0), 0u)
        << f.view.Status();
}

TEST(PlaylistBuilder, ACycleGivesOneSongMoreThanTheList) {
    StationFixture f;
    const std::vector<TestSong> songs = {
        {100, "One", "s1"}, {100, "Two", "s2"}, {100, "Three", "s3"}};
    const std::string list = f.ShuffledPlaylist("three.m3u", songs, 0);
    EXPECT_EQ(f.Lines(list)[2], f.SongPath(songs[2])) << "the last line keeps its place";
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.fDMCA.cbDupeCheck = false;
    f.session.ComboBox1 = "8";  // 450 seconds: five songs
    BuildPlaylist(f.context);

    const LineList& final = f.session.lbFinalPlaylist;
    ASSERT_EQ(final.size(), 5u);
    EXPECT_EQ(final[0], f.SongPath(songs[0]));
    EXPECT_EQ(final[1], f.SongPath(songs[1]));
    EXPECT_EQ(final[2], f.SongPath(songs[2]));
    EXPECT_EQ(final[3], f.SongPath(songs[0]));
    // The fifth song came after a reshuffle of the file.
    const auto reshuffle =
        std::find(f.view.statuses.begin(), f.view.statuses.end(), "Reshuffling " + list);
    ASSERT_NE(reshuffle, f.view.statuses.end());
    EXPECT_EQ(std::count(reshuffle, f.view.statuses.end(), "Adding a song from " + list), 1);
    EXPECT_EQ(f.view.Count("Reshuffling "), 1);
    EXPECT_EQ(f.view.Status(), "Playlist is complete and is exactly 0:08:20.");
}

TEST(PlaylistBuilder, LogLinesFollowTheHourClock) {
    StationFixture f;
    const std::string a = f.Playlist("a.m3u", {{200, "Alpha", "First"}});
    const std::string b = f.Playlist("b.m3u", {{185, "Beta", "Second"}});
    const std::string c = f.Playlist("c.m3u", {{3300, "Gamma", "Long One"}});
    const std::string d = f.Playlist("d.m3u", {{3515, "Delta", "To The Hour"}});
    const std::string e = f.Playlist("e.m3u", {{60, "Epsilon", "After"}});
    for (const auto& p : {a, b, c, d, e}) f.session.lbMasterPlaylists.Add(p);
    f.session.lbClockwheelTemplate = {a, b, c, d, e};
    f.session.fDMCA.cbDupeCheck = false;
    f.session.ComboBox1 = "121";  // 7230 s: all five songs (7260 s)
    BuildPlaylist(f.context);

    const LineList body(f.session.mTextOutput.begin() + 5, f.session.mTextOutput.end());
    EXPECT_EQ(body, (LineList{"0:00  Alpha - \"First\"", "3:20  Beta - \"Second\"",
                              "6:25  Gamma - \"Long One\"", "", kDivider, "",
                              "1:25  Delta - \"To The Hour\"", "", kDivider, "",
                              "0:00  Epsilon - \"After\""}));
    EXPECT_EQ(f.view.Status(), "Playlist is complete and is exactly 2:01:00.");
}

TEST(PlaylistBuilder, SlotsMatchTheLastEqualMasterPlaylistOrKeepTheIndex) {
    StationFixture f;
    const std::string a = f.Playlist("a.m3u", {{100, "A", "a1"}, {100, "A2", "a2"}});
    const std::string upper = f.dir / "A.M3U";  // no such master playlist: keeps the index
    f.dir.Write("A.M3U", f.dir.Read("a.m3u"));
    f.session.lbMasterPlaylists.Add(a);
    f.session.lbMasterPlaylists.Add(a);  // twice: its counter is the second one's
    f.session.lbClockwheelTemplate = {upper};
    f.session.fDMCA.cbDupeCheck = false;
    f.session.ComboBox1 = "4";  // 210 s: three songs from A.M3U with a's counter
    BuildPlaylist(f.context);
    EXPECT_EQ(f.session.lbFinalPlaylist.size(), 3u);
    EXPECT_EQ(f.view.Count("Adding a song from " + upper), 3);
    EXPECT_EQ(f.view.Count("Now shuffling: " + a), 2);
}

TEST(PlaylistBuilder, DupeCheckTakesAnotherArtistFromFurtherDown) {
    StationFixture f;
    // Songs alternate between two playlists; the song list's top would repeat "Same".
    const std::vector<TestSong> songs = {{200, "Same", "Again"},
                                         {200, "Other", "Fresh"},
                                         {200, "Third", "Far"},
                                         {200, "Last", "Untouched"}};
    const std::string music = BuildSpotThenSong(f, {30, "Same", "Spot"}, songs);

    // remaining is 4: the search looks at positions 2 down to 0 and takes "Far" first.
    ASSERT_EQ(f.session.lbFinalPlaylist.size(), 2u);
    EXPECT_EQ(f.session.lbFinalPlaylist[1], f.SongPath(songs[2]));
    EXPECT_EQ(f.view.Count(
                  "DUPLICATE! Same has been played in the last 3 hour(s). Finding another artist."),
              1);
    EXPECT_EQ(f.session.lbDupeArtistChecklist, (LineList{"Same", "Third"}));
    // The exchanged top song went to the substitute's place; the substitute rotated to the end.
    EXPECT_EQ(f.Lines(music), (LineList{f.SongPath(songs[1]), f.SongPath(songs[0]),
                                        f.SongPath(songs[3]), f.SongPath(songs[2])}));
}

TEST(PlaylistBuilder, BothChecksSearchTwiceAndSayItTwice) {
    StationFixture f;
    f.session.fGenre.cbGenreCheck = true;
    const std::vector<TestSong> songs = {{200, "Same", "Again", 17},
                                         {200, "Other", "Fresh", 17},
                                         {200, "Third", "Far", 13},
                                         {200, "Last", "Untouched", 13}};
    BuildSpotThenSong(f, {30, "Same", "Spot", 12}, songs);
    // First search: "Far" (position 2) passes. Second search, still for "Same": position 2 now
    // holds "Again" (recent artist), position 1 "Fresh" passes and takes the top.
    ASSERT_EQ(f.session.lbFinalPlaylist.size(), 2u);
    EXPECT_EQ(f.session.lbFinalPlaylist[1], f.SongPath(songs[1]));
    EXPECT_EQ(f.view.Count("DUPLICATE! Same"), 2);
}

TEST(PlaylistBuilder, GenreCheckAloneLooksForAnotherGenre) {
    StationFixture f;
    f.session.fDMCA.cbDupeCheck = false;
    f.session.fGenre.cbGenreCheck = true;
    const std::vector<TestSong> songs = {{200, "Rocker", "Loud", 17},
                                         {200, "Popper", "Soft", 13},
                                         {200, "Rocker 2", "Louder", 17},
                                         {200, "Last", "Untouched", 13}};
    BuildSpotThenSong(f, {30, "Spot", "Spot", 17}, songs);
    ASSERT_EQ(f.session.lbFinalPlaylist.size(), 2u);
    EXPECT_EQ(f.session.lbFinalPlaylist[1], f.SongPath(songs[1]));
    EXPECT_EQ(f.view.Count("GENRE REPEATED! Rock is from the same genre as the previous song. "
                           "Finding another song."),
              1);
    EXPECT_EQ(f.view.Count("Finding a different genre."), 1);
    EXPECT_EQ(f.view.Count("DUPLICATE!"), 0);
}

TEST(PlaylistBuilder, TheDupeWindowIsMeasuredInPlayingTimeAndOutlivesTheBuild) {
    StationFixture f;
    f.session.fDMCA.ComboBox1 = "1";
    std::vector<TestSong> songs;
    for (int i = 0; i < 12; ++i)
        songs.push_back({600, "Band " + std::to_string(i), "T" + std::to_string(i)});
    const std::string list = f.Playlist("long.m3u", songs);
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.ComboBox1 = "60";  // six songs of ten minutes
    BuildPlaylist(f.context);
    EXPECT_EQ(f.session.lbFinalPlaylist.size(), 6u);
    EXPECT_EQ(f.session.lbRepeatCheckList.size(), 6u);
    EXPECT_EQ(f.session.lbDupeArtistChecklist.size(), 6u);

    // Nine more: the window slides over the seventh song, and the first artist to go is one
    // left from the first build.
    const std::string firstArtistOfFirstBuild = f.session.lbDupeArtistChecklist[0];
    const std::string secondArtistOfFirstBuild = f.session.lbDupeArtistChecklist[1];
    f.session.ComboBox1 = "90";
    BuildPlaylist(f.context);
    EXPECT_EQ(f.session.lbFinalPlaylist.size(), 15u);
    EXPECT_EQ(f.session.lbRepeatCheckList.size(), 6u);
    EXPECT_EQ(f.session.lbDupeArtistChecklist.size(), 12u);
    EXPECT_NE(f.session.lbDupeArtistChecklist[0], firstArtistOfFirstBuild);
    EXPECT_NE(f.session.lbDupeArtistChecklist[0], secondArtistOfFirstBuild);
    EXPECT_EQ(f.session.mTextOutput.size(), (5u + 6u + 3u) + (5u + 9u + 3u));
    EXPECT_EQ(std::count(f.session.mTextOutput.begin(), f.session.mTextOutput.end(),
                         "Playlist generated 12/6/2026  18:5"),
              2);
}

TEST(PlaylistBuilder, MissingEmptyAndSilentSlotsNeverHangTheBuild) {
    StationFixture f;
    const std::string good = f.Playlist("good.m3u", {{240, "Good", "Song"}});
    f.dir.Write("empty.m3u", "");
    f.dir.Write("missing.m3u", (f.dir / "nowhere.mp3") + "\r\n");
    f.session.lbMasterPlaylists.Add(good);
    f.session.lbMasterPlaylists.Add(f.dir / "empty.m3u");
    f.session.lbMasterPlaylists.Add(f.dir / "missing.m3u");
    f.session.lbClockwheelTemplate = {f.dir / "empty.m3u", f.dir / "missing.m3u", good};
    f.session.fDMCA.cbDupeCheck = false;
    f.session.ComboBox1 = "8";
    const BuildOutcome reached = BuildPlaylist(f.context);
    EXPECT_TRUE(reached.reachedLength);
    EXPECT_EQ(reached.placedSeconds, 480);
    EXPECT_EQ(reached.desiredSeconds, 480);
    EXPECT_EQ(reached.status, f.view.Status());
    EXPECT_EQ(f.session.lbFinalPlaylist, LineList(2, f.SongPath({240, "Good", "Song"})));
    EXPECT_EQ(f.dir.Read("missing.m3u"), (f.dir / "nowhere.mp3") + "\r\n");
    EXPECT_EQ(f.dir.Read("empty.m3u"), "");

    // Nothing to place anywhere: the walk ends and says why.
    f.session.lbClockwheelTemplate = {f.dir / "empty.m3u", f.dir / "missing.m3u"};
    const BuildOutcome stuck = BuildPlaylist(f.context);
    EXPECT_EQ(f.view.Status(), kBuildCannotProgress);
    EXPECT_FALSE(stuck.reachedLength);
    EXPECT_EQ(stuck.placedSeconds, 0);
    EXPECT_EQ(stuck.status, kBuildCannotProgress);
    f.dir.Write("silent.m3u", (f.dir / "silent.mp3") + "\r\n");
    f.dir.Write("silent.mp3", std::string(1000, 'x'));  // no frames: playing time 0
    f.session.lbMasterPlaylists.Add(f.dir / "silent.m3u");
    f.session.lbClockwheelTemplate = {f.dir / "silent.m3u"};
    EXPECT_FALSE(BuildPlaylist(f.context).reachedLength);
    EXPECT_EQ(f.view.Status(), kBuildCannotProgress);
}

TEST(PlaylistBuilder, ShortfallSaysHowMuchIsMissing) {
    struct Case {
        int32_t placed, desired;
        const char* text;
    };
    const Case cases[] = {
        {1070, 3600, "The playlist is 0:42:10 short of the desired 1:00:00."},
        {0, 3600, "The playlist is 1:00:00 short of the desired 1:00:00."},
        {5399, 5400, "The playlist is 0:00:01 short of the desired 1:30:00."},
        {0, 90000, "The playlist is 25:00:00 short of the desired 25:00:00."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortfallText(BuildOutcome{false, c.placed, c.desired, ""}), c.text);
}

TEST(PlaylistBuilder, NegativeDupeHoursCheckNothingAndTheBuildCompletes) {
    StationFixture f;
    const std::string list = f.Playlist("same.m3u", {{240, "Same", "a"}, {240, "Same", "b"}});
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.fDMCA.cbDupeCheck = true;
    f.session.ComboBox1 = "16";
    for (const std::string hours : {"-3", "-596523"}) {
        SCOPED_TRACE(hours);
        f.session.lbFinalPlaylist.clear();
        f.session.fDMCA.ComboBox1 = hours;
        const BuildOutcome outcome = BuildPlaylist(f.context);
        EXPECT_TRUE(outcome.reachedLength);
        EXPECT_EQ(f.session.lbFinalPlaylist.size(), 4u);
        EXPECT_EQ(f.view.Status(), "Playlist is complete and is exactly 0:16:00.");
    }
}

// Files that pass for songs but cannot be played: never placed, named once, kept in their list,
// and the one slot still fills the hour from the songs that can be played.
TEST(PlaylistBuilder, UnplayableSongsArePassedOverNamedOnceAndKept) {
    StationFixture f;
    const std::vector<TestSong> good = {{240, "A", "a"}, {250, "B", "b"}, {260, "C", "c"}};
    f.Playlist("good.m3u", good);
    f.dir.Write("songs/empty.mp3", "");
    f.dir.Write("songs/wave.mp3", "RIFF\x24\0\0\0WAVEfmt " + std::string(400, '\0'));
    f.dir.Write("songs/cut.mp3", "ID3\x03\0\0\0\0\x10\0");  // a tag cut short, no audio
    const LineList bad = {f.dir / "songs/empty.mp3", f.dir / "songs/wave.mp3",
                          f.dir / "songs/cut.mp3"};
    LineList lines = bad;
    for (const TestSong& song : good) lines.push_back(f.SongPath(song));
    f.dir.Write("one.m3u", FormatLines(lines));
    const std::string list = f.dir / "one.m3u";
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.fDMCA.cbDupeCheck = false;
    f.session.ComboBox1 = "60";
    BuildPlaylist(f.context);

    EXPECT_EQ(f.view.Status().substr(0, 36), "Playlist is complete and is exactly ");
    EXPECT_GE(f.session.lbFinalPlaylist.size(), 14u);
    for (const std::string& placed : f.session.lbFinalPlaylist)
        EXPECT_EQ(std::count(bad.begin(), bad.end(), placed), 0) << placed;
    std::vector<std::string> named;
    for (const std::string& path : bad)
        named.push_back("Passed over " + path + ": it cannot be played (no playing time).");
    std::vector<std::string> problems = f.view.Problems();
    std::sort(problems.begin(), problems.end());
    std::sort(named.begin(), named.end());
    EXPECT_EQ(problems, named) << "each named once";
    for (const std::string& text : named)
        EXPECT_EQ(std::count(f.session.mTextOutput.begin(), f.session.mTextOutput.end(), text), 1);
    LineList after = f.Lines(list);
    std::sort(after.begin(), after.end());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(after, lines) << "every song stays in its playlist";
}

TEST(PlaylistBuilder, BadNumbersStopTheBuildWhereTheyAreRead) {
    StationFixture f;
    const std::string list = f.Playlist("a.m3u", {{240, "A", "a"}});
    f.session.lbMasterPlaylists.Add(list);
    f.session.lbClockwheelTemplate = {list};
    f.session.lbRepeatCheckList = {"old"};

    f.session.fDMCA.ComboBox1 = "x";
    EXPECT_EQ(ErrorOf(f.context), "'x' is not a valid integer value");
    EXPECT_TRUE(f.session.mTextOutput.empty()) << "the hours are read before anything changes";
    EXPECT_EQ(f.session.lbRepeatCheckList, LineList{"old"});

    f.session.fDMCA.ComboBox1 = "3";
    f.session.ComboBox1 = "abc";
    EXPECT_EQ(ErrorOf(f.context), "'abc' is not a valid integer value");
    EXPECT_EQ(f.session.mTextOutput.size(), 5u);
    EXPECT_TRUE(f.session.lbRepeatCheckList.empty());

    f.session.ComboBox1 = "99999999";
    EXPECT_EQ(ErrorOf(f.context), "Integer overflow");
    f.session.ComboBox1 = "3";
    f.session.fDMCA.ComboBox1 = "999999";
    EXPECT_EQ(ErrorOf(f.context), "Integer overflow");

    f.session.fDMCA.ComboBox1 = "3";
    f.session.ComboBox1 = "0";  // target below zero: no walk, no closing message
    f.view.statuses.clear();
    BuildPlaylist(f.context);
    EXPECT_TRUE(f.session.lbFinalPlaylist.empty());
    EXPECT_EQ(f.view.State(Meter::ProgressBar2).position, 0);
    EXPECT_EQ(f.view.Count("Playlist is complete"), 0);

    f.session.lbMasterPlaylists.Add(f.dir / "gone.m3u");
    EXPECT_EQ(ErrorOf(f.context), "Cannot open file " + (f.dir / "gone.m3u"));
}

}  // namespace
}  // namespace kestrune
