#include "RestingPrompts.h"

namespace kestrune::app {

void RestingPrompts::ShowMessage(const std::string& text) {
    Resting resting(open_);
    inner_.ShowMessage(text);
}

void RestingPrompts::ShowError(const std::string& text) {
    Resting resting(open_);
    inner_.ShowError(text);
}

int RestingPrompts::AskChoice(const std::string& text, const std::vector<std::string>& buttons) {
    Resting resting(open_);
    return inner_.AskChoice(text, buttons);
}

bool RestingPrompts::AskYesNo(const std::string& text) {
    Resting resting(open_);
    return inner_.AskYesNo(text);
}

std::optional<std::string> RestingPrompts::AskSaveFileName(const SaveQuestion& question) {
    Resting resting(open_);
    return inner_.AskSaveFileName(question);
}

std::vector<std::string> RestingPrompts::AskOpenFileNames(const OpenQuestion& question) {
    Resting resting(open_);
    return inner_.AskOpenFileNames(question);
}

}  // namespace kestrune::app
