#pragma once
// Config -> Timing: the configuration file's "[Timing]" section (how a build is timed against
// the clock). Read when the window opens; "Save Settings" writes it and puts it in force for
// the next build.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "AppContext.h"

namespace kestrune::app {

class TfTiming : public QDialog {
    Q_OBJECT

public:
    explicit TfTiming(AppContext& context, QWidget* parent = nullptr);
    // The stored settings into the fields, then the window is shown.
    void Open();
    void btnSaveTimingClick();

    QLabel* StaticText1 = nullptr;
    QCheckBox* cbExactFill = nullptr;
    QComboBox* cbTolerance = nullptr;
    QComboBox* cbOverlap = nullptr;
    QPushButton* btnSaveTiming = nullptr;

private:
    AppContext& context_;
};

}  // namespace kestrune::app
