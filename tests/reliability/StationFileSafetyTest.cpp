// A station's bad day: the music folder away, links that lead out of the station, NUL bytes,
// pipes and devices and huge files where lists should be, playlists in another form, and the
// leftovers of killed writers. Each case is listed in docs/robustness.md.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "building/BuildCommand.h"
#include "building/MusicFolderCheck.h"
#include "building/PlaylistFile.h"
#include "building/RemovedSongsLog.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "support/CliRunner.h"
#include "support/Station.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::LastLine;
using testing::TestSong;
using testing::StationFixture;
using testing::TempDir;

std::vector<TestSong> Songs(const std::string& folder, int count) {
    std::vector<TestSong> songs;
    for (int i = 0; i < count; ++i)
        songs.push_back({180 + i, "Band " + std::to_string(i), folder + " song " + std::to_string(i)});
    return songs;
}

// The error text of `run`, or "" when it threw none.
std::string ErrorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const KestruneError& error) {
        return error.what();
    }
    return std::string();
}

// A build shuffles its categories: their lines are compared as sets.
LineList Sorted(LineList lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string ReadFileAt(const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
        std::fclose(file);
    }
    return bytes;
}

// Lines that name files under `folder` (which need not exist).
std::string ListUnder(const std::string& folder, int count) {
    LineList lines;
    for (int i = 0; i < count; ++i) lines.push_back(folder + "/song" + std::to_string(i) + ".mp3");
    return FormatLines(lines);
}

TEST(MusicFolderAway, TheRepairChangesNothingAndNamesTheFolderWhenTheLibraryIsAway) {
    struct Case {
        const char* name;
        // Makes the library look away; answers the folder the refusal names.
        std::function<std::string(StationFixture&)> away;
    };
    const std::vector<Case> cases = {
        {"folder removed (an unmounted drive without its mount point)",
         [](StationFixture& f) {
             fs::remove_all(f.dir / "music");
             return f.dir / "music";
         }},
        {"only the top folder there, empty (an unmounted drive's mount point)",
         [](StationFixture& f) {
             fs::remove_all(f.dir / "music");
             fs::create_directories(f.dir / "music");
             return f.dir / "music/rock";
         }},
        {"the folder there, more than half of its songs not (a share showing no files)",
         [](StationFixture& f) {
             for (int i = 0; i < 6; ++i) fs::remove(f.dir / ("music/rock/song" + std::to_string(i) + ".mp3"));
             return f.dir / "music/rock";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StationFixture f;
        fs::create_directories(f.dir / "music/rock");
        f.dir.Write("rock.m3u", "#EXTM3U\r\n" + ListUnder(f.dir / "music/rock", 6));
        for (int i = 0; i < 6; ++i) f.dir.Write("music/rock/song" + std::to_string(i) + ".mp3", "x");
        // A playlist of songs that are there, repaired first: it must stay as it is too.
        const std::string spots = f.Playlist("a-spots.m3u", Songs("spot", 2));
        const std::string spotsBefore = f.dir.Read("a-spots.m3u");
        const std::string before = f.dir.Read("rock.m3u");
        f.session.lbMasterPlaylists.Add(spots);
        f.session.lbMasterPlaylists.Add(f.dir / "rock.m3u");
        const std::string folder = c.away(f);

        EXPECT_EQ(ErrorOf([&] { RepairPlaylists(f.context); }), MusicFolderAwayMessage(folder));
        EXPECT_EQ(f.dir.Read("rock.m3u"), before);
        EXPECT_EQ(f.dir.Read("a-spots.m3u"), spotsBefore);
        EXPECT_FALSE(fs::exists(f.dir / kRemovedSongsFile));
        ASSERT_FALSE(f.view.Problems().empty());
        EXPECT_EQ(f.view.Problems().back(), "Left " + (f.dir / "rock.m3u") +
                                                " as it is: 6 of its 6 songs name no file, under " +
                                                folder + ".");
    }
}

TEST(MusicFolderAway, AnUnreadableMusicFolderIsAwayPermission) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    StationFixture f;
    fs::create_directories(f.dir / "share/jazz");
    for (int i = 0; i < 4; ++i) f.dir.Write("share/jazz/song" + std::to_string(i) + ".mp3", "x");
    f.dir.Write("jazz.m3u", ListUnder(f.dir / "share/jazz", 4));
    const std::string before = f.dir.Read("jazz.m3u");
    f.session.lbMasterPlaylists.Add(f.dir / "jazz.m3u");
    fs::permissions(f.dir / "share", fs::perms::none);
    const std::string error = ErrorOf([&] { RepairPlaylists(f.context); });
    fs::permissions(f.dir / "share", fs::perms::owner_all);
    EXPECT_EQ(error, MusicFolderAwayMessage(f.dir / "share"));
    EXPECT_EQ(f.dir.Read("jazz.m3u"), before);
}

TEST(MusicFolderAway, SongsGoneFromAFolderThatIsThereAreRemovedAndRecordedForPuttingBack) {
    StationFixture f;
    const std::string list = f.Playlist("pop.m3u", Songs("pop", 4));
    const LineList songs = f.Lines(list);
    const std::string gone = f.dir / "songs/gone.mp3";
    f.dir.Write("pop.m3u", FormatLines({"#EXTM3U", songs[0], "#EXTINF:200,Gone - Away", gone,
                                        songs[1], songs[2], gone, songs[3]}));
    f.dir.Write(kRemovedSongsFile, "earlier\r\n");
    f.session.lbMasterPlaylists.Add(list);
    RepairPlaylists(f.context);
    EXPECT_EQ(f.Lines(list), (LineList{"#EXTM3U", songs[0], songs[1], songs[2], songs[3]}));
    // The file keeps what it held and gets every line taken out, its #EXTINF with it.
    EXPECT_EQ(f.Lines(f.dir / kRemovedSongsFile),
              (LineList{"earlier", "2026-12-06 18:05:00\t" + list + "\t#EXTINF:200,Gone - Away",
                        "2026-12-06 18:05:00\t" + list + "\t" + gone,
                        "2026-12-06 18:05:00\t" + list + "\t" + gone}));
    EXPECT_EQ(RemovedSongsLogPath(list), f.dir / kRemovedSongsFile);
}

TEST(MusicFolderAway, TheToolExitsTwoAndTheCategoriesKeepEveryLine) {
    StationFixture f;
    std::vector<TestSong> music = Songs("music", 8);
    const std::string musicList = f.Playlist("music.m3u", music);
    f.dir.Write("hour.cwt", FormatLines({musicList, "#", musicList, "##", "60", "###",
                                         f.dir / "hour.m3u", "####", "001", "3"}));
    const std::string before = f.dir.Read("music.m3u");
    fs::remove_all(f.dir / "songs");
    const auto result = testing::RunCli({"build", f.dir / "hour.cwt"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(LastLine(result.err),
              "The music folder " + (f.dir / "songs") + " cannot be reached; nothing was changed.");
    EXPECT_EQ(f.dir.Read("music.m3u"), before);
    EXPECT_FALSE(fs::exists(f.dir / "hour.m3u"));
}

// A music director deletes one album folder (4 of 24 songs): the library is there, so its
// songs' lines are removed as always, each kept in removed-songs.txt, and the hour is built.
TEST(MusicFolderAway, ADeletedAlbumIsRemovedAndTheBuildGoesOn) {
    StationFixture f;
    LineList lines, deleted;
    for (int album = 1; album <= 6; ++album)
        for (int song = 0; song < 4; ++song) {
            const std::string path = f.dir / ("music/Album " + std::to_string(album) + "/" +
                                              std::to_string(song) + ".mp3");
            fs::create_directories(fs::path(path).parent_path());
            testing::WriteSong(path, {200 + song, "Band " + std::to_string(album * 10 + song),
                                      "Song " + std::to_string(song)});
            (album == 5 ? deleted : lines).push_back(path);
        }
    LineList all = lines;
    all.insert(all.begin() + 8, deleted.begin(), deleted.end());
    f.dir.Write("gold.m3u", FormatLines(all));
    f.dir.Write("hour.cwt", FormatLines({f.dir / "gold.m3u", "#", f.dir / "gold.m3u", "##", "30",
                                         "###", f.dir / "hour.m3u", "####", "000"}));
    fs::remove_all(f.dir / "music/Album 5");
    const auto result = testing::RunCli({"build", f.dir / "hour.cwt"}, f.dir.Path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("cannot be reached"), std::string::npos) << result.err;
    EXPECT_EQ(Sorted(f.Lines(f.dir / "gold.m3u")), Sorted(lines));
    LineList removed;
    for (const std::string& record : f.Lines(f.dir / kRemovedSongsFile))
        removed.push_back(record.substr(record.rfind('\t') + 1));
    EXPECT_EQ(removed, deleted);
    EXPECT_FALSE(f.Lines(f.dir / "hour.m3u").empty());
}

// The library truly away, but the category holds songs that are there too: nothing is
// removed, the build passes the missing songs over and places the others.
TEST(MusicFolderAway, AwayButEnoughThereBuildsFromWhatIsThere) {
    struct Case {
        const char* name;
        const char* library;  // where the category's songs that go away are
        int away;             // how many of its 10
        const char* emptied;  // the folder left empty, "" for none
    };
    const std::vector<Case> cases = {
        {"the library's folder gone, the folder above it empty", "mnt/library", 6, ""},
        // Fewer than half of the category, in a folder that is there but holds nothing now:
        // before, their lines were removed as if deleted.
        {"a flat library at an empty mount point beside the local music", "music/nas", 4,
         "music/nas"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StationFixture f;
        LineList lines;
        for (int i = 0; i < 10; ++i) {
            const std::string folder = i < c.away ? c.library : "music/local";
            const std::string path = f.dir / (folder + "/" + std::to_string(i) + ".mp3");
            fs::create_directories(fs::path(path).parent_path());
            testing::WriteSong(path, {240, "Band " + std::to_string(i), "Song"});
            lines.push_back(path);
        }
        f.dir.Write("mixed.m3u", FormatLines(lines));
        f.dir.Write("hour.cwt", FormatLines({f.dir / "mixed.m3u", "#", f.dir / "mixed.m3u", "##",
                                             "10", "###", f.dir / "hour.m3u", "####", "000"}));
        fs::remove_all(f.dir / c.library);
        if (*c.emptied) fs::create_directories(f.dir / c.emptied);
        const auto result = testing::RunCli({"build", f.dir / "hour.cwt"}, f.dir.Path());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.err.find("The music folder " + (f.dir / c.library) +
                                  " cannot be reached: its songs stay in their playlists"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(Sorted(f.Lines(f.dir / "mixed.m3u")), Sorted(lines)) << "every line kept";
        EXPECT_FALSE(fs::exists(f.dir / kRemovedSongsFile));
        const LineList placed = f.Lines(f.dir / "hour.m3u");
        EXPECT_FALSE(placed.empty());
        for (const std::string& song : placed)
            EXPECT_NE(song.find("/music/local/"), std::string::npos) << song;
    }
}

TEST(ExtinfLines, AnExtinfGoesWithTheSongItDescribesAndIsNamedWithIt) {
    StationFixture f;
    const std::string list = f.Playlist("mix.m3u", Songs("mix", 3));
    const LineList songs = f.Lines(list);
    const std::string gone = f.dir / "songs/gone.mp3";
    // A plain comment before a removed song stays, with the next song; the #EXTINF goes.
    f.dir.Write("mix.m3u", FormatLines({"#EXTM3U", "#EXTINF:1,A", songs[0], "# set two",
                                        "#EXTINF:2,Gone", gone, "#EXTINF:3,B", songs[1],
                                        "#EXTINF:4,C", songs[2], "#EXTINF:5,Last gone", gone}));
    f.session.lbMasterPlaylists.Add(list);
    RepairPlaylists(f.context);
    EXPECT_EQ(f.Lines(list), (LineList{"#EXTM3U", "#EXTINF:1,A", songs[0], "# set two",
                                       "#EXTINF:3,B", songs[1], "#EXTINF:4,C", songs[2]}));
    EXPECT_EQ(f.view.Problems(),
              (std::vector<std::string>{
                  "Removed \"" + gone + "\" with its \"#EXTINF:2,Gone\" from " + list +
                      ": it names no file.",
                  "Removed \"" + gone + "\" with its \"#EXTINF:5,Last gone\" from " + list +
                      ": it names no file.",
                  "2 lines naming no file removed from 1 playlist"}));
}

TEST(RefusedPlaylists, NulBytesAndOtherFormatsAreRefusedByNameAndNothingIsRewritten) {
    struct Case {
        const char* name;
        const char* file;
        std::string bytes;
        std::function<std::string(const std::string&)> refusal;
    };
    const auto nulOn = [](size_t line) {
        return [line](const std::string& path) { return NulByteMessage(path, line); };
    };
    const auto format = [](const char* name) {
        return [name](const std::string& path) { return OtherFormatMessage(path, name); };
    };
    const std::vector<Case> cases = {
        {"NUL on the first line", "a.m3u", std::string("/x.mp3\0/y.mp3\r\n", 15), nulOn(1)},
        {"NUL in the third line", "a.m3u", std::string("/a\r\n/b\r\n/c\0d\r\n/e\r\n", 18), nulOn(3)},
        {"NUL opening a line after LF", "a.m3u", std::string("/a\n/b\n\0/c\n", 10), nulOn(3)},
        {"NUL after a byte-order mark", "a.m3u", std::string("\xEF\xBB\xBF/a\r\n\0", 8), nulOn(2)},
        {"PLS by its name", "a.pls", "[playlist]\r\nFile1=/a.mp3\r\nNumberOfEntries=1\r\n",
         format("PLS")},
        {"PLS by its name in capitals", "A.PLS", "File1=/a.mp3\r\n", format("PLS")},
        {"PLS under an .m3u name", "a.m3u", "\r\n[Playlist]\r\nFile1=/a.mp3\r\n", format("PLS")},
        {"XSPF by its name", "a.xspf", "<?xml version=\"1.0\"?><playlist/>", format("XSPF")},
        {"XSPF under an .m3u name", "a.m3u", "\xEF\xBB\xBF<playlist version=\"1\"/>",
         format("XSPF")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StationFixture f;
        f.dir.Write(c.file, c.bytes);
        const std::string path = f.dir / c.file;
        f.session.lbMasterPlaylists.Add(path);
        EXPECT_EQ(ErrorOf([&] { RepairPlaylists(f.context); }), c.refusal(path));
        EXPECT_EQ(f.dir.Read(c.file), c.bytes);
        // The builder reads categories the same way.
        PlaylistLayout layout;
        LineList entries;
        EXPECT_EQ(ErrorOf([&] { LoadPlaylist(path, layout, entries); }), c.refusal(path));
    }
    EXPECT_EQ(LineOfNul("no nul"), 0u);
    EXPECT_EQ(OtherPlaylistFormat("/x/list.m3u", "#EXTM3U\r\n/a.mp3\r\n"), "");
}

struct StationFoldersReset {
    ~StationFoldersReset() { SetStationFolders({}); }
};

TEST(LinksLeadingOut, ALinkIsWrittenThroughOnlyToAFileOfTheStation) {
    StationFoldersReset reset;
    TempDir station, elsewhere;
    fs::create_directories(station / "Playlists");
    fs::create_directories(station / "Sessions");
    SetStationFolders({station.Path(), station / "Playlists", station / "Sessions"});
    elsewhere.Write("passwd", "root:x:0:0\n");
    station.Write("Sessions/history.txt", "old\r\n");
    station.Write("Playlists/real.m3u", "old\r\n");
    struct Case {
        const char* name;
        std::string link;
        std::string target;
        bool written;
    };
    const std::vector<Case> cases = {
        {"to a file outside the station", station / "Playlists/hits.m3u", elsewhere / "passwd",
         false},
        {"to a file beside it", station / "Playlists/alias.m3u", station / "Playlists/real.m3u",
         true},
        {"to another folder of the station", station / "Playlists/history-link.txt",
         station / "Sessions/history.txt", true},
        {"relative, climbing out", station / "Playlists/up.m3u",
         "../../" + fs::path(elsewhere.Path()).filename().string() + "/passwd", false},
        {"dangling, to a new file outside", station / "Playlists/new.m3u", elsewhere / "new.m3u",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::create_symlink(c.target, c.link);
        const std::string real = fs::absolute(fs::path(c.link).parent_path() / c.target).string();
        const std::string before = fs::exists(real) ? ReadFileAt(real) : "-";
        const std::string error = ErrorOf([&] { ReplaceWholeFile(c.link, "new\r\n"); });
        EXPECT_TRUE(fs::is_symlink(c.link));
        if (c.written) {
            EXPECT_EQ(error, "");
            EXPECT_EQ(ReadFileAt(real), "new\r\n");
        } else {
            EXPECT_EQ(error, errors::LinkLeadsOut(c.link, c.target.front() == '/'
                                                              ? c.target
                                                              : (fs::path(c.link).parent_path() /
                                                                 c.target)
                                                                    .string())
                                 .what());
            EXPECT_EQ(fs::exists(real) ? ReadFileAt(real) : "-", before);
        }
    }
    // The repair refuses such a category before it writes any playlist.
    StationFixture f;
    const std::string good = f.Playlist("a-good.m3u", Songs("good", 2));
    const std::string goodBefore = f.dir.Read("a-good.m3u");
    fs::create_symlink(elsewhere / "passwd", f.dir / "b-linked.m3u");
    elsewhere.Write("passwd", (f.dir / "songs/gone.mp3") + "\r\n" + f.Lines(good)[0] + "\r\n");
    const std::string passwd = elsewhere.Read("passwd");
    f.session.lbMasterPlaylists.Add(good);
    f.session.lbMasterPlaylists.Add(f.dir / "b-linked.m3u");
    EXPECT_EQ(ErrorOf([&] { RepairPlaylists(f.context); }),
              errors::LinkLeadsOut(f.dir / "b-linked.m3u", elsewhere / "passwd").what());
    EXPECT_EQ(elsewhere.Read("passwd"), passwd);
    EXPECT_EQ(f.dir.Read("a-good.m3u"), goodBefore);
}

TEST(NotAFile, PipesDevicesAndHugeFilesAreRefusedByNameNeverReadWhole) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.m3u").c_str(), 0600), 0);
    // A sparse file past the limit: nothing of it is read.
    {
        const int fd = ::open((dir / "huge.m3u").c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 2LL * 1024 * 1024 * 1024), 0);
        ::close(fd);
    }
    dir.Write("limit.m3u", "");
    ASSERT_EQ(::truncate((dir / "limit.m3u").c_str(), 256LL * 1024 * 1024 + 1), 0);
    struct Case {
        std::string path;
        std::string refusal;
    };
    const std::vector<Case> cases = {
        {dir / "pipe.m3u", errors::NotARegularFile(dir / "pipe.m3u").what()},
        {"/dev/zero", errors::NotARegularFile("/dev/zero").what()},
        {"/dev/null", errors::NotARegularFile("/dev/null").what()},
        {dir / "huge.m3u", errors::FileTooLarge(dir / "huge.m3u").what()},
        {dir / "limit.m3u", errors::FileTooLarge(dir / "limit.m3u").what()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ErrorOf([&] { ReadWholeFile(c.path); }), c.refusal);
        LineList lines;
        EXPECT_EQ(ErrorOf([&] { LoadList(c.path, lines); }), c.refusal);
    }
    // Never written over either: the pipe stays a pipe, the huge file keeps its size.
    EXPECT_EQ(ErrorOf([&] { ReplaceWholeFile(dir / "pipe.m3u", "x\r\n"); }),
              errors::NotARegularFile(dir / "pipe.m3u").what());
    EXPECT_EQ(fs::status(dir / "pipe.m3u").type(), fs::file_type::fifo);
    EXPECT_EQ(fs::file_size(dir / "huge.m3u"), 2ULL * 1024 * 1024 * 1024);
}

TEST(Leftovers, TheFirstWriteIntoAFolderClearsWhatKilledWritersLeftThere) {
    TempDir dir;
    for (const char* name : {".a.m3u.kestrune-tmp", ".b.m3u.kestrune-tmp", ".c.m3u.kestrune-tmp"})
        dir.Write(name, "half a li");
    // One held by a writer that is alive (its lock), and files that only look alike.
    dir.Write(".live.m3u.kestrune-tmp", "being written");
    const int live = ::open((dir / ".live.m3u.kestrune-tmp").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    dir.Write("keep.kestrune-tmp", "not hidden");
    dir.Write(".keep.m3u", "not a temporary");
    fs::create_directory(dir / ".folder.kestrune-tmp");

    ReplaceWholeFile(dir / "other.m3u", "x\r\n");
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{".folder.kestrune-tmp", ".keep.m3u",
                                        ".live.m3u.kestrune-tmp", "keep.kestrune-tmp",
                                        "other.m3u"}));
    ::close(live);
    // Once the writer is gone, a direct clearing takes its file too.
    EXPECT_EQ(ClearLeftoverTemporaries(dir.Path()), 1u);
    EXPECT_FALSE(fs::exists(dir / ".live.m3u.kestrune-tmp"));
}

}  // namespace
}  // namespace kestrune
