// One job at a time: the station's lock held by one real process, and kestrune-cli as the
// second. The wait is cut short through KESTRUNE_LOCK_WAIT_SECONDS so no test waits a minute.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>

#include "platform/LineList.h"
#include "platform/StationLock.h"
#include "support/CliRunner.h"
#include "support/Station.h"

namespace kestrune {
namespace {

using testing::RunCli;
using testing::TestSong;
using testing::StationFixture;

// Sets an environment variable for the tools this test starts, and back.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const char* value) : name_(name) {
        ::setenv(name, value, 1);
    }
    ~EnvironmentValue() { ::unsetenv(name_); }

private:
    const char* name_;
};

// A station with its sessions folder, a category, a session, a grid and a schedule.
struct LockedStation : StationFixture {
    LockedStation() {
        std::filesystem::create_directories(dir / "Sessions");
        std::filesystem::create_directories(dir / "music");
        std::vector<TestSong> songs;
        for (int i = 0; i < 20; ++i) songs.push_back({240, "Band " + std::to_string(i), "t"});
        const std::string list = Playlist("music.m3u", songs);
        dir.Write("Sessions/other.cwt", FormatLines({list, "#", list, "##", "60", "###",
                                                     dir / "other.m3u", "####", "001", "3"}));
        dir.Write("Sessions/week.kwg", "Mon 07 other.cwt\r\n");
        dir.Write("auto_build.cws", dir / "Sessions/other.cwt" + "\r\n");
        testing::WriteSong(dir / "music/x.mp3", {200, "Tagged", "Song"});
    }
    // Every file of the station and its bytes.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
            if (entry.is_regular_file() && entry.path().filename() != kStationLockFile)
                files[entry.path().string()] = dir.Read(
                    std::filesystem::relative(entry.path(), dir.Path()).string());
        return files;
    }
};

TEST(StationLock, ASecondJobWaitsThenGivesUpChangingNothing) {
    LockedStation f;
    const EnvironmentValue wait("KESTRUNE_LOCK_WAIT_SECONDS", "1");
    const std::map<std::string, std::string> before = f.Files();
    const std::vector<std::vector<std::string>> commands = {
        {"build", f.dir / "Sessions/other.cwt"},
        {"schedule"},
        {"week", f.dir / "Sessions/week.kwg", "--from", "2026-12-07", "--days", "1"},
        {"tags", f.dir / "music", "--artist"},
        {"demo"},
    };
    {
        const StationLock held(f.dir / "Sessions", "build of morning.cwt", kStationLockWait,
                               nullptr);
        for (const auto& command : commands) {
            const auto result = RunCli(command, f.dir.Path());
            EXPECT_EQ(result.exitCode, 2) << command[0] << "\n" << result.err;
            EXPECT_NE(result.err.find("Waiting for the build of morning.cwt to finish...\n"),
                      std::string::npos)
                << command[0] << "\n" << result.err;
            EXPECT_EQ(testing::LastLine(result.err),
                      "The build of morning.cwt did not finish within 1 second; nothing was "
                      "changed.")
                << command[0];
            EXPECT_EQ(f.Files(), before) << command[0];
        }
    }
    // Let go, the same build runs, and leaves the lock free with no name in it.
    const auto result = RunCli(commands[0], f.dir.Path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(f.dir / "other.m3u"));
    EXPECT_EQ(f.dir.Read("Sessions/station.lock"), "");
}

TEST(StationLock, AJobThatWaitsGoesOnOnceTheFirstIsDone) {
    LockedStation f;
    const EnvironmentValue wait("KESTRUNE_LOCK_WAIT_SECONDS", "600");
    auto held = std::make_unique<StationLock>(f.dir / "Sessions", "tag pass of /music",
                                              kStationLockWait, nullptr);
    const std::string err = f.dir / "err.txt";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string command = "cd '" + f.dir.Path() + "' && '" KESTRUNE_CLI_PATH
                                    "' build Sessions/other.cwt >/dev/null 2>'" + err + "'";
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Until it says what it waits for (a generous deadline: the machine may be busy).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(240);
    bool waiting = false;
    while (!waiting && std::chrono::steady_clock::now() < deadline) {
        waiting = std::filesystem::exists(err) &&
                  f.dir.Read("err.txt").find("Waiting for the tag pass of /music to finish...") !=
                      std::string::npos;
        if (!waiting) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(waiting);
    EXPECT_FALSE(std::filesystem::exists(f.dir / "other.m3u")) << "nothing before its turn";
    held.reset();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << f.dir.Read("err.txt");
    EXPECT_GT(f.Lines(f.dir / "other.m3u").size(), 10u);
}

TEST(StationLock, OneProcessTakesItAgainInsideAndAnotherFolderIsAnotherStation) {
    testing::TempDir a, b;
    // A folder that is not there gives no lock and stops nothing.
    EXPECT_NO_THROW(StationLock(b / "gone", "x", std::chrono::milliseconds(0), nullptr));
    EXPECT_FALSE(StationLock::HeldHere());
    const StationLock outer(a.Path(), "build of a.cwt", kStationLockWait, nullptr);
    EXPECT_TRUE(StationLock::HeldHere());
    {
        const StationLock inner(a.Path(), "schedule run", std::chrono::milliseconds(0), nullptr);
        EXPECT_EQ(a.Read("station.lock"), "build of a.cwt") << "the outer job keeps its name";
    }
    EXPECT_TRUE(StationLock::HeldHere());
    EXPECT_EQ(WaitingForJobText("week build of w.kwg"),
              "Waiting for the week build of w.kwg to finish...");
    EXPECT_EQ(StationBusyText("demo", std::chrono::seconds(60)),
              "The demo did not finish within 60 seconds; nothing was changed.");
}

// A lock file that is a link, a folder or a pipe would let two jobs run at once: every job that
// takes the lock refuses, names it, exits 2 and changes nothing.
TEST(StationLock, ALockFileThatIsNotOneStopsEveryJob) {
    for (const char* kind : {"a symbolic link", "a dangling symbolic link", "a folder", "a pipe"}) {
        LockedStation f;
        const std::string lock = f.dir / (std::string("Sessions/") + kStationLockFile);
        const std::string k = kind;
        if (k == "a symbolic link") {
            f.dir.Write("elsewhere.lock", "");
            std::filesystem::create_symlink(f.dir / "elsewhere.lock", lock);
        } else if (k == "a dangling symbolic link") {
            std::filesystem::create_symlink(f.dir / "nowhere.lock", lock);
        } else if (k == "a folder") {
            std::filesystem::create_directories(lock);
        } else {
            ASSERT_EQ(::mkfifo(lock.c_str(), 0644), 0);
        }
        const std::map<std::string, std::string> before = f.Files();
        const auto result = RunCli({"build", "Sessions/other.cwt"}, f.dir.Path());
        EXPECT_EQ(result.exitCode, 2) << kind << ": " << result.err;
        const std::string said = k == "a folder" ? "a folder"
                                 : k == "a pipe" ? "not a regular file"
                                                 : "a symbolic link";
        EXPECT_NE(result.err.find(NotALockFileText(lock, said)), std::string::npos)
            << kind << ": " << result.err;
        EXPECT_EQ(f.Files(), before) << kind;
    }
}

// The wait is whole seconds, a day at most; anything else leaves the minute.
TEST(StationLock, TheWaitIsWholeSecondsOrTheMinute) {
    const struct {
        const char* text;
        std::chrono::milliseconds wait;
    } cases[] = {
        {"0", std::chrono::seconds(0)},
        {"5", std::chrono::seconds(5)},
        {"0007", std::chrono::seconds(7)},
        {"86400", std::chrono::seconds(86400)},
        {"86401", kStationLockWait},
        {"", kStationLockWait},
        {"-1", kStationLockWait},
        {"+5", kStationLockWait},
        {" 5", kStationLockWait},
        {"5 ", kStationLockWait},
        {"5s", kStationLockWait},
        {"0x10", kStationLockWait},
        {"99999999999999999999999", kStationLockWait},
    };
    for (const auto& c : cases) {
        const EnvironmentValue wait("KESTRUNE_LOCK_WAIT_SECONDS", c.text);
        EXPECT_EQ(StationLockWait(), c.wait) << '"' << c.text << '"';
    }
    EXPECT_EQ(StationLockWait(), kStationLockWait);  // unset
}

}  // namespace
}  // namespace kestrune
