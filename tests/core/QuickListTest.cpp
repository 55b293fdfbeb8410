#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "listtools/QuickList.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "support/Station.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::ScriptedPrompts;
using testing::TempDir;
namespace fs = std::filesystem;

constexpr PathStyle kWin = PathStyle::Windows;
constexpr PathStyle kPosix = PathStyle::Posix;

TEST(QuickListName, IsTheFoldersOwnName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/music/Rock", "Rock.m3u"},    {"/music/Rock/", "Rock.m3u"},
        {"/music/Sub Folder", "Sub Folder.m3u"}, {"D:\\Lists\\Oldies", "Oldies.m3u"},
        {"/", "root.m3u"},              {"D:\\", "root.m3u"},
        {"", "root.m3u"}};
    for (const auto& [folder, name] : cases) EXPECT_EQ(QuickListFileName(folder), name) << folder;
}

TEST(QuickListLines, WindowsRootTakesTheUpperCaseDriveAndOneBackslash) {
    EXPECT_EQ(QuickListLine("e", "E:\\", "a.mp3", kWin), "E:\\a.mp3");
    EXPECT_EQ(QuickListLine("E", "E:\\", "a.mp3", kWin), "E:\\a.mp3");
    EXPECT_EQ(QuickListLine("e:", "E:\\", "Song.MP3", kWin), "E:\\Song.MP3");
    // A root written in small letters is still the root: one backslash, capital letter.
    EXPECT_EQ(QuickListLine("e", "e:\\", "a.mp3", kWin), "E:\\a.mp3");
    EXPECT_TRUE(IsDriveRoot("e", "e:\\", kWin));
    EXPECT_TRUE(IsDriveRoot("c", "C:\\", kWin));
    EXPECT_FALSE(IsDriveRoot("c", "C:", kWin));
    EXPECT_FALSE(IsDriveRoot("c", "C:\\Music", kWin));
    EXPECT_FALSE(IsDriveRoot("", "C:\\", kWin));
}

TEST(QuickListLines, WindowsFolderBelowTheRootIsWrittenAsGiven) {
    EXPECT_EQ(QuickListLine("e", "e:\\Music\\Oldies", "a.mp3", kWin), "e:\\Music\\Oldies\\a.mp3");
    EXPECT_EQ(QuickListLine("E", "E:\\MUSIC", "b.mp3", kWin), "E:\\MUSIC\\b.mp3");
    EXPECT_EQ(QuickListLine("c", "C:\\My Music\\80's", "Take On Me.mp3", kWin),
              "C:\\My Music\\80's\\Take On Me.mp3");
}

TEST(QuickListLines, PosixRootsAreMountPathsWithOneSeparatorBeforeTheName) {
    EXPECT_EQ(QuickListLine("/", "/", "a.mp3", kPosix), "/a.mp3");
    EXPECT_EQ(QuickListLine("/media/usb", "/media/usb", "a.mp3", kPosix), "/media/usb/a.mp3");
    EXPECT_EQ(QuickListLine("/media/usb", "/media/usb/", "a.mp3", kPosix), "/media/usb/a.mp3");
    EXPECT_EQ(QuickListLine("/media/usb/", "/media/usb", "a.mp3", kPosix), "/media/usb/a.mp3");
    EXPECT_TRUE(IsDriveRoot("/", "/", kPosix));
    EXPECT_TRUE(IsDriveRoot("/media/usb", "/media/usb/", kPosix));
    // Case tells folders apart here.
    EXPECT_FALSE(IsDriveRoot("/media/USB", "/media/usb", kPosix));
    EXPECT_FALSE(IsDriveRoot("/", "/home", kPosix));
    EXPECT_FALSE(IsDriveRoot("", "/", kPosix));
}

TEST(QuickListLines, PosixFolderBelowTheRootIsWrittenAsGiven) {
    EXPECT_EQ(QuickListLine("/", "/home/dj/Music", "A.MP3", kPosix), "/home/dj/Music/A.MP3");
    EXPECT_EQ(QuickListLine("/media/usb", "/media/usb/Hits 2026", "x.mp3", kPosix),
              "/media/usb/Hits 2026/x.mp3");
    // Not the drive's root (another case): an ordinary folder.
    EXPECT_EQ(QuickListLine("/media/USB", "/media/usb", "x.mp3", kPosix), "/media/usb/x.mp3");
    // A backslash is an ordinary character of a POSIX name.
    EXPECT_EQ(QuickListLine("/", "/music", "a\\b.mp3", kPosix), "/music/a\\b.mp3");
}

TEST(QuickListLines, BuildsOneLinePerNameInListOrderReplacingTheOldList) {
    QuickListFolder shown{"/", "/music", {"b.mp3", "A.mp3", "c.mp3"}};
    LineList list{"stale line"};
    BuildQuickList(shown, list, kPosix);
    EXPECT_EQ(list, (LineList{"/music/b.mp3", "/music/A.mp3", "/music/c.mp3"}));

    QuickListFolder root{"d", "D:\\", {"x.mp3"}};
    BuildQuickList(root, list, kWin);
    EXPECT_EQ(list, (LineList{"D:\\x.mp3"}));

    BuildQuickList(QuickListFolder{"/", "/music", {}}, list, kPosix);
    EXPECT_TRUE(list.empty());
}

TEST(QuickListFiles, ListsOrdinaryVisibleMP3FilesSortedWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"b.mp3", "A.MP3", "c.Mp3", "a.mp3", "notes.txt", "song.mp3.bak", "mp3",
                             "x.mp2", ".hidden.mp3", ".mp3"})
        dir.Write(name, "data");
    fs::create_directory(dir / "folder.mp3");
    dir.Write("folder.mp3/inner.mp3", "data");
    fs::create_symlink("b.mp3", dir / "linked.mp3");   // a link to a file is a file
    fs::create_symlink("gone", dir / "dangling.mp3");  // a link to nothing is not
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0600), 0);

    EXPECT_EQ(MP3FileNames(dir.Path(), {}),
              (LineList{"A.MP3", "a.mp3", "b.mp3", "c.Mp3", "linked.mp3"}));
    EXPECT_EQ(MP3FileNames(dir / "folder.mp3", {}), (LineList{"inner.mp3"}));
    EXPECT_TRUE(MP3FileNames(dir / "no such folder", {}).empty());

    EXPECT_TRUE(MatchesMP3Mask("x.mP3"));
    EXPECT_FALSE(MatchesMP3Mask("x.mp3 "));
    EXPECT_FALSE(MatchesMP3Mask("mp3"));
}

struct QuickListStation {
    TempDir dir;
    BuildSession session;
    ScriptedPrompts prompts;
    SaveQuestion dialog;

    QuickListStation() {
        fs::create_directories(dir / "Playlists");
        fs::create_directories(dir / "Music");
        dialog = PlaylistSaveDialog(dir / "Playlists");
    }
    QuickListFolder Shown(const std::string& folder) {
        return QuickListFolder{"/", folder, MP3FileNames(folder, {})};
    }
};

TEST(QuickListSave, WritesTheFolderAsAPlaylistAndRemembersTheName) {
    QuickListStation s;
    for (const char* name : {"Zebra.mp3", "apple.MP3", "Mango.mp3", "skip.txt"})
        s.dir.Write("Music/" + std::string(name), "x");
    const std::string out = s.dir / "Playlists/fruit.m3u";
    s.prompts.saveAnswer = out;

    EXPECT_TRUE(SaveAsList(s.Shown(s.dir / "Music"), s.session, s.prompts, s.dialog));

    ASSERT_EQ(s.prompts.questions.size(), 1u);
    const SaveQuestion& asked = s.prompts.questions[0];
    EXPECT_EQ(asked.filter, "Winamp Playlist|*.m3u");
    EXPECT_EQ(asked.defaultExtension, "m3u");
    EXPECT_EQ(asked.initialFolder, s.dir / "Playlists");
    EXPECT_EQ(asked.proposedName, "");
    const std::string music = s.dir / "Music";
    EXPECT_EQ(s.session.lbListMakerMP3s,
              (LineList{music + "/apple.MP3", music + "/Mango.mp3", music + "/Zebra.mp3"}));
    EXPECT_EQ(s.dir.Read("Playlists/fruit.m3u"),
              music + "/apple.MP3\r\n" + music + "/Mango.mp3\r\n" + music + "/Zebra.mp3\r\n");
    EXPECT_TRUE(s.prompts.messages.empty());

    // The next save opens with the name chosen last.
    s.prompts.saveAnswer = std::nullopt;
    EXPECT_FALSE(SaveAsList(s.Shown(s.dir / "Music"), s.session, s.prompts, s.dialog));
    ASSERT_EQ(s.prompts.questions.size(), 2u);
    EXPECT_EQ(s.prompts.questions[1].proposedName, out);
}

TEST(QuickListSave, EmptyFolderStillAsksAndWritesAnEmptyFile) {
    QuickListStation s;
    s.dir.Write("Music/readme.txt", "no songs here");
    s.session.lbListMakerMP3s = {"left from before"};
    s.prompts.saveAnswer = s.dir / "Playlists/empty.m3u";

    EXPECT_TRUE(SaveAsList(s.Shown(s.dir / "Music"), s.session, s.prompts, s.dialog));
    EXPECT_EQ(s.prompts.questions.size(), 1u);
    EXPECT_TRUE(s.session.lbListMakerMP3s.empty());
    EXPECT_TRUE(fs::exists(s.dir / "Playlists/empty.m3u"));
    EXPECT_EQ(fs::file_size(s.dir / "Playlists/empty.m3u"), 0u);
}

TEST(QuickListSave, CancelWritesNothingAndOverwritingReplacesOldLines) {
    QuickListStation s;
    s.dir.Write("Music/one.mp3", "x");
    const std::string out = s.dir / "Playlists/list.m3u";

    // Cancelled: no file, no message.
    EXPECT_FALSE(SaveAsList(s.Shown(s.dir / "Music"), s.session, s.prompts, s.dialog));
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(s.prompts.messages.empty());
    EXPECT_EQ(s.dialog.proposedName, "");
    EXPECT_EQ(s.dir.Names(), (std::vector<std::string>{"Music", "Playlists"}));
    EXPECT_TRUE(fs::is_empty(s.dir / "Playlists"));

    // Over an existing playlist: its old lines are gone.
    s.dir.Write("Playlists/list.m3u", "C:\\old\\first.mp3\r\nC:\\old\\second.mp3\r\nthird");
    s.prompts.saveAnswer = out;
    EXPECT_TRUE(SaveAsList(s.Shown(s.dir / "Music"), s.session, s.prompts, s.dialog));
    EXPECT_EQ(s.dir.Read("Playlists/list.m3u"), s.dir / "Music/one.mp3" + std::string("\r\n"));
}

TEST(QuickListSave, AFileThatCannotBeWrittenStopsTheCommand) {
    QuickListStation s;
    s.dir.Write("Music/one.mp3", "x");
    const std::string out = s.dir / "No Such Folder/list.m3u";
    s.prompts.saveAnswer = out;
    try {
        SaveAsList(s.Shown(s.dir / "Music"), s.session, s.prompts, s.dialog);
        FAIL() << "the write did not fail";
    } catch (const KestruneError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + out);
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(s.session.lbListMakerMP3s, (LineList{s.dir / "Music/one.mp3"}));
}

TEST(QuickListSave, FolderOfAMountRootWritesOneSeparator) {
    // The temporary folder stands in for a mounted volume: chosen as a drive, it is a root.
    QuickListStation s;
    s.dir.Write("Music/track.mp3", "x");
    const std::string volume = s.dir / "Music";
    s.prompts.saveAnswer = s.dir / "Playlists/volume.m3u";
    const QuickListFolder atRoot{volume + "/", volume + "/", MP3FileNames(volume, {})};
    EXPECT_TRUE(SaveAsList(atRoot, s.session, s.prompts, s.dialog));
    EXPECT_EQ(s.dir.Read("Playlists/volume.m3u"), volume + "/track.mp3\r\n");
}

}  // namespace
}  // namespace kestrune
