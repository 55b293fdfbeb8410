#pragma once
// The questions and messages a command puts to the user. The program shows modal boxes;
// the command-line tool and tests answer from a script.

#include <optional>
#include <string>

namespace kestrune {

// Answers of the MP3 reader's error question.
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerRetry = 4;
inline constexpr int kAnswerIgnore = 5;
// "Ignore All": Ignore for this file and, without asking, for the rest of the command. Only
// the prompts give it; the reader itself is answered Ignore (see PassOverFiles).
inline constexpr int kAnswerIgnoreAll = 6;

struct SaveQuestion {
    std::string title;
    std::string filter;
    std::string defaultExtension;
    std::string initialFolder;
    std::string proposedName;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // One of the program's own messages: no icon, one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // The reader's "Error openning file: " question; answers 2, 4, 5 or 6.
    virtual int AskOpenError(const std::string& fileName) = 0;
    // A save dialog: the chosen path, or nothing when the user cancels.
    virtual std::optional<std::string> AskSaveFileName(const SaveQuestion& question) = 0;
    // A question with Yes and No. Where nobody can answer, the answer is No: nothing more
    // than asked for is changed.
    virtual bool AskYesNo(const std::string&) { return false; }
};

}  // namespace kestrune
