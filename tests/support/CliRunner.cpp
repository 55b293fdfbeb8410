#include "support/CliRunner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/TempDir.h"

namespace kestrune::testing {

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& arguments, const std::string& folder) {
    return RunCliCopy(KESTRUNE_CLI_PATH, arguments, folder);
}

CliResult RunCliCopy(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& folder) {
    TempDir capture;
    std::string command = "cd " + Quoted(folder) + " && " + Quoted(program);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    command += " >" + Quoted(capture / "out") + " 2>" + Quoted(capture / "err");
    const int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = Slurp(capture / "out");
    result.err = Slurp(capture / "err");
    return result;
}

std::string LastLine(const std::string& text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
    const size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1));
}

}  // namespace kestrune::testing
