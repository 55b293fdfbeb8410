#pragma once
// Runs kestrune-cli as a user would, in a chosen folder, and keeps what it printed.

#include <string>
#include <vector>

namespace kestrune::testing {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `arguments` are passed as they stand, each quoted for the shell.
CliResult RunCli(const std::vector<std::string>& arguments, const std::string& folder);
// The same with another copy of the tool (one with a configuration file of its own beside it).
CliResult RunCliCopy(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& folder);

// The last non-empty line of a text.
std::string LastLine(const std::string& text);

}  // namespace kestrune::testing
