#pragma once
// The "[Library]" and "[Output]" settings. Made hidden at start, shown and hidden, never made again.

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>

#include "AppContext.h"

namespace kestrune::app {

class TfLibrary : public QDialog {
    Q_OBJECT

public:
    explicit TfLibrary(AppContext& context, QWidget* parent = nullptr);
    void Open();
    void btnSaveLibraryClick();

    QCheckBox* cbId3v1Only = nullptr;
    QCheckBox* cbMp3Only = nullptr;
    QCheckBox* cbExtinf = nullptr;
    QPushButton* btnSaveLibrary = nullptr;

private:
    AppContext& context_;
};

}  // namespace kestrune::app
