// Runs saved inputs through a fuzz target's check without libFuzzer, in any build: to replay a
// finding under a debugger, or to run the seeds in the ordinary test suite.
//
// usage: kestrune_fuzz_replay TARGET FILE|FOLDER...   (TARGET "all": FOLDER/<target>/ each)

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzChecks.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> Inputs(const fs::path& where) {
    std::vector<fs::path> files;
    if (fs::is_directory(where)) {
        for (const auto& entry : fs::recursive_directory_iterator(where)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
    } else {
        files.push_back(where);
    }
    return files;
}

// Answers the number of inputs with a finding.
int Replay(const kestrune::fuzz::FuzzTarget& target, const fs::path& where, int& count) {
    int failed = 0;
    for (const fs::path& file : Inputs(where)) {
        ++count;
        const std::string problem = target.check(Slurp(file));
        if (!problem.empty()) {
            ++failed;
            std::printf("%s: %s: %s\n", target.name, file.c_str(), problem.c_str());
        }
    }
    return failed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kestrune_fuzz_replay TARGET|all FILE|FOLDER...\n");
        return 2;
    }
    const std::string name = argv[1];
    int failed = 0;
    int count = 0;
    bool known = false;
    for (const auto& target : kestrune::fuzz::FuzzTargets()) {
        if (name != "all" && name != target.name) continue;
        known = true;
        for (int i = 2; i < argc; ++i) {
            const fs::path where = name == "all" ? fs::path(argv[i]) / target.name : argv[i];
            if (fs::exists(where)) failed += Replay(target, where, count);
        }
    }
    if (!known) {
        std::fprintf(stderr, "unknown fuzz target %s\n", name.c_str());
        return 2;
    }
    std::printf("%d inputs replayed, %d with findings\n", count, failed);
    return failed == 0 ? 0 : 1;
}
