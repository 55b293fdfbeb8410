#include "TimingWindow.h"

#include <QGridLayout>

#include "NumberFields.h"
#include "OptionLayout.h"
#include "timing/TimingSettings.h"

namespace kestrune::app {

namespace {

QComboBox* SecondsBox(QWidget* parent, const QStringList& choices) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(choices);
    WholeNumbersOnly(box, 3);
    box->setFixedWidth(64);
    return box;
}

}  // namespace

TfTiming::TfTiming(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    Secondary(this);
    setWindowTitle("Timing");
    DialogGrey(this);

    StaticText1 = IntroText(
        this,
        "With the exact fill a build chooses the songs of its last minutes, each from its slot's "
        "category in rotation order and keeping every rule, so that it ends on time: within the "
        "tolerance of the desired length. The overlap is the crossfade of your playout, taken "
        "off at every join. When no choice lands, the build names how far the hour ends from it. "
        "A template with timed slots (Time... on the build page) is always built this way.");
    cbExactFill = new QCheckBox("Fill to the clock (exact fill)", this);
    cbTolerance = SecondsBox(this, {"0", "1", "2", "3", "5", "10"});
    cbOverlap = SecondsBox(this, {"0", "1", "2", "3", "5"});
    btnSaveTiming = new QPushButton("Save Settings", this);
    EnterSaves(btnSaveTiming);

    auto* grid = SettingsGrid(this);
    int row = 0;
    grid->addWidget(StaticText1, row++, 0, 1, 2);
    grid->addWidget(cbExactFill, row++, 0, 1, 2);
    grid->addWidget(new QLabel("Tolerance (in seconds either side):", this), row, 0);
    grid->addWidget(cbTolerance, row++, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel("Overlap at each join (in seconds):", this), row, 0);
    grid->addWidget(cbOverlap, row++, 1, Qt::AlignLeft);
    grid->addWidget(btnSaveTiming, row, 1, Qt::AlignRight);

    connect(btnSaveTiming, &QPushButton::clicked, this, [this] { btnSaveTimingClick(); });
}

void TfTiming::Open() {
    const TimingSettings timing = ReadTimingSettings(context_.settings);
    cbExactFill->setChecked(timing.fill == FillMode::Exact);
    cbTolerance->setEditText(QString::number(timing.toleranceSeconds));
    cbOverlap->setEditText(QString::number(timing.overlapSeconds));
    show();
    raise();
    activateWindow();
}

void TfTiming::btnSaveTimingClick() {
    // Seconds no clock can honour are refused naming the field; nothing is saved and the window
    // stays in front with the field ready to be typed again.
    int seconds[2] = {0, 0};
    const struct {
        QComboBox* box;
        const char* field;
        int most;
    } fields[] = {{cbTolerance, "Tolerance (in seconds either side)", kMostToleranceSeconds},
                  {cbOverlap, "Overlap at each join (in seconds)", kMostOverlapSeconds}};
    for (int i = 0; i < 2; ++i) {
        const auto number = WholeNumberIn(fields[i].box->currentText(), 0, fields[i].most);
        if (!number) {
            context_.prompts.ShowMessage(NumberRangeMessage(fields[i].field, 0, fields[i].most));
            StayInFront(this, fields[i].box);
            return;
        }
        seconds[i] = *number;
    }
    context_.run([this, &seconds] {
        TimingSettings timing;
        timing.fill = cbExactFill->isChecked() ? FillMode::Exact : FillMode::Walk;
        timing.toleranceSeconds = seconds[0];
        timing.overlapSeconds = seconds[1];
        // A failure stops here: the window stays open with what was typed.
        WriteTimingSettings(context_.settings, timing);
        context_.build.timing = timing;
        hide();
    });
    if (isVisible()) StayInFront(this, btnSaveTiming);
}

}  // namespace kestrune::app
