#pragma once
// The verbs of kestrune-cli. Each takes the arguments after its own name and answers the exit
// status: 0 done, 1 one of the program's own checks failed (for check: a rule is broken), 2 an
// error, 3 a rule had to break and --strict was given (the files are written all the same).

#include <string>
#include <vector>

#include "mpgtools/ReaderSetup.h"

namespace kestrune::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitCheckFailed = 1;
inline constexpr int kExitError = 2;
inline constexpr int kExitRuleBroken = 3;

// Every verb gets the run's reader setup (TagLib and the station's [Library] settings); a verb
// that reads songs reads them with it.

// Thrown for wrong arguments; main prints the usage text and exits 2.
struct UsageError {
    std::string text;
};

int RunProbe(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunBuild(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunSchedule(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunCheck(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunDemo(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunQuickList(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunTags(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunWeek(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunAired(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunReport(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunRotation(const std::vector<std::string>& args, const ReaderSetup& reader);
int RunSettings(const std::vector<std::string>& args, const ReaderSetup& reader);

}  // namespace kestrune::cli
