#pragma once
// Several files replaced as one step: an hour's playlist and the plays it adds to the history,
// a build's playlist and its text log. Each new file is written whole beside its target first;
// then a journal in the station's locked folder names them, the renames follow and the journal
// goes. A kill before the journal leaves every old file (and temporaries the next write
// clears); a kill after it leaves a journal that the next job to take the station's lock
// carries through before anything else. So the station is seen with all of them old or all new.

#include <string>
#include <vector>

namespace kestrune {

struct FileBytes {
    std::string path;
    std::string bytes;
};

inline constexpr const char* kReplaceJournalFile = "kestrune-replace.journal";

// As one step where the station's lock is held in this process; without it (a folder with no
// place for a lock), one after the other with ReplaceWholeFile, as before. Errors as
// ReplaceWholeFile's; nothing is replaced when a new file cannot be written whole.
void ReplaceFilesTogether(const std::vector<FileBytes>& files);

// Carries through the journal a killed ReplaceFilesTogether left in `folder`, if any.
void FinishUnfinishedReplace(const std::string& folder);

}  // namespace kestrune
