#pragma once
// The seed corpora of the fuzz targets: MP3 files made by our own synthesiser with the traps
// that readers of real files have fallen into, files made by the lame encoder, and typical and
// broken line lists, session files, configuration files and schedule files.

#include <string>

namespace kestrune::fuzz {

// Writes every seed into FOLDER/<target>/ and answers how many. Throws std::runtime_error when
// a file cannot be written or lame is missing or fails.
int WriteSeedCorpora(const std::string& folder);

}  // namespace kestrune::fuzz
