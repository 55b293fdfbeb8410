#pragma once
// Passes every question on to the real prompts and knows when one of them is open. A plain
// message or a file dialog is a resting point of a command: nothing of the model is half-done
// while it waits. The reader's error box is no such point: it opens in the middle of a build.

#include "AppPrompts.h"

namespace kestrune::app {

class RestingPrompts : public AppPrompts {
public:
    explicit RestingPrompts(AppPrompts& inner) : inner_(inner) {}

    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    int AskOpenError(const std::string& fileName) override { return inner_.AskOpenError(fileName); }
    std::optional<std::string> AskSaveFileName(const SaveQuestion& question) override;
    bool AskYesNo(const std::string& text) override;
    std::vector<std::string> AskOpenFileNames(const OpenQuestion& question) override;
    int AskChoice(const std::string& text, const std::vector<std::string>& buttons) override;
    std::optional<SlotTimeAnswer> AskSlotTime(const std::string& slot,
                                              const std::optional<SlotTime>& current) override {
        Resting resting(open_);
        return inner_.AskSlotTime(slot, current);
    }

    // How many resting points are open right now (nested boxes count each).
    int OpenResting() const { return open_; }

private:
    class Resting {
    public:
        explicit Resting(int& open) : open_(open) { ++open_; }
        ~Resting() { --open_; }
        Resting(const Resting&) = delete;
        Resting& operator=(const Resting&) = delete;

    private:
        int& open_;
    };

    AppPrompts& inner_;
    int open_ = 0;
};

}  // namespace kestrune::app
