#include "DupeCheckerWindow.h"

#include "NumberFields.h"
#include "OptionLayout.h"

namespace kestrune::app {

TfDMCA::TfDMCA(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    Secondary(this);
    setWindowTitle("Check for Duplicate Artists");
    DialogGrey(this);
    move(298, 293);

    StaticText2 =
        FixedText(this,
                  "This function checks for duplicate artists when building your playlists. "
                  "It is recommended to leave this function enabled for more variety in your "
                  "playlists. It also maintains compliance with DMCA regulations.",
                  24, 17, 353, 45);
    cbDupeCheck = Placed(new QCheckBox("Dupe Checker On/Off", this), 24, 73);
    StaticText1 =
        FixedText(this,
                  "If the Dupe Checker is enabled you can specify how much of the playlist it "
                  "should scan for duplicate artists.",
                  24, 113, 353, 38);
    Label1 = Placed(new QLabel("Dupe Time (in hours):", this), 23, 169);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({"1", "2", "3", "4", "5"});
    WholeNumbersOnly(ComboBox1, 4);
    // Beside its label, also when the system's font makes the label wider.
    ComboBox1->setGeometry(std::max(150, Label1->x() + Label1->width() + 4), 166, 53,
                           ComboBox1->sizeHint().height());
    setFixedSize(399, 234 + MakeRoomForTexts(this, {StaticText2, StaticText1}));

    connect(cbDupeCheck, &QCheckBox::toggled, this, [this] { cbDupeCheckClick(); });
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!refreshing_) context_.session.fDMCA.ComboBox1 = Local8(text);
    });
    Refresh();
}

void TfDMCA::cbDupeCheckClick() {
    const bool on = cbDupeCheck->isChecked();
    if (!refreshing_) context_.session.fDMCA.cbDupeCheck = on;
    // Greyed, not emptied: the hours come back as they were.
    ComboBox1->setEnabled(on);
}

void TfDMCA::Refresh() {
    const DupeCheckerOptions& options = context_.session.fDMCA;
    refreshing_ = true;
    cbDupeCheck->setChecked(options.cbDupeCheck);
    cbDupeCheckClick();
    const QString hours = Local(options.ComboBox1);
    if (ComboBox1->currentText() != hours) ComboBox1->setEditText(hours);
    refreshing_ = false;
}

}  // namespace kestrune::app
