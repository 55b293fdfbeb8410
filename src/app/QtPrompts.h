#pragma once
// The real boxes and file dialogs of the program.

#include <QWidget>

#include "AppPrompts.h"

namespace kestrune::app {

class QtPrompts : public AppPrompts {
public:
    explicit QtPrompts(QWidget* parent) : parent_(parent) {}
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    int AskOpenError(const std::string& fileName) override;
    std::optional<std::string> AskSaveFileName(const SaveQuestion& question) override;
    bool AskYesNo(const std::string& text) override;
    std::vector<std::string> AskOpenFileNames(const OpenQuestion& question) override;
    int AskChoice(const std::string& text, const std::vector<std::string>& buttons) override;
    std::optional<SlotTimeAnswer> AskSlotTime(const std::string& slot,
                                              const std::optional<SlotTime>& current) override;

private:
    QWidget* parent_;
};

}  // namespace kestrune::app
