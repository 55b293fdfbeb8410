// Several files as one step: written together under the station's lock, and a journal a killed
// job left carried through by the next job that takes the lock.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "platform/FileSetReplace.h"
#include "platform/Files.h"
#include "platform/LineList.h"
#include "platform/StationLock.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(FileSetReplace, FilesGoTogetherAndAKilledStepIsFinishedByTheNextLock) {
    TempDir dir;
    fs::create_directories(dir / "Sessions");
    fs::create_directories(dir / "Output");
    dir.Write("Output/hour.m3u", "old\r\n");
    ::chmod((dir / "Output/hour.m3u").c_str(), 0604);
    dir.Write("Sessions/play_history.txt", "old plays\r\n");
    {
        const StationLock lock(dir / "Sessions", "test", std::chrono::milliseconds(0), nullptr);
        ReplaceFilesTogether({{dir / "Output/hour.m3u", "new\r\n"},
                              {dir / "Sessions/play_history.txt", "new plays\r\n"},
                              {dir / "Output/hour.m3u.txt", "log\r\n"}});
    }
    EXPECT_EQ(dir.Read("Output/hour.m3u"), "new\r\n");
    EXPECT_EQ(dir.Read("Sessions/play_history.txt"), "new plays\r\n");
    EXPECT_EQ(dir.Read("Output/hour.m3u.txt"), "log\r\n");
    struct stat status {};
    ASSERT_EQ(::stat((dir / "Output/hour.m3u").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0604u) << "the mode the user gave it stays";
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".kestrune-"), std::string::npos)
            << entry.path() << " left behind";

    // A job killed after its journal: one file renamed, the other still waiting beside its
    // target. The next job to take the lock finishes it before anything else.
    dir.Write("Output/.hour.m3u.kestrune-set", "newer\r\n");
    dir.Write("Sessions/play_history.txt", "newer plays\r\n");  // renamed before the kill
    SaveList(dir / ("Sessions/" + std::string(kReplaceJournalFile)),
             {(dir / "Sessions/.play_history.txt.kestrune-set") + "\t" +
                  (dir / "Sessions/play_history.txt"),
              (dir / "Output/.hour.m3u.kestrune-set") + "\t" + (dir / "Output/hour.m3u")});
    EXPECT_EQ(dir.Read("Output/hour.m3u"), "new\r\n") << "until the next job";
    { const StationLock lock(dir / "Sessions", "next", std::chrono::milliseconds(0), nullptr); }
    EXPECT_EQ(dir.Read("Output/hour.m3u"), "newer\r\n");
    EXPECT_EQ(dir.Read("Sessions/play_history.txt"), "newer plays\r\n");
    EXPECT_FALSE(FileExists(dir / ("Sessions/" + std::string(kReplaceJournalFile))));
}

}  // namespace
}  // namespace kestrune
