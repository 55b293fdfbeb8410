// The fuzz targets' checks in the ordinary suite (and so under the sanitizers of the sanitizer
// build): every seed the fuzzers start from, and every input that once made a target crash,
// hang or report a finding, kept under regressions/<target>/.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "FuzzChecks.h"
#include "Seeds.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs every file of FOLDER/<target>/ through the target's check; answers the count per target.
std::map<std::string, int> RunAll(const fs::path& folder) {
    std::map<std::string, int> counts;
    for (const auto& target : fuzz::FuzzTargets()) {
        const fs::path inputs = folder / target.name;
        if (!fs::is_directory(inputs)) continue;
        for (const auto& entry : fs::directory_iterator(inputs)) {
            if (!entry.is_regular_file()) continue;
            ++counts[target.name];
            EXPECT_EQ(target.check(Slurp(entry.path())), "")
                << target.name << ": " << entry.path().filename();
        }
    }
    return counts;
}

TEST(FuzzInputs, EverySeedAndEverySavedRegressionInputPassesItsCheck) {
    testing::TempDir dir;
    const int written = fuzz::WriteSeedCorpora(dir.Path());
    const std::map<std::string, int> seeds = RunAll(dir.Path());
    int total = 0;
    for (const auto& target : fuzz::FuzzTargets()) {
        const int count = seeds.count(target.name) ? seeds.at(target.name) : 0;
        EXPECT_GE(count, 4) << target.name;
        total += count;
    }
    EXPECT_EQ(total, written);
    // The encoder-made files are among them.
    EXPECT_TRUE(fs::exists(dir / "mp3_reader/lame_vbr"));
    EXPECT_TRUE(fs::exists(dir / "mp3_reader/lame_mpeg25_cbr"));

    const fs::path regressions = KESTRUNE_REGRESSIONS;
    RunAll(regressions);
    // A folder named after no target would hold inputs that never run.
    for (const auto& entry : fs::directory_iterator(regressions)) {
        if (!entry.is_directory()) continue;
        const std::string name = entry.path().filename().string();
        bool known = false;
        for (const auto& target : fuzz::FuzzTargets()) known = known || name == target.name;
        EXPECT_TRUE(known) << "regression inputs for no target: " << name;
    }
}

}  // namespace
}  // namespace kestrune
