#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include "Mp3Synth.h"
#include "listtools/TagPlaylists.h"
#include "mpgtools/ReaderSetup.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "support/TagLibSetup.h"
#include "support/Station.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::RecordingView;
using testing::ScriptedPrompts;
using testing::TempDir;
namespace fs = std::filesystem;

constexpr PathStyle kWin = PathStyle::Windows;
constexpr PathStyle kPosix = PathStyle::Posix;

// "_year_", the four underscores of a blank year, "_.m3u".
const std::string kBlankYear = "_year_" + std::string(4, '_') + "_.m3u";


struct Tag {
    std::string artist;
    std::string album;
    std::string year;
    int genre = 255;
};

// Two frames of MPEG-1 Layer III and, when given, an ID3v1 tag.
void WriteMp3(const std::string& path, const std::optional<Tag>& tag) {
    synth::FileLayout layout;
    if (tag) {
        synth::Id3v1Tag id3;
        id3.title = "Title";
        id3.artist = tag->artist;
        id3.album = tag->album;
        id3.year = tag->year;
        id3.genre = static_cast<uint8_t>(tag->genre);
        layout.tag = id3;
    }
    synth::WriteFile(path, synth::BuildFile(layout));
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// Makes the setup's error question count the files it is asked about, answering Ignore.
class OpenErrorCounter {
public:
    explicit OpenErrorCounter(ReaderSetup& setup) {
        setup.askOnError = [this](const std::string& name) {
            asked.push_back(name);
            return kAnswerIgnore;
        };
    }
    OpenErrorCounter(const OpenErrorCounter&) = delete;
    OpenErrorCounter& operator=(const OpenErrorCounter&) = delete;
    std::vector<std::string> asked;
};

// A music folder, a playlists folder and what the user sees.
struct TagStation {
    TempDir dir;
    BuildSession session;
    RecordingView view;
    ScriptedPrompts prompts;
    TagSearch search;
    ReaderSetup reader = testing::TagLibSetup();

    TagStation() {
        fs::create_directories(dir / "Music");
        fs::create_directories(dir / "Playlists");
        search.folder = dir / "Music";
        search.playlistsFolder = dir / "Playlists";
        search.boxes = TagCategories{true, true, true, true};
    }
    std::string Song(const std::string& name, const std::optional<Tag>& tag) {
        const std::string path = dir / ("Music/" + name);
        fs::create_directories(fs::path(path).parent_path());
        WriteMp3(path, tag);
        return path;
    }
    void Go() { btnSearchForFilesClick(search, session, view, prompts, reader); }
    std::vector<std::string> Playlists() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir / "Playlists"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Playlist(const std::string& name) const { return dir.Read("Playlists/" + name); }
    std::string Created() const { return TagPlaylistsCreatedMessage(search.playlistsFolder); }
};

TEST(TagPlaylistsNames, SanitizeReplacesTheNineCharactersNulAndSeparators) {
    EXPECT_EQ(SanitizeTagName("Tin/Can Band!"), "Tin_Can_Band_");
    EXPECT_EQ(SanitizeTagName("Day, Night & Noon"), "Day,_Night_&_Noon");
    EXPECT_EQ(SanitizeTagName(" Leading"), "_Leading");
    EXPECT_EQ(SanitizeTagName("/ !@#$%*\\"), "_________");
    EXPECT_EQ(SanitizeTagName(std::string(4, '\0')), "____");
    EXPECT_EQ(SanitizeTagName(std::string("19\0"
                                          "7",
                                          4)),
              "19_7");
    EXPECT_EQ(SanitizeTagName("AC\\DC"), "AC_DC");
    EXPECT_EQ(SanitizeTagName("[notag]"), "[notag]");
    EXPECT_EQ(SanitizeTagName("a+b=c;d'e(f)~`^&,."), "a+b=c;d'e(f)~`^&,.");
    EXPECT_EQ(SanitizeTagName(""), "");
}

TEST(TagPlaylistsNames, NamesAreSafeOnEverySystemValidUtf8AndFitAFileName) {
    struct Case {
        std::string tag, name;
    };
    const std::vector<Case> cases = {
        {"Who? What: \"Now\" <1> |2|", "Who__What___Now___1___2_"},
        {"Line\nbreak\ttab\x7F", "Line_break_tab_"},
        {"Bj\xC3\xB6rk", "Bj\xC3\xB6rk"},                      // UTF-8 stays
        {"\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},  // so do other scripts
        {"\xE5\xAE\x87\xE5\xA4\x9A\xE7\x94\xB0", "\xE5\xAE\x87\xE5\xA4\x9A\xE7\x94\xB0"},
        {"Bj\xF6rk", "Bj_rk"},                              // a Latin-1 byte is no character
        {"\xE9t\xE9", "_t_"},
        {"\xC0\xAF", "__"},                                  // an overlong "/" stays harmless
        {"\xED\xA0\x80", "___"},                            // a lone surrogate
        {"\xF0\x9F\x8E\xB5 Note", "\xF0\x9F\x8E\xB5_Note"},
    };
    for (const Case& c : cases) EXPECT_EQ(SanitizeTagName(c.tag), c.name) << c.tag;

    // Full length up to what a file name holds, cut between characters.
    const std::string longArtist(300, 'a');
    const std::string fitted = SanitizeTagName(longArtist);
    EXPECT_EQ(fitted.size(), 243u);
    EXPECT_LE(ExtractFileName(TagPlaylistPath("/p", kAlbumPrefix, fitted)).size(), 255u);
    std::string wide;
    for (int i = 0; i < 100; ++i) wide += "\xC3\xB6";  // 200 bytes of two-byte characters
    const std::string cut = SanitizeTagName("x" + wide + wide);
    EXPECT_EQ(cut.size(), 243u);
    EXPECT_EQ(cut.substr(cut.size() - 2), "\xC3\xB6") << "never half a character";
    EXPECT_EQ(SanitizeTagName(std::string(40, 'b')).size(), 40u) << "no cut at 30 characters";
    EXPECT_EQ(GenrePlaylistName("Rock/Pop: Live"), "Rock_Pop_ Live");
}

TEST(TagPlaylistsNames, GenreReplacementsAreExactAndOtherNamesStay) {
    EXPECT_EQ(GenrePlaylistName("Folk/Rock"), "Folk_Rock");
    EXPECT_EQ(GenrePlaylistName("Pop/Funk"), "Pop_Funk");
    EXPECT_EQ(GenrePlaylistName("pop/funk"), "pop_funk") << "no subfolder, whatever the case";
    EXPECT_EQ(GenrePlaylistName("Folk-Rock"), "Folk-Rock");
    EXPECT_EQ(GenrePlaylistName("Rock & Roll"), "Rock & Roll");
    EXPECT_EQ(GenrePlaylistName("Jazz+Funk"), "Jazz+Funk");
    EXPECT_EQ(GenrePlaylistName("Unknown"), "Unknown");
}

TEST(TagPlaylistsNames, TrailingSeparatorAndPlaylistPathsInBothStyles) {
    EXPECT_EQ(AddTrailingBackslash("C:\\Music", kWin), "C:\\Music\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\", kWin), "C:\\");
    EXPECT_EQ(AddTrailingBackslash("", kWin), "\\");
    EXPECT_EQ(AddTrailingBackslash("/music", kPosix), "/music/");
    EXPECT_EQ(AddTrailingBackslash("/music/", kPosix), "/music/");
    EXPECT_EQ(AddTrailingBackslash("/music\\", kPosix), "/music\\/");
    EXPECT_EQ(AddTrailingBackslash("/"), "/");

    EXPECT_EQ(TagPlaylistPath("C:\\Kestrune\\Playlists", kGenrePrefix, "Hard Rock", kWin),
              "C:\\Kestrune\\Playlists\\_genre_Hard Rock_.m3u");
    EXPECT_EQ(TagPlaylistPath("/srv/kestrune/Playlists", kArtistPrefix, "Tin_Can_Band_", kPosix),
              "/srv/kestrune/Playlists/_art_Tin_Can_Band__.m3u");
    EXPECT_EQ(TagPlaylistPath("/p", kYearPrefix, "____", kPosix), "/p/" + kBlankYear);
    EXPECT_EQ(TagPlaylistPath("/p", kAlbumPrefix, "[notag]", kPosix), "/p/_album_[notag]_.m3u");
    // Only the prefix's separator is added.
    EXPECT_EQ(TagPlaylistPath("/p/", kYearPrefix, "1987", kPosix), "/p//_year_1987_.m3u");
}

TEST(TagPlaylistsNames, FoundPathsAreLowerCasedOnlyInTheWindowsStyle) {
    EXPECT_TRUE(LowerCasesFoundPaths(kWin));
    EXPECT_FALSE(LowerCasesFoundPaths(kPosix));
    EXPECT_EQ(FoundFileLine("C:\\Music\\Rock\\", "Song.MP3", kWin), "c:\\music\\rock\\song.mp3");
    EXPECT_EQ(FoundFileLine("/Music/Rock/", "Song.MP3", kPosix), "/Music/Rock/Song.MP3");
    EXPECT_EQ(FoundFileLine("/Music/Rock/", "Song.MP3"), "/Music/Rock/Song.MP3");
}

TEST(TagPlaylistsSearch, DepthFirstHiddenFilesFoundHiddenFoldersSkipped) {
    TempDir dir;
    const std::string root = dir / "Music";
    fs::create_directories(root + "/sub/deeper");
    fs::create_directories(root + "/.hidden");
    fs::create_directories(root + "/Album.mp3");
    for (const char* name : {"b.mp3", "A.MP3", ".secret.mp3", "notes.txt", "Song.Mp3", "sub/c.mp3",
                             "sub/deeper/d.mp3", "sub/e.txt", ".hidden/e.mp3", "Album.mp3/f.mp3"})
        dir.Write("Music/" + std::string(name), "x");
    ASSERT_EQ(::mkfifo((root + "/pipe.mp3").c_str(), 0600), 0);

    LineList found{"already there"};
    FindMP3Files(root, found, {});
    EXPECT_EQ(found, (LineList{"already there", root + "/.secret.mp3", root + "/A.MP3",
                               root + "/b.mp3", root + "/Song.Mp3", root + "/Album.mp3/f.mp3",
                               root + "/sub/c.mp3", root + "/sub/deeper/d.mp3"}));

    // A start folder given with its separator gets no second one.
    LineList again;
    FindMP3Files(root + "/sub/", again, {});
    EXPECT_EQ(again, (LineList{root + "/sub/c.mp3", root + "/sub/deeper/d.mp3"}));

    // A hidden start folder is searched: only subfolders are judged.
    LineList hidden;
    FindMP3Files(root + "/.hidden", hidden, {});
    EXPECT_EQ(hidden, (LineList{root + "/.hidden/e.mp3"}));

    LineList none;
    FindMP3Files(dir / "no such folder", none, {});
    EXPECT_TRUE(none.empty());
}

TEST(TagPlaylistsSearch, LinkedFoldersAreFollowedButLinkLoopsEnd) {
    TempDir dir;
    const std::string root = dir / "Music";
    fs::create_directories(root + "/a/b");
    fs::create_directories(dir / "Elsewhere");
    dir.Write("Music/top.mp3", "x");
    dir.Write("Music/a/one.mp3", "x");
    dir.Write("Music/a/b/two.mp3", "x");
    dir.Write("Elsewhere/far.mp3", "x");
    fs::create_directory_symlink("..", root + "/a/b/up");            // to a folder above
    fs::create_directory_symlink(".", root + "/a/self");             // to itself
    fs::create_directory_symlink(root, root + "/a/b/start");         // to the start folder
    fs::create_directory_symlink(dir / "Elsewhere", root + "/far");  // out of the tree

    LineList found;
    FindMP3Files(root, found, {});
    EXPECT_EQ(found, (LineList{root + "/top.mp3", root + "/a/one.mp3", root + "/a/b/two.mp3",
                               root + "/far/far.mp3"}));

    // Reached through a link, the start folder itself is recognised too.
    fs::create_directory_symlink(root, dir / "MusicLink");
    LineList viaLink;
    FindMP3Files(dir / "MusicLink", viaLink, {});
    EXPECT_EQ(viaLink.size(), 4u);
    EXPECT_EQ(viaLink.front(), dir / "MusicLink/top.mp3");
}

TEST(TagPlaylistsSearch, AFolderReachedTwiceIsListedOnceAndLineBreaksArePassedOverAndNamed) {
    TempDir dir;
    const std::string root = dir / "Music";
    fs::create_directories(root + "/real");
    dir.Write("Music/real/song.mp3", "x");
    dir.Write("Music/real/two\nlines.mp3", "x");
    fs::create_directory_symlink(root + "/real", root + "/again");
    fs::create_directory_symlink(root + "/real", root + "/zz-and-again");
    RecordingView view;
    LineList found;
    FindMP3Files(root, found, {}, &view);
    EXPECT_EQ(found, (LineList{root + "/again/song.mp3"}));
    EXPECT_EQ(view.Problems(),
              std::vector<std::string>{"Passed over " + root +
                                       "/again/two\\nlines.mp3: its name holds a line break."});
}

// Records, at each status, which playlists exist: shows the order of the writes.
class OrderView : public RecordingView {
public:
    explicit OrderView(std::string folder) : folder_(std::move(folder)) {}
    void ShowStatus(const std::string& text) override {
        RecordingView::ShowStatus(text);
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        seen.push_back(names);
    }
    std::vector<std::vector<std::string>> seen;

private:
    std::string folder_;
};

TEST(TagPlaylistsPass, TaggedFileGoesToFourPlaylistsInCategoryOrder) {
    TagStation s;
    const std::string song = s.Song("tin can.mp3", Tag{"Tin/Can Band!", "Blue Hours", "1987", 79});
    OrderView view(s.dir / "Playlists");
    btnSearchForFilesClick(s.search, s.session, view, s.prompts, testing::TagLibSetup());

    const std::string genre = "_genre_Hard Rock_.m3u";
    const std::string artist = "_art_Tin_Can_Band__.m3u";
    const std::string year = "_year_1987_.m3u";
    const std::string album = "_album_Blue_Hours_.m3u";
    EXPECT_EQ(view.statuses,
              (std::vector<std::string>{"Adding " + song + " to Hard Rock playlist.",
                                        "Adding " + song + " to Tin_Can_Band_ playlist.",
                                        "Adding " + song + " to 1987 playlist.",
                                        "Adding " + song + " to Blue_Hours playlist.", " "}));
    // The playlists are written when the round ends: here, with the pass.
    using Names = std::vector<std::string>;
    ASSERT_EQ(view.seen.size(), 5u);
    EXPECT_EQ(view.seen[3], Names{});
    EXPECT_EQ(view.seen[4], (Names{album, artist, genre, year}));
    EXPECT_EQ(s.Playlists(), (Names{album, artist, genre, year}));
    for (const std::string& name : s.Playlists())
        EXPECT_EQ(s.Playlist(name), song + "\r\n") << name;

    EXPECT_EQ(s.prompts.messages, (std::vector<std::string>{s.Created()}));
    EXPECT_EQ(s.session.lbFiles, (LineList{song}));
    EXPECT_TRUE(s.session.lbGenreList.empty());
}

TEST(TagPlaylistsPass, NamesKeepCommasAmpersandsAndLeadingBlankBecomesUnderscore) {
    TagStation s;
    s.search.boxes = TagCategories{true, false, false, true};
    const std::string day = s.Song("1.mp3", Tag{"Day, Night & Noon", "", "2001", 78});
    const std::string lead = s.Song("2.mp3", Tag{" Lead Singer", "", "2001", 62});
    const std::string folk = s.Song("3.mp3", Tag{"", "", "", 81});
    s.Go();
    EXPECT_EQ(s.Playlists(),
              (std::vector<std::string>{"_art_Day,_Night_&_Noon_.m3u", "_art__.m3u",
                                        "_art__Lead_Singer_.m3u", "_genre_Folk-Rock_.m3u",
                                        "_genre_Pop_Funk_.m3u", "_genre_Rock & Roll_.m3u"}));
    EXPECT_EQ(s.Playlist("_art_Day,_Night_&_Noon_.m3u"), Lines({day}));
    EXPECT_EQ(s.Playlist("_art__Lead_Singer_.m3u"), Lines({lead}));
    // A blank artist field is an empty artist, not the default.
    EXPECT_EQ(s.Playlist("_art__.m3u"), Lines({folk}));
    EXPECT_EQ(s.Playlist("_genre_Pop_Funk_.m3u"), Lines({lead}));
    EXPECT_EQ(s.view.Count("Adding " + lead + " to Pop_Funk playlist."), 1);
    EXPECT_EQ(s.view.Count("Adding " + day + " to Day,_Night_&_Noon playlist."), 1);
}

TEST(TagPlaylistsPass, UntaggedAndUnreadableFilesCollectUnderTheFallbacks) {
    TagStation s;
    // The tagged file comes first, so that the unread ones cannot inherit its values.
    const std::string tagged = s.Song("a tagged.mp3", Tag{"Known", "Album", "1999", 17});
    const std::string bare = s.Song("b bare.mp3", std::nullopt);
    const std::string junk = s.dir / "Music/c junk.mp3";
    s.dir.Write("Music/c junk.mp3", synth::Junk(4000, 7));
    OpenErrorCounter errors(s.reader);
    s.Go();

    EXPECT_EQ(errors.asked, (std::vector<std::string>{junk}));
    EXPECT_EQ(s.Playlists(), (std::vector<std::string>{
                                 "_album_Album_.m3u", "_album_[notag]_.m3u", "_art_Known_.m3u",
                                 "_art_Unknown_Artist_.m3u", "_genre_Rock_.m3u",
                                 "_genre_Unknown_.m3u", "_year_1999_.m3u", kBlankYear}));
    for (const std::string& name :
         {std::string("_genre_Unknown_.m3u"), std::string("_art_Unknown_Artist_.m3u"), kBlankYear,
          std::string("_album_[notag]_.m3u")})
        EXPECT_EQ(s.Playlist(name), Lines({bare, junk})) << name;
    EXPECT_EQ(s.Playlist("_art_Known_.m3u"), Lines({tagged}));
    EXPECT_EQ(s.view.Count("Adding " + bare + " to Unknown_Artist playlist."), 1);
    EXPECT_EQ(s.view.Count("Adding " + junk + " to ____ playlist."), 1);
}

TEST(TagPlaylistsPass, YearOfFourNulsAndOddValuesMakeUsableNames) {
    TagStation s;
    s.search.boxes = TagCategories{false, true, true, false};
    const std::string nuls =
        s.Song("nuls.mp3", Tag{"A", "Live @ Home * 50%", std::string(4, '\0'), 0});
    const std::string odd = s.Song("odd.mp3", Tag{"B", "What? Where: Now", "19/9", 0});
    s.Go();
    // Four NULs give the same name as four blanks.
    EXPECT_EQ(s.Playlist(kBlankYear), Lines({nuls}));
    EXPECT_EQ(s.Playlist("_album_Live___Home___50__.m3u"), Lines({nuls}));
    // "?" and ":" would be refused elsewhere; "/" never makes a subfolder.
    EXPECT_EQ(s.Playlist("_album_What__Where__Now_.m3u"), Lines({odd}));
    EXPECT_EQ(s.Playlist("_year_19_9_.m3u"), Lines({odd}));
    EXPECT_EQ(s.Playlists().size(), 4u);
}

TEST(TagPlaylistsPass, ExistingPlaylistsAreAppendedAndTwoRunsListTwice) {
    TagStation s;
    s.search.boxes = TagCategories{true, false, false, false};
    const std::string x = s.Song("x.mp3", Tag{"Same", "", "", 0});
    const std::string y = s.Song("sub/y.mp3", Tag{"Same", "", "", 0});
    const std::string other = s.Song("z.mp3", Tag{"Other", "", "", 0});
    // Written elsewhere: LF line ends, no end after the last line.
    s.dir.Write("Playlists/_art_Other_.m3u", "old one\nold two");

    s.Go();
    // ".../sub/y.mp3" sorts before ".../x.mp3".
    EXPECT_EQ(s.Playlist("_art_Same_.m3u"), Lines({y, x}));
    EXPECT_EQ(s.Playlist("_art_Other_.m3u"), Lines({"old one", "old two", other}));
    s.Go();
    EXPECT_EQ(s.Playlist("_art_Same_.m3u"), Lines({y, x, y, x}));
    EXPECT_EQ(s.Playlist("_art_Other_.m3u"), Lines({"old one", "old two", other, other}));
    EXPECT_EQ(s.prompts.messages.size(), 2u);
    EXPECT_EQ(s.session.lbFiles, (LineList{y, x, other}));
}

TEST(TagPlaylistsPass, NoBoxTickedReadsEveryFileWritesNothingAndStillReports) {
    TagStation s;
    s.search.boxes = TagCategories{};
    s.Song("good.mp3", Tag{"A", "B", "2000", 1});
    s.dir.Write("Music/bad1.mp3", synth::Junk(3000, 1));
    fs::create_directories(s.dir / "Music/sub");
    s.dir.Write("Music/sub/bad2.mp3", synth::Junk(3000, 2));
    OpenErrorCounter errors(s.reader);
    s.Go();
    EXPECT_EQ(errors.asked,
              (std::vector<std::string>{s.dir / "Music/bad1.mp3", s.dir / "Music/sub/bad2.mp3"}));
    EXPECT_TRUE(s.Playlists().empty());
    EXPECT_EQ(s.view.statuses, (std::vector<std::string>{" "}));
    EXPECT_EQ(s.prompts.messages, (std::vector<std::string>{s.Created()}));
    EXPECT_EQ(s.session.lbFiles.size(), 3u);
}

TEST(TagPlaylistsPass, FolderWithoutMp3FilesWritesNothingAndStillReports) {
    TagStation s;
    s.dir.Write("Music/readme.txt", "text");
    s.session.lbFiles = {"from the last run"};
    s.Go();
    EXPECT_TRUE(s.session.lbFiles.empty());
    EXPECT_TRUE(s.Playlists().empty());
    EXPECT_EQ(s.view.statuses, (std::vector<std::string>{" "}));
    EXPECT_EQ(s.prompts.messages, (std::vector<std::string>{s.Created()}));
}

TEST(TagPlaylistsPass, FilesAreSortedWithoutRegardToCaseAndKeepTheirCase) {
    TagStation s;
    s.search.boxes = TagCategories{true, false, false, false};
    const std::string b = s.Song("b.mp3", Tag{"One", "", "", 0});
    const std::string a = s.Song("A.MP3", Tag{"One", "", "", 0});
    const std::string c = s.Song("Alpha/C.Mp3", Tag{"One", "", "", 0});
    const std::string d = s.Song("d.mp3", Tag{"One", "", "", 0});
    const std::string z = s.Song("Zed.mp3", Tag{"One", "", "", 0});
    s.Go();
    // Depth first finds Alpha/C.Mp3 last, byte order puts Zed.mp3 first; neither stays.
    EXPECT_EQ(s.session.lbFiles, (LineList{a, c, b, d, z}));
    EXPECT_EQ(s.Playlist("_art_One_.m3u"), Lines({a, c, b, d, z}));
    for (const std::string& line : s.session.lbFiles) EXPECT_TRUE(fs::exists(line)) << line;
}

TEST(TagPlaylistsPass, FailedWriteStopsTheCommandAndKeepsWhatWasAppended) {
    TagStation s;
    const std::string first = s.Song("1.mp3", Tag{"Blocked", "Al", "2002", 17});
    s.Song("2.mp3", Tag{"Fine", "Al", "2002", 17});
    // A folder where the artist playlist should go: that playlist cannot be written.
    fs::create_directories(s.dir / "Playlists/_art_Blocked_.m3u");
    try {
        s.Go();
        FAIL() << "the write did not fail";
    } catch (const KestruneError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file " + (s.dir / "Playlists/_art_Blocked_.m3u"));
    }
    // The round is written playlist by playlist, in the order they were first touched: the
    // genre playlist before the blocked one is whole, those after it are not written.
    EXPECT_EQ(s.Playlists(), (std::vector<std::string>{"_art_Blocked_.m3u", "_genre_Rock_.m3u"}));
    EXPECT_EQ(s.Playlist("_genre_Rock_.m3u"), Lines({first, s.dir / "Music/2.mp3"}));
    EXPECT_TRUE(s.prompts.messages.empty());
    EXPECT_EQ(s.view.Count("Adding " + first + " to Blocked playlist."), 1);
    // The scratch list holds nothing that a later run could write into another playlist.
    EXPECT_TRUE(s.session.lbGenreList.empty());
}

TEST(TagPlaylistsPass, MissingPlaylistsFolderFailsAtTheFirstWrite) {
    TagStation s;
    const std::string song = s.Song("1.mp3", Tag{"Art", "Al", "2002", 17});
    s.search.playlistsFolder = s.dir / "No Playlists Here";
    try {
        s.Go();
        FAIL() << "the write did not fail";
    } catch (const KestruneError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file " + (s.dir / "No Playlists Here/_genre_Rock_.m3u"));
    }
    EXPECT_FALSE(fs::exists(s.dir / "No Playlists Here"));
    // The round's first write fails; the statuses of the round came before it.
    EXPECT_EQ(s.view.statuses.size(), 4u);
    EXPECT_EQ(s.view.statuses.front(), "Adding " + song + " to Rock playlist.");
    EXPECT_TRUE(s.prompts.messages.empty());
    EXPECT_TRUE(s.session.lbGenreList.empty());
}

// Changes the tick boxes while the pass runs, as the user could while the reader keeps the
// window alive.
class UntickingView : public RecordingView {
public:
    explicit UntickingView(TagCategories& boxes) : boxes_(boxes) {}
    void ShowStatus(const std::string& text) override {
        RecordingView::ShowStatus(text);
        boxes_.cbByArtist = false;
        boxes_.cbByYear = true;
    }

private:
    TagCategories& boxes_;
};

TEST(TagPlaylistsPass, TickBoxesAreReadAfreshForEveryFile) {
    TempDir dir;
    fs::create_directories(dir / "Playlists");
    const std::string one = dir / "1.mp3";
    const std::string two = dir / "2.mp3";
    WriteMp3(one, Tag{"A", "", "1990", 0});
    WriteMp3(two, Tag{"A", "", "1990", 0});
    TagCategories boxes{true, false, false, false};
    UntickingView view(boxes);
    ScriptedPrompts prompts;
    LineList scratch;
    MakeTagPlaylists(LineList{one, two}, scratch, dir / "Playlists", boxes, view, prompts,
                     testing::TagLibSetup());
    EXPECT_EQ(dir.Read("Playlists/_art_A_.m3u"), Lines({one}));
    EXPECT_EQ(dir.Read("Playlists/_year_1990_.m3u"), Lines({two}));
}

}  // namespace
}  // namespace kestrune
