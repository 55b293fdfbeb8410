#pragma once
// Boxes and dialogs answered from a script, so that the window tests click the real widgets
// without a modal box ever opening.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AppPrompts.h"

namespace kestrune::app::testing {

class ScriptedAppPrompts : public AppPrompts {
public:
    void ShowMessage(const std::string& text) override {
        if (onMessage) onMessage(text);
        messages.push_back(text);
        if (whileMessageOpen) std::exchange(whileMessageOpen, nullptr)();
    }
    void ShowError(const std::string& text) override {
        if (onError) onError(text);
        errors.push_back(WithFullStop(text));
    }
    int AskOpenError(const std::string& fileName) override {
        openErrors.push_back(fileName);
        if (whileOpenErrorOpen) std::exchange(whileOpenErrorOpen, nullptr)();
        if (openErrorAnswers.empty()) return kAnswerIgnore;
        const int answer = openErrorAnswers.front();
        openErrorAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> AskSaveFileName(const SaveQuestion& question) override {
        saveQuestions.push_back(question);
        if (saveAnswers.empty()) return std::nullopt;
        auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    bool AskYesNo(const std::string& text) override {
        yesNoQuestions.push_back(text);
        return yesNoAnswer;
    }
    int AskChoice(const std::string& text, const std::vector<std::string>& buttons) override {
        choiceQuestions.push_back({text, buttons});
        for (size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i] == choiceAnswer) return static_cast<int>(i);
        return static_cast<int>(buttons.size()) - 1;  // Esc
    }
    std::optional<SlotTimeAnswer> AskSlotTime(const std::string& slot,
                                              const std::optional<SlotTime>& current) override {
        slotTimeQuestions.push_back({slot, current});
        return slotTimeAnswer;
    }
    std::vector<std::string> AskOpenFileNames(const OpenQuestion& question) override {
        openQuestions.push_back(question);
        if (openAnswers.empty()) return {};
        auto answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }

    // Runs at every message, before it is recorded (to look at the window at that moment).
    std::function<void(const std::string&)> onMessage;
    std::function<void(const std::string&)> onError;
    // Runs once while the next box of its kind is open (a timer event, say).
    std::function<void()> whileMessageOpen;
    std::function<void()> whileOpenErrorOpen;

    std::vector<std::string> messages;
    std::vector<std::string> errors;  // as shown, with the full stop
    std::vector<std::string> openErrors;
    std::deque<int> openErrorAnswers;
    std::vector<SaveQuestion> saveQuestions;
    std::deque<std::optional<std::string>> saveAnswers;  // nothing: the user cancels
    std::vector<OpenQuestion> openQuestions;
    std::vector<std::string> yesNoQuestions;
    bool yesNoAnswer = false;
    std::vector<std::pair<std::string, std::vector<std::string>>> choiceQuestions;
    std::string choiceAnswer;  // the caption of the button pressed; none: Esc
    std::deque<std::vector<std::string>> openAnswers;  // empty: the user cancels
    std::vector<std::pair<std::string, std::optional<SlotTime>>> slotTimeQuestions;
    std::optional<SlotTimeAnswer> slotTimeAnswer;  // nothing: the user cancels
};

}  // namespace kestrune::app::testing
