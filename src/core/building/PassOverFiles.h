#pragma once
// The MP3 reader's error question over one command. Once the user answers "Ignore All", the
// rest of the command's unreadable files are passed over without a box; every file passed over
// is kept, so that the command can end with a summary of them.

#include <string>
#include <unordered_set>
#include <vector>

#include "building/Prompts.h"

namespace kestrune {

class PassOverFiles {
public:
    explicit PassOverFiles(Prompts& prompts) : prompts_(prompts) {}

    // The answer for the reader about `fileName`: 2 (Cancel), 4 (Retry) or 5 (Ignore); asks
    // the user unless "Ignore All" was answered in this command.
    int Ask(const std::string& fileName);
    // A new command: the question is asked again and the list starts empty.
    void Reset();

    // The files passed over (answered Cancel, Ignore or Ignore All), each once, first first.
    const std::vector<std::string>& PassedOver() const { return passedOver_; }
    // "Passed over 15 files that could not be read: /a.mp3, /b.mp3, /c.mp3 and 12 more.";
    // empty when none was.
    std::string Summary() const;

private:
    Prompts& prompts_;
    bool ignoreAll_ = false;
    std::vector<std::string> passedOver_;
    std::unordered_set<std::string> seen_;
};

}  // namespace kestrune
