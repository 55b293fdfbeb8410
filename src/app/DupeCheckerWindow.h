#pragma once
// The dupe checker: keeps artists apart for a number of hours. Made hidden at start, shown and hidden, never made again.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>

#include "AppContext.h"

namespace kestrune::app {

class TfDMCA : public QDialog {
    Q_OBJECT

public:
    explicit TfDMCA(AppContext& context, QWidget* parent = nullptr);
    // Shows the model's dupe check and hours.
    void Refresh();
    // The box changed (by a click or a loaded session): the hours field follows it.
    void cbDupeCheckClick();

    QLabel* StaticText2 = nullptr;
    QCheckBox* cbDupeCheck = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;

private:
    AppContext& context_;
    bool refreshing_ = false;  // the widgets are being set from the model
};

}  // namespace kestrune::app
