#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "platform/ShownText.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const KestruneError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(PlatformPaths, FileNamePartInBothStyles) {
    EXPECT_EQ(ExtractFileName("C:\\Music\\abc.mp3", PathStyle::Windows), "abc.mp3");
    EXPECT_EQ(ExtractFileName("C:abc.mp3", PathStyle::Windows), "abc.mp3");
    EXPECT_EQ(ExtractFileName("abc.mp3", PathStyle::Windows), "abc.mp3");
    EXPECT_EQ(ExtractFileName("C:\\Music\\", PathStyle::Windows), "");
    EXPECT_EQ(ExtractFilePath("C:\\Music\\abc.mp3", PathStyle::Windows), "C:\\Music\\");
    EXPECT_EQ(ExtractFileName("/music/a:b.mp3", PathStyle::Posix), "a:b.mp3");
    EXPECT_EQ(ExtractFileName("/music/back\\slash.mp3", PathStyle::Posix), "back\\slash.mp3");
    EXPECT_EQ(ExtractFilePath("/music/a.mp3", PathStyle::Posix), "/music/");
}

TEST(PlatformPaths, ExpandsRelativeNamesAgainstTheCurrentFolder) {
    const auto win = PathStyle::Windows;
    EXPECT_EQ(ExpandFileName("abc.mp3", "C:\\Music", win), "C:\\Music\\abc.mp3");
    EXPECT_EQ(ExpandFileName("abc.mp3", "C:\\", win), "C:\\abc.mp3");
    EXPECT_EQ(ExpandFileName("\\Other\\abc.mp3", "C:\\Music", win), "C:\\Other\\abc.mp3");
    EXPECT_EQ(ExpandFileName("..\\x\\.\\abc.mp3", "C:\\Music\\Old", win), "C:\\Music\\x\\abc.mp3");
    EXPECT_EQ(ExpandFileName("D:\\a\\..\\b.mp3", "C:\\Music", win), "D:\\b.mp3");
    EXPECT_EQ(ExpandFileName("\\\\server\\share\\a.mp3", "C:\\", win), "\\\\server\\share\\a.mp3");

    const auto posix = PathStyle::Posix;
    EXPECT_EQ(ExpandFileName("abc.mp3", "/home/radio", posix), "/home/radio/abc.mp3");
    EXPECT_EQ(ExpandFileName("../x/./abc.mp3", "/home/radio", posix), "/home/x/abc.mp3");
    EXPECT_EQ(ExpandFileName("/a//b/../c.mp3", "/home", posix), "/a/c.mp3");
    EXPECT_EQ(ExpandFileName("../../../..", "/home", posix), "/");
    EXPECT_EQ(ExpandFileName("x.mp3", "/", posix), "/x.mp3");

    // Against the process's own current folder: full paths come out folded, relative ones
    // under that folder.
    EXPECT_EQ(ExpandFileName("/a//b/./../c.mp3"), "/a/c.mp3");
    EXPECT_EQ(ExpandFileName("c.mp3"), ExpandFileName("c.mp3", CurrentDirectory(), posix));
}

TEST(PlatformPaths, JoinsAndComparesWithoutCase) {
    EXPECT_EQ(JoinPath("E:\\Radio", "Playlists", PathStyle::Windows), "E:\\Radio\\Playlists");
    EXPECT_EQ(JoinPath("/srv/radio", "Playlists", PathStyle::Posix), "/srv/radio/Playlists");
    EXPECT_EQ(IncludeTrailingSeparator("/srv", PathStyle::Posix), "/srv/");
    EXPECT_EQ(IncludeTrailingSeparator("/srv/", PathStyle::Posix), "/srv/");
    EXPECT_EQ(CompareTextNoCase("abc", "ABC"), 0);
    EXPECT_LT(CompareTextNoCase("A.m3u", "b.m3u"), 0);
    EXPECT_GT(CompareTextNoCase("c.m3u", "B.m3u"), 0);
    EXPECT_LT(CompareTextNoCase("ab", "abc"), 0);
    EXPECT_EQ(LowerCase("C:\\MuSiC\\\xC4.MP3"), "c:\\music\\\xC4.mp3");
}

TEST(PlatformNumbers, ParsesTypedIntegersOrNamesTheText) {
    EXPECT_EQ(StrToInt("60"), 60);
    EXPECT_EQ(StrToInt("  7"), 7);
    EXPECT_EQ(StrToInt("-5"), -5);
    EXPECT_EQ(StrToInt("+3"), 3);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt("\t +0002147483647"), 2147483647);
    for (const std::string bad : {"abc", "", "12a", "1.5", "2147483648", "-2147483649",
                                  "99999999999999999999", "-", "+", " ", "- 5", "+-5", "60 ",
                                  "0x10"}) {
        EXPECT_EQ(ErrorText([&] { StrToInt(bad); }), "'" + bad + "' is not a valid integer value");
    }
}

TEST(PlatformNumbers, CheckedArithmeticStopsAtThirtyTwoBits) {
    EXPECT_EQ(CheckedMul(99999, 60), 5999940);
    EXPECT_EQ(CheckedSub(CheckedMul(1440, 60), 30), 86370);
    EXPECT_EQ(ErrorText([] { CheckedMul(99999999, 60); }), "Integer overflow");
    EXPECT_EQ(ErrorText([] { CheckedAdd(2147483647, 1); }), "Integer overflow");
    EXPECT_EQ(ErrorText([] { CheckedSub(-2147483647 - 1, 1); }), "Integer overflow");
    EXPECT_EQ(ErrorText([] { throw errors::ListIndexOutOfBounds(3); }),
              "List index out of bounds (3)");
    EXPECT_EQ(ErrorText([] { throw errors::UnableToWrite("/x.ini"); }),
              "Unable to write to /x.ini");
}

TEST(PlatformFiles, DosDateStampAndAttributes) {
    EXPECT_EQ(PackDosDateTime({1980, 1, 1, 0, 0, 0, 0}), (1 << 5 | 1) << 16);
    EXPECT_EQ(PackDosDateTime({2026, 12, 6, 18, 5, 31, 0}),
              static_cast<int32_t>((((46u << 9) | (12u << 5) | 6u) << 16) | (18u << 11) |
                                   (5u << 5) | 15u));
    EXPECT_EQ(PackDosDateTime({1979, 12, 31, 23, 59, 59, 0}), -1);

    TempDir dir;
    dir.Write("song.mp3", "12345");
    dir.Write(".hidden.mp3", "x");
    fs::create_directory(dir / "folder");
    const auto song = GetFileStatus(dir / "song.mp3");
    ASSERT_TRUE(song.has_value());
    EXPECT_EQ(song->size, 5);
    EXPECT_GT(song->dosDateTime, 0);
    EXPECT_EQ(song->attributes, kAttrArchive);
    EXPECT_EQ(GetFileStatus(dir / ".hidden.mp3")->attributes, kAttrArchive | kAttrHidden);
    EXPECT_TRUE(GetFileStatus(dir / "folder")->isDirectory);
    EXPECT_EQ(GetFileStatus(dir / "folder")->attributes & kAttrDirectory, kAttrDirectory);
    EXPECT_FALSE(GetFileStatus(dir / "none").has_value());

    EXPECT_TRUE(FileExists(dir / "song.mp3"));
    EXPECT_FALSE(FileExists(dir / "folder"));
    EXPECT_FALSE(FileExists(dir / "none"));
    EXPECT_TRUE(DirectoryExists(dir / "folder"));

    auto entries = ListDirectory(dir.Path());
    ASSERT_EQ(entries.size(), 3u);
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.name < b.name; });
    EXPECT_EQ(entries[0].name, ".hidden.mp3");
    EXPECT_TRUE(entries[0].isHidden);
    EXPECT_TRUE(entries[1].isDirectory);
    EXPECT_TRUE(entries[2].isRegularFile);
    EXPECT_FALSE(entries[2].isHidden);
    EXPECT_TRUE(ListDirectory(dir / "none").empty());
}

TEST(PlatformFiles, WholeFileReadAndReplace) {
    TempDir dir;
    EXPECT_EQ(ErrorText([&] { ReadWholeFile(dir / "none.m3u"); }),
              "Cannot open file " + (dir / "none.m3u"));
    EXPECT_EQ(ErrorText([&] { ReadWholeFile(dir.Path()); }), "Cannot open file " + dir.Path());

    ReplaceWholeFile(dir / "new.m3u", std::string("a\0b", 3));
    EXPECT_EQ(dir.Read("new.m3u"), std::string("a\0b", 3));
    ReplaceWholeFile(dir / "new.m3u", "");
    EXPECT_EQ(dir.Read("new.m3u"), "");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"new.m3u"});  // no temporary left

    // Files larger than one read, and a file that is read after it grew, come whole.
    std::string big;
    for (int i = 0; i < 30000; ++i) big += "/music/song " + std::to_string(i) + ".mp3\r\n";
    ReplaceWholeFile(dir / "big.m3u", big);
    EXPECT_EQ(ReadWholeFile(dir / "big.m3u"), big);
    ReplaceWholeFile(dir / "big.m3u", big + big);
    EXPECT_EQ(ReadWholeFile(dir / "big.m3u"), big + big);
    ReplaceWholeFile(dir / "big.m3u", "short");
    EXPECT_EQ(ReadWholeFile(dir / "big.m3u"), "short");

    // A link to nothing yet: the file it names is made, and the link stays.
    fs::create_symlink("later.m3u", dir / "ahead.m3u");
    ReplaceWholeFile(dir / "ahead.m3u", "made");
    EXPECT_TRUE(fs::is_symlink(dir / "ahead.m3u"));
    EXPECT_EQ(dir.Read("later.m3u"), "made");

    // The file's permissions survive the replacement.
    dir.Write("mode.m3u", "old");
    fs::permissions(dir / "mode.m3u", fs::perms(0640));
    ReplaceWholeFile(dir / "mode.m3u", "new");
    EXPECT_EQ(fs::status(dir / "mode.m3u").permissions(), fs::perms(0640));

    // A link is followed: the link stays and its target gets the new text.
    dir.Write("target.m3u", "old");
    fs::create_symlink("target.m3u", dir / "link.m3u");
    ReplaceWholeFile(dir / "link.m3u", "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link.m3u"));
    EXPECT_EQ(dir.Read("target.m3u"), "new");

    // Failures name the path and leave nothing behind.
    const std::string inMissingFolder = dir / "gone/x.m3u";
    EXPECT_EQ(ErrorText([&] { ReplaceWholeFile(inMissingFolder, "x"); }),
              "Cannot create file " + inMissingFolder);
    fs::create_directory(dir / "folder.m3u");
    EXPECT_EQ(ErrorText([&] { ReplaceWholeFile(dir / "folder.m3u", "x"); }),
              "Cannot create file " + (dir / "folder.m3u"));
}

TEST(PlatformFiles, ReadOnlyFilesAndFoldersKeepTheirText) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    dir.Write("locked.m3u", "keep\r\n");
    fs::permissions(dir / "locked.m3u", fs::perms(0444));
    EXPECT_EQ(ErrorText([&] { ReplaceWholeFile(dir / "locked.m3u", "lost"); }),
              "Cannot create file " + (dir / "locked.m3u"));
    EXPECT_EQ(dir.Read("locked.m3u"), "keep\r\n");

    // A folder that takes no new file: the file itself is still writable, so it is written in
    // place.
    fs::create_directory(dir / "ro");
    dir.Write("ro/list.m3u", "old");
    fs::permissions(dir / "ro", fs::perms(0555));
    ReplaceWholeFile(dir / "ro/list.m3u", "new");
    EXPECT_EQ(dir.Read("ro/list.m3u"), "new");
    EXPECT_EQ(ErrorText([&] { ReplaceWholeFile(dir / "ro/other.m3u", "x"); }),
              "Cannot create file " + (dir / "ro/other.m3u"));
}

}  // namespace
}  // namespace kestrune

namespace kestrune {
namespace {

TEST(ShownText, ControlBytesEscapedAndLongTextsCut) {
    EXPECT_EQ(ShownText("plain"), "plain");
    EXPECT_EQ(ShownText(std::string("a\0b\x1b[2J\r\n", 9)), "a\\x00b\\x1B[2J\\x0D\\x0A");
    EXPECT_EQ(ShownText(std::string(100'000'000, 'x'), 8), "xxxxxxxx...");
    EXPECT_EQ(ShownText("12345678", 8), "12345678");
}

}  // namespace
}  // namespace kestrune
