#pragma once
// Whole-file replacement that never leaves a half-written file behind.

#include <memory>
#include <string>

namespace kestrune {

// Replaces the file with `bytes`: a temporary file beside it is written and renamed over it,
// so a crash, a kill or a full disk leaves the old file or the new one. "Cannot create file %s"
// when it cannot be written; the old file is then untouched.
void ReplaceWholeFile(const std::string& path, const std::string& bytes);

// While one lives on this thread, replacing a file that exists swaps the new body and the old
// one between the file's name and its temporary's in one step, and the next replacement of the
// same file writes over that kept old body: the file system then makes and frees no file per
// write, which on a journalling disk costs far more than the bytes. For commands that rewrite
// the same files thousands of times. The kept bodies are hidden temporaries and go when it
// ends; a kill leaves them as leftovers that the next write of each file takes over. Where the
// system cannot swap two names, replacements go on as without it.
class TemporaryReuse {
public:
    TemporaryReuse();
    ~TemporaryReuse();
    TemporaryReuse(const TemporaryReuse&) = delete;
    TemporaryReuse& operator=(const TemporaryReuse&) = delete;

    struct Kept;

private:
    std::unique_ptr<Kept> kept_;
    Kept* outer_;
};

}  // namespace kestrune
