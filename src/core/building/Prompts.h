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
    // The reader's "Error openning file: " question; answers 2, 4 or 5.
    virtual int AskOpenError(const std::string& fileName) = 0;
    // A save dialog: the chosen path, or nothing when the user cancels.
    virtual std::optional<std::string> AskSaveFileName(const SaveQuestion& question) = 0;
};

}  // namespace kestrune
