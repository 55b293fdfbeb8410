#pragma once
// The separation rules of "[Rules]". Made hidden at start, shown and hidden, never made again.

#include <array>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "AppContext.h"

namespace kestrune::app {

class TfRules : public QDialog {
    Q_OBJECT

public:
    explicit TfRules(AppContext& context, QWidget* parent = nullptr);
    // The stored rules into the fields, then the window is shown.
    void Open();
    void btnSaveRulesClick();

    QLabel* StaticText1 = nullptr;
    QComboBox* cbTitleHours = nullptr;
    QComboBox* cbAlbumHours = nullptr;
    QComboBox* cbArtistMatching = nullptr;
    QLineEdit* edExempt = nullptr;
    QCheckBox* cbPerformanceComplement = nullptr;
    QCheckBox* cbHistory = nullptr;
    QCheckBox* cbLeastRecent = nullptr;
    // The rules that never break, in the rules' order: artist, title, album, performance
    // complement, genre, fresh hours.
    std::array<QCheckBox*, 6> cbMust{};
    QPushButton* btnSaveRules = nullptr;

private:
    AppContext& context_;
};

}  // namespace kestrune::app
