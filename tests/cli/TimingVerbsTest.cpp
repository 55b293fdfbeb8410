#include <gtest/gtest.h>

#include <filesystem>

#include "platform/LineList.h"
#include "support/CliRunner.h"
#include "support/Station.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using testing::RunCliCopy;
using testing::StationFixture;

// The tool reads [Timing] beside itself; an hour that cannot land is written, its miss named on
// standard error, and --strict makes that exit 3.
TEST(CliTiming, AMissedHourIsNamedAndStrictExitsThree) {
    StationFixture f;
    fs::create_directories(f.dir / "bin");
    fs::copy_file(KESTRUNE_CLI_PATH, f.dir / "bin/kestrune-cli");
    f.dir.Write("bin/kestrune.ini", "[Timing]\r\nfill=exact\r\ntolerance=2\r\n");
    const std::string program = f.dir / "bin/kestrune-cli";
    const std::string music =
        f.Playlist("music.m3u", {{420, "Ana", "One", 13}, {420, "Bo", "Two", 17}, {420, "Cy", "Three", 13}});
    f.dir.Write("ten.cwt", FormatLines({music, "#", music, "##", "10", "###", f.dir / "out.m3u",
                                        "####", "001", "3"}));
    for (const bool strict : {false, true}) {
        std::vector<std::string> build = {"build", "ten.cwt"};
        if (strict) build.push_back("--strict");
        const auto result = RunCliCopy(program, build, f.dir.Path());
        // 7:00 lands 3:00 early, two songs 4:00 late: the closest is placed; it is short.
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_NE(result.err.find("Hour ends 0:03:01 early (window 2 s)"), std::string::npos)
            << result.err;
        EXPECT_EQ(f.Lines(f.dir / "out.m3u").size(), 1u);
    }
    // Fifteen minutes: two songs land 1:00 early at best... three are 6:00 late; with a wider
    // window the same hour is on time and the tool exits 0.
    f.dir.Write("bin/kestrune.ini", "[Timing]\r\nfill=exact\r\ntolerance=70\r\n");
    f.dir.Write("fifteen.cwt", FormatLines({music, "#", music, "##", "15", "###",
                                            f.dir / "out15.m3u", "####", "001", "3"}));
    const auto onTime = RunCliCopy(program, {"build", "fifteen.cwt", "--strict"}, f.dir.Path());
    EXPECT_EQ(onTime.exitCode, 0) << onTime.err;
    EXPECT_EQ(onTime.err.find("Hour ends"), std::string::npos) << onTime.err;
    // Late is long enough: written, named, and --strict exits 3.
    f.dir.Write("bin/kestrune.ini", "[Timing]\r\nfill=exact\r\n");
    f.dir.Write("twelve.cwt", FormatLines({music, "#", music, "##", "12", "###",
                                           f.dir / "out12.m3u", "####", "001", "3"}));
    const auto late = RunCliCopy(program, {"build", "twelve.cwt", "--strict"}, f.dir.Path());
    EXPECT_EQ(late.exitCode, 3) << late.err;
    EXPECT_NE(late.err.find("Hour ends 0:02:00 late (window 2 s)"), std::string::npos) << late.err;
    EXPECT_EQ(f.Lines(f.dir / "out12.m3u").size(), 2u);
}

// One word typed wrong in [Timing] no longer stops the station: every verb runs, the setting at
// its default, and the problem names the file, the section and the key once.
TEST(CliTiming, ASettingThatCannotBeUsedIsNamedAndStopsNoVerb) {
    StationFixture f;
    fs::create_directories(f.dir / "bin");
    fs::copy_file(KESTRUNE_CLI_PATH, f.dir / "bin/kestrune-cli");
    f.dir.Write("bin/kestrune.ini", "[Timing]\r\nfill=exact\r\ntolerance=abc\r\n");
    const std::string program = f.dir / "bin/kestrune-cli";
    const std::string named = f.dir / "bin/kestrune.ini" +
                              ", [Timing] tolerance=abc: not a whole number of seconds from 0 to "
                              "120; the default 2 is used.";
    fs::create_directories(f.dir / "Music");
    const auto tags = RunCliCopy(program, {"tags", "Music", "--artist"}, f.dir.Path());
    EXPECT_EQ(tags.exitCode, 0) << tags.err;
    EXPECT_NE(tags.err.find(named), std::string::npos) << tags.err;
    const std::string music =
        f.Playlist("music.m3u", {{420, "Ana", "One", 13}, {420, "Bo", "Two", 17}, {420, "Cy", "Three", 13}});
    f.dir.Write("ten.cwt", FormatLines({music, "#", music, "##", "10", "###", f.dir / "out.m3u",
                                        "####", "001", "3"}));
    const auto build = RunCliCopy(program, {"build", "ten.cwt"}, f.dir.Path());
    // Built with the default window of 2 s, as the first test's ten minutes are.
    EXPECT_NE(build.err.find("Hour ends 0:03:01 early (window 2 s)"), std::string::npos)
        << build.err;
    EXPECT_EQ(build.err.find(named), build.err.rfind(named)) << "named once: " << build.err;
}

}  // namespace
}  // namespace kestrune
