#pragma once
// The genre checker: no two songs of one genre back to back. Made hidden at start, shown and hidden, never made again.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>

#include "AppContext.h"

class QShowEvent;

namespace kestrune::app {

class TfGenre : public QDialog {
    Q_OBJECT

public:
    explicit TfGenre(AppContext& context, QWidget* parent = nullptr);
    void Refresh();

    QLabel* StaticText1 = nullptr;
    QCheckBox* cbGenreCheck = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Sizes the window so that, frame included, it is as large as intended.
    void FitOuterSize();

    AppContext& context_;
    bool refreshing_ = false;
    bool outerFitted_ = false;
    int extraHeight_ = 0;  // room the system's font needs beyond the intended size
};

}  // namespace kestrune::app
