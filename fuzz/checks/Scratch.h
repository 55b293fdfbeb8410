#pragma once
// A private folder for the files a check needs (the input as a file, files it writes), made once
// per process in memory-backed storage where there is some, removed when the process ends.

#include <string>
#include <string_view>

namespace kestrune::fuzz {

// The folder, without a trailing separator.
const std::string& ScratchFolder();
// A path inside it.
std::string ScratchPath(std::string_view name);
// Writes the bytes to the file at `path`, replacing it; aborts when it cannot (a fault of the
// machine, not of the input).
void PutFile(const std::string& path, std::string_view bytes);
// Removes everything inside a sub-folder of the scratch folder and makes it anew, empty.
std::string FreshFolder(std::string_view name);

// Concatenates the parts of a finding into one text.
std::string Finding(std::string_view what, std::string_view detail = {});

}  // namespace kestrune::fuzz
