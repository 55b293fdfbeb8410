#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/Files.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kestrune {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

#ifndef _WIN32
ino_t InodeOf(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}
#endif

TEST(TemporaryReuse, EveryWriteLandsWholeAndOnlyTheFilesStay) {
    TempDir dir;
    const std::string list = dir / "list.m3u";
    const std::string kept = dir / ".list.m3u.kestrune-tmp";
    dir.Write("list.m3u", "first\r\n");
    fs::permissions(list, fs::perms(0640));
    {
        TemporaryReuse reuse;
        ReplaceWholeFile(list, "first\r\nsecond\r\n");
        EXPECT_EQ(dir.Read("list.m3u"), "first\r\nsecond\r\n");
#ifdef __linux__
        // The old body waits under the temporary name for the next write.
        EXPECT_EQ(dir.Read(".list.m3u.kestrune-tmp"), "first\r\n");
        const ino_t oldBody = InodeOf(kept);
        ReplaceWholeFile(list, "first\r\nsecond\r\nthird\r\n");
        EXPECT_EQ(InodeOf(list), oldBody);  // written over, no new file made
#else
        ReplaceWholeFile(list, "first\r\nsecond\r\nthird\r\n");
#endif
        EXPECT_EQ(dir.Read("list.m3u"), "first\r\nsecond\r\nthird\r\n");
        // A shorter text leaves nothing of the longer body it was written over.
        ReplaceWholeFile(list, "x");
        EXPECT_EQ(dir.Read("list.m3u"), "x");
        ReplaceWholeFile(list, "");
        EXPECT_EQ(dir.Read("list.m3u"), "");
        EXPECT_EQ(fs::status(list).permissions(), fs::perms(0640));

        // A file made in the scope, and a link followed to its file.
        ReplaceWholeFile(dir / "new.m3u", "a");
        fs::create_symlink("new.m3u", dir / "link.m3u");
        for (const char* text : {"b", "c", "d"}) ReplaceWholeFile(dir / "link.m3u", text);
        EXPECT_TRUE(fs::is_symlink(dir / "link.m3u"));
        EXPECT_EQ(dir.Read("new.m3u"), "d");
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"link.m3u", "list.m3u", "new.m3u"}));
}

TEST(TemporaryReuse, SecondNamesAndOtherWritersAreLeftTheirOwn) {
    TempDir dir;
    const std::string list = dir / "list.m3u";
    // A file with a second name: the other name keeps the old text however often the file
    // is replaced, so a kept body with two names is never written over.
    dir.Write("list.m3u", "original");
    fs::create_hard_link(list, dir / "copy.m3u");
    {
        TemporaryReuse reuse;
        for (int i = 0; i < 4; ++i) {
            ReplaceWholeFile(list, "take " + std::to_string(i));
            EXPECT_EQ(dir.Read("copy.m3u"), "original");
        }
        EXPECT_EQ(dir.Read("list.m3u"), "take 3");

        // Another thread writes the same file between two writes of ours, without a scope:
        // its write takes the kept body's name, and ours goes on with a new temporary.
        std::thread other([&] { ReplaceWholeFile(list, "other"); });
        other.join();
        EXPECT_EQ(dir.Read("list.m3u"), "other");
        ReplaceWholeFile(list, "ours again");
        ReplaceWholeFile(list, "ours at last");
        EXPECT_EQ(dir.Read("list.m3u"), "ours at last");

        // Scopes nest: the inner one clears only what it kept.
        {
            TemporaryReuse inner;
            ReplaceWholeFile(dir / "inner.m3u", "1");
            ReplaceWholeFile(dir / "inner.m3u", "2");
        }
        EXPECT_FALSE(fs::exists(dir / ".inner.m3u.kestrune-tmp"));
        EXPECT_EQ(dir.Read("inner.m3u"), "2");
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"copy.m3u", "inner.m3u", "list.m3u"}));
}

}  // namespace
}  // namespace kestrune
