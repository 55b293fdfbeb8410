// Writes that fail half-way: a file-size limit, a read-only folder, a read-only file, a folder
// that vanished, a writer killed in the middle, two writers of the same file at once. Each
// gives the error text with the path and leaves the old file whole.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// Runs `body` in a child process and answers its wait status. The child's exit status is
// `body`'s answer; a signal that ends it shows in the status.
int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
            code = 98;
        }
        std::_Exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

void LimitFileSize(rlim_t bytes, bool ignoreSignal) {
    if (ignoreSignal) ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// 0 when `write` fails with exactly "Cannot create file <path>"; 1 when it succeeds; 2 for
// another error.
int ExpectCannotCreate(const std::string& path, const std::function<void()>& write) {
    try {
        write();
        return 1;
    } catch (const KestruneError& error) {
        return std::string(error.what()) == "Cannot create file " + path ? 0 : 2;
    }
}

std::vector<std::string> Temporaries(const TempDir& dir) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename().string();
        if (name.find(".kestrune-") != std::string::npos) found.push_back(name);
    }
    return found;
}

std::string Bytes(size_t size, char fill) {
    std::string bytes(size, fill);
    for (size_t i = 78; i < size; i += 80) bytes[i - 1] = '\r', bytes[i] = '\n';
    return bytes;
}

TEST(WriteFailures, FileSizeLimitGivesTheErrorAndKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir / "hits.m3u";
    const std::string old = Bytes(3000, 'o');
    dir.Write("hits.m3u", old);
    const int status = InChild([&] {
        LimitFileSize(4096, true);
        return ExpectCannotCreate(path, [&] { ReplaceWholeFile(path, Bytes(20000, 'n')); });
    });
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(dir.Read("hits.m3u"), old);
    EXPECT_TRUE(Temporaries(dir).empty());

    // A list saved through the same path: the same.
    const int listStatus = InChild([&] {
        LimitFileSize(4096, true);
        return ExpectCannotCreate(path, [&] { SaveList(path, LineList(500, "/radio/song.mp3")); });
    });
    EXPECT_EQ(WEXITSTATUS(listStatus), 0);
    EXPECT_EQ(dir.Read("hits.m3u"), old);
}

TEST(WriteFailures, WriterKilledHalfWayLeavesTheOldFileAndTheNextWriteCleansUp) {
    TempDir dir;
    const std::string path = dir / "oldies.m3u";
    const std::string old = Bytes(2000, 'o');
    dir.Write("oldies.m3u", old);
    // Past the limit the system ends the writer with SIGXFSZ in the middle of its write: a
    // death at a known place.
    const int status = InChild([&] {
        LimitFileSize(1024, false);
        ReplaceWholeFile(path, Bytes(50000, 'n'));
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(dir.Read("oldies.m3u"), old);
    EXPECT_EQ(Temporaries(dir), std::vector<std::string>{".oldies.m3u.kestrune-tmp"});
    EXPECT_EQ(fs::file_size(dir / ".oldies.m3u.kestrune-tmp"), 1024u);

    // The next write of the same file takes the leftover over.
    ReplaceWholeFile(path, "new\r\n");
    EXPECT_EQ(dir.Read("oldies.m3u"), "new\r\n");
    EXPECT_TRUE(Temporaries(dir).empty());

    // A folder in its place cannot be taken over: the file is written where it stands.
    fs::create_directory(dir / ".oldies.m3u.kestrune-tmp");
    ReplaceWholeFile(path, "newer\r\n");
    EXPECT_EQ(dir.Read("oldies.m3u"), "newer\r\n");
    fs::remove(dir / ".oldies.m3u.kestrune-tmp");

    // A link in its place is removed, not written through.
    dir.Write("elsewhere.txt", "keep");
    fs::create_symlink(dir / "elsewhere.txt", dir / ".oldies.m3u.kestrune-tmp");
    ReplaceWholeFile(path, "newest\r\n");
    EXPECT_EQ(dir.Read("oldies.m3u"), "newest\r\n");
    EXPECT_EQ(dir.Read("elsewhere.txt"), "keep");
    EXPECT_FALSE(fs::is_symlink(dir / ".oldies.m3u.kestrune-tmp"));
}

TEST(WriteFailures, WritersOfTheSameFileAtOnceNeverRobEachOther) {
    TempDir dir;
    const std::string path = dir / "shared.m3u";
    dir.Write("shared.m3u", Bytes(5000, 'a'));
    std::vector<std::string> versions;
    for (char c : {'b', 'c', 'd'}) versions.push_back(Bytes(30000, c));
    std::vector<pid_t> children;
    for (const std::string& mine : versions) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < 150; ++i) {
                try {
                    ReplaceWholeFile(path, mine);
                    const std::string seen = ReadWholeFile(path);
                    if (seen != versions[0] && seen != versions[1] && seen != versions[2])
                        ++failures;  // a mixture or a cut file
                } catch (const KestruneError&) {
                    ++failures;
                }
            }
            std::_Exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const std::string last = dir.Read("shared.m3u");
    EXPECT_TRUE(std::find(versions.begin(), versions.end(), last) != versions.end());
    EXPECT_TRUE(Temporaries(dir).empty());
}

TEST(WriteFailures, VanishedFolderGivesTheErrorWithThePath) {
    TempDir dir;
    fs::create_directory(dir / "lists");
    dir.Write("lists/a.m3u", "a\r\n");
    LineList lines;
    LoadList(dir / "lists/a.m3u", lines);
    fs::remove_all(dir / "lists");
    EXPECT_EQ(
        ExpectCannotCreate(dir / "lists/a.m3u", [&] { SaveList(dir / "lists/a.m3u", lines); }), 0);
    EXPECT_FALSE(fs::exists(dir / "lists"));
}

TEST(WriteFailures, NameTooLongForATemporaryIsWrittenInPlace) {
    TempDir dir;
    const std::string name =
        std::string(250, 'n') + ".m3u";  // 254: the file fits, ".name.kestrune-tmp" not
    dir.Write(name, "old\r\n");
    ReplaceWholeFile(dir / name, "new\r\n");
    EXPECT_EQ(dir.Read(name), "new\r\n");
    ReplaceWholeFile(dir / name, "");
    EXPECT_EQ(dir.Read(name), "");
    EXPECT_TRUE(Temporaries(dir).empty());
}

TEST(WriteFailures, ReadOnlyFolderInPlaceWriteThatFailsPutsTheOldBytesBack) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    fs::create_directory(dir / "ro");
    const std::string path = dir / "ro/list.m3u";
    const std::string old = Bytes(3000, 'o');
    dir.Write("ro/list.m3u", old);
    fs::permissions(dir / "ro", fs::perms(0555));

    const int status = InChild([&] {
        LimitFileSize(4096, true);
        return ExpectCannotCreate(path, [&] { ReplaceWholeFile(path, Bytes(20000, 'n')); });
    });
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(dir.Read("ro/list.m3u"), old);

    // Shorter and longer texts that fit are written where the file stands.
    ReplaceWholeFile(path, "short\r\n");
    EXPECT_EQ(dir.Read("ro/list.m3u"), "short\r\n");
    ReplaceWholeFile(path, old + old);
    EXPECT_EQ(dir.Read("ro/list.m3u"), old + old);
    EXPECT_TRUE(Temporaries(dir).empty());
}

TEST(WriteFailures, ReadOnlyFolderWithALeftoverStillWritesInPlace) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    fs::create_directory(dir / "ro");
    dir.Write("ro/list.m3u", "old\r\n");
    dir.Write("ro/.list.m3u.kestrune-tmp", "half a li");  // a kill before the folder was closed
    fs::permissions(dir / "ro", fs::perms(0555));
    ReplaceWholeFile(dir / "ro/list.m3u", "new\r\n");
    EXPECT_EQ(dir.Read("ro/list.m3u"), "new\r\n");
}

TEST(WriteFailures, ReadOnlyFileGivesTheErrorAndStaysWhole) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    const std::string old = Bytes(1000, 'o');
    dir.Write("locked.m3u", old);
    fs::permissions(dir / "locked.m3u", fs::perms(0444));
    EXPECT_EQ(ExpectCannotCreate(dir / "locked.m3u",
                                 [&] { SaveList(dir / "locked.m3u", LineList{"x"}); }),
              0);
    EXPECT_EQ(dir.Read("locked.m3u"), old);
    EXPECT_TRUE(Temporaries(dir).empty());
}

}  // namespace
}  // namespace kestrune
