#include <gtest/gtest.h>

#include "building/PlaylistFile.h"
#include "output/SongPaths.h"
#include "platform/KestruneError.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::TempDir;

struct Parsed {
    PlaylistLayout layout;
    LineList entries;
};

Parsed Parse(std::string_view bytes) {
    Parsed p;
    ParsePlaylist(bytes, p.layout, p.entries);
    return p;
}

// What a media player exports: byte-order mark, #EXTM3U, #EXTINF lines, LF, relative paths.
const std::string kExported =
    "\xEF\xBB\xBF#EXTM3U\n#EXTINF:215,Alpha - One\nmusic/one.mp3\n"
    "#EXTINF:187,Beta - Two\n../two.mp3\n";

TEST(PlaylistFile, TakesAnExportedPlaylistApartAndPutsItBackByteForByte) {
    const Parsed p = Parse(kExported);
    EXPECT_TRUE(p.layout.byteOrderMark);
    EXPECT_EQ(p.layout.lineEnd, LineEnd::Lf);
    EXPECT_EQ(p.layout.header, LineList{"#EXTM3U"});
    EXPECT_TRUE(p.layout.trailer.empty());
    EXPECT_EQ(p.entries, (LineList{"#EXTINF:215,Alpha - One\nmusic/one.mp3",
                                   "#EXTINF:187,Beta - Two\n../two.mp3"}));
    EXPECT_EQ(SongLineOf(p.entries[1]), "../two.mp3");
    EXPECT_EQ(CommentsOf(p.entries[1]), "#EXTINF:187,Beta - Two");
    EXPECT_EQ(CommentsOf("/a.mp3"), "");
    EXPECT_EQ(FormatPlaylist(p.layout, p.entries), kExported);
}

TEST(PlaylistFile, KeepsEachKindOfLineEndAndTheCommentsWhereTheyBelong) {
    struct Case {
        std::string bytes;
        LineEnd end;
        LineList header, entries, trailer;
        std::string written;  // what saving gives back
    };
    const std::vector<Case> cases = {
        {"/a.mp3\r\n/b.mp3\r\n", LineEnd::CrLf, {}, {"/a.mp3", "/b.mp3"}, {}, ""},
        {"/a.mp3\r/b.mp3", LineEnd::Cr, {}, {"/a.mp3", "/b.mp3"}, {}, "/a.mp3\r/b.mp3\r"},
        {"/a.mp3", LineEnd::CrLf, {}, {"/a.mp3"}, {}, "/a.mp3\r\n"},
        {"", LineEnd::CrLf, {}, {}, {}, ""},
        {"#EXTM3U\n# made by hand\n#EXTINF:1,x\n/a.mp3\n# the end\n", LineEnd::Lf,
         {"#EXTM3U", "# made by hand"}, {"#EXTINF:1,x\n/a.mp3"}, {"# the end"}, ""},
        {"#EXTM3U\n\n#EXTGRP:Pop\n/a.mp3\n", LineEnd::Lf, {"#EXTM3U"}, {"", "#EXTGRP:Pop\n/a.mp3"},
         {}, ""},
        {"#only\r\n#comments\r\n", LineEnd::CrLf, {"#only", "#comments"}, {}, {}, ""},
        {"/a.mp3\0/hidden\n", LineEnd::CrLf, {}, {"/a.mp3"}, {}, "/a.mp3\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const Parsed p = Parse(c.bytes);
        EXPECT_FALSE(p.layout.byteOrderMark);
        EXPECT_EQ(p.layout.lineEnd, c.end);
        EXPECT_EQ(p.layout.header, c.header);
        EXPECT_EQ(p.entries, c.entries);
        EXPECT_EQ(p.layout.trailer, c.trailer);
        EXPECT_EQ(FormatPlaylist(p.layout, p.entries), c.written.empty() ? c.bytes : c.written);
    }
}

TEST(PlaylistFile, ReusesEntriesAndDropsWhatTheLastFileHeld) {
    Parsed p = Parse("#EXTM3U\n#EXTINF:1,a\n/a.mp3\n# tail\n");
    ParsePlaylist("/b.mp3\r\n", p.layout, p.entries);
    EXPECT_EQ(p.entries, LineList{"/b.mp3"});
    EXPECT_TRUE(p.layout.header.empty());
    EXPECT_TRUE(p.layout.trailer.empty());
    EXPECT_EQ(p.layout.lineEnd, LineEnd::CrLf);
}

TEST(PlaylistFile, RefusesUtf16WithAMessageThatNamesTheFileAndChangesNothing) {
    TempDir dir;
    const char bytes[] = "\xFF\xFE/\0a\0.\0m\0p\0\x33\0\r\0\n\0";
    const std::string utf16(bytes, sizeof bytes - 1);
    dir.Write("wide.m3u", utf16);
    PlaylistLayout layout;
    LineList entries;
    try {
        LoadPlaylist(dir / "wide.m3u", layout, entries);
        ADD_FAILURE() << "a UTF-16 playlist is refused";
    } catch (const KestruneError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot read " + (dir / "wide.m3u") +
                      ": the playlist is in UTF-16. Save it as UTF-8 and try again.");
    }
    EXPECT_EQ(dir.Read("wide.m3u"), utf16);
    EXPECT_TRUE(LooksLikeUtf16(std::string("a\0b\0", 4)));
    EXPECT_TRUE(LooksLikeUtf16(std::string("\0a\0b", 4)));
    EXPECT_FALSE(LooksLikeUtf16("ab"));
    EXPECT_FALSE(LooksLikeUtf16("\xEF\xBB\xBF/a.mp3"));
}

TEST(SongPaths, ResolvesWhatPlayersWrite) {
    const auto posix = PathStyle::Posix;
    const auto win = PathStyle::Windows;
    struct Case {
        std::string line, playlist;
        PathStyle style;
        std::string path;
    };
    const std::vector<Case> cases = {
        {"/music/x.mp3", "/lists/a.m3u", posix, "/music/x.mp3"},
        {"music/y.mp3", "/lists/a.m3u", posix, "/lists/music/y.mp3"},
        {"../music/./y.mp3", "/srv/lists/a.m3u", posix, "/srv/music/y.mp3"},
        {"../../../../x.mp3", "/srv/lists/a.m3u", posix, "/x.mp3"},
        {"y.mp3", "lists/a.m3u", posix, "lists/y.mp3"},
        {"file:///music/a%20b%C3%A9.mp3", "/lists/a.m3u", posix, "/music/a b\xC3\xA9.mp3"},
        {"FILE://localhost/music/100%.mp3", "/lists/a.m3u", posix, "/music/100%.mp3"},
        {"", "/lists/a.m3u", posix, "/lists/"},
        {"\\Music\\x.mp3", "D:\\Lists\\a.m3u", win, "D:\\Music\\x.mp3"},
        {"Music\\y.mp3", "D:\\Lists\\a.m3u", win, "D:\\Lists\\Music\\y.mp3"},
        {"E:\\z.mp3", "D:\\Lists\\a.m3u", win, "E:\\z.mp3"},
        {"\\\\server\\share\\a.mp3", "D:\\Lists\\a.m3u", win, "\\\\server\\share\\a.mp3"},
        {"file:///C:/Music/a%20b.mp3", "D:\\Lists\\a.m3u", win, "C:\\Music\\a b.mp3"},
        {"file://server/share/a.mp3", "D:\\Lists\\a.m3u", win, "\\\\server\\share\\a.mp3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SongFilePath(c.line, c.playlist, c.style), c.path) << c.line;
}

TEST(SongPaths, TriesAPathWithoutItsTrailingBlanksOnlyWhenItNamesNoFile) {
    TempDir dir;
    dir.Write("a.mp3", "x");
    dir.Write("b.mp3 ", "x");
    const std::string list = dir / "list.m3u";
    EXPECT_EQ(ExistingSongFile("a.mp3 \t", list), dir / "a.mp3");
    EXPECT_EQ(ExistingSongFile("b.mp3 ", list), dir / "b.mp3 ");
    EXPECT_EQ(ExistingSongFile(dir / "a.mp3", list), dir / "a.mp3");
    EXPECT_EQ(ExistingSongFile("c.mp3 ", list), std::nullopt);
    EXPECT_EQ(ExistingSongFile("   ", list), std::nullopt);
    EXPECT_EQ(ExistingSongFile("", list), std::nullopt) << "the folder is no song";
    EXPECT_EQ(SongFileOf("a.mp3 \t", list), dir / "a.mp3");
    EXPECT_EQ(SongFileOf("c.mp3 ", list), dir / "c.mp3 ");
    EXPECT_EQ(SongFileOf("c.mp3", list), dir / "c.mp3");
}

}  // namespace
}  // namespace kestrune
