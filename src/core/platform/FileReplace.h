#pragma once
// Whole-file replacement that never leaves a half-written file behind.

#include <memory>
#include <string>

namespace kestrune {

// Replaces the file with `bytes`: a temporary file beside it is written and renamed over it,
// so a crash, a kill or a full disk leaves the old file or the new one. "Cannot create file %s"
// when it cannot be written; the old file is then untouched.
void ReplaceWholeFile(const std::string& path, const std::string& bytes);

}  // namespace kestrune
