#pragma once
// The time of one slot of the clock template: not timed, at a time (hard), around it (soft,
// within a window) or before it. The dialog checks what is typed before it closes.

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <optional>
#include <string>

#include "timing/SlotTime.h"

namespace kestrune::app {

class SlotTimeDialog : public QDialog {
    Q_OBJECT

public:
    SlotTimeDialog(const QString& slotName, const std::optional<SlotTime>& current,
                   QWidget* parent = nullptr);

    // The time as the fields give it (nullopt: not timed), or the message that says what is
    // wrong with them.
    std::optional<SlotTime> Chosen(std::string& problem) const;

    QComboBox* cbKind = nullptr;  // "Not timed", "At the time (hard)", "Around it (soft)", "Before it"
    QLineEdit* edTime = nullptr;
    QSpinBox* sbWindow = nullptr;
    QDialogButtonBox* buttons = nullptr;

private:
    void EnableFields();
    void done(int result) override;
};

}  // namespace kestrune::app
