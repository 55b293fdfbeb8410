#include "SchedulingPage.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "NumberFields.h"
#include "PageLook.h"
#include "PathNames.h"
#include "sessions/ScheduleSettings.h"

namespace kestrune::app {

SchedulingPage::SchedulingPage(AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    QWidget* Panel1 = Panel(this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Panel1);

    Label1 = new QLabel("Current Sessions Scheduled:", Panel1);
    lbSchedule = BigList(Panel1,
                         "The sessions in this window will all be run when you click the RUN NOW "
                         "button or when you click the BEGIN AUTO SCHEDULE button.");
    Button4 = Button(Panel1, "+", "Click here to add a saved session to your schedule.", 28, 25);
    Button5 = Button(Panel1, "--", "Clcik here to remove the selected session from the schedule.", 28, 25);
    Button6 = Button(Panel1, "Clear Schedule", "Click here to clear the entire schedule.", 86, 25);
    Button7 = Button(Panel1, "Save Schedule", "Click here to save this schedule for future use.", 86, 25);
    btRunScheduleNow = Button(Panel1, "Run Now!", "Click here to run the schedule now.", 75, 24);
    Label8 = new QLabel("Set auto start time:", Panel1);
    ComboBox2 = new QComboBox(Panel1);
    ComboBox2->setEditable(true);
    // A typed hour is used as typed, never added to the 26 choices.
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    KeepTypedText(ComboBox2);
    ComboBox2->setMinimumWidth(61);
    ComboBox2->setToolTip("Specifiy a time from the drop down menu for the auto schedule to run.");
    for (const std::string& item : AutoStartChoices()) ComboBox2->addItem(QString::fromStdString(item));
    ComboBox2->setMaxVisibleItems(26);
    btAutoSchedule_Start = Button(
        Panel1, "Begin Auto Schedule",
        "Start the timer for the auto scheduler. The current sessions in the scheduler will build "
        "at the time you specified above.",
        121, 23);
    btAutoSchedule_Stop = Button(
        Panel1, "Stop Auto Schedule",
        "Click here to turn off the timer for the auto schedule. No playlists will be built "
        "automatically.",
        121, 23);

    AutoScheduleState = new QLabel(Panel1);
    AutoScheduleState->setWordWrap(true);

    auto* grid = new QGridLayout(Panel1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(lbSchedule, 1, 0);
    auto* column = new QVBoxLayout;
    column->addWidget(Button4, 0, Qt::AlignLeft);
    column->addWidget(Button5, 0, Qt::AlignLeft);
    column->addWidget(Button6);
    column->addWidget(Button7);
    column->addStretch(1);
    column->addWidget(btRunScheduleNow, 0, Qt::AlignLeft);
    column->addStretch(1);
    column->addWidget(Label8);
    column->addWidget(ComboBox2, 0, Qt::AlignLeft);
    column->addWidget(btAutoSchedule_Start);
    column->addWidget(btAutoSchedule_Stop);
    column->addWidget(AutoScheduleState);
    grid->addLayout(column, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
    SameWidth({Button6, Button7, btAutoSchedule_Start, btAutoSchedule_Stop});

    Scheduler& scheduler = context_.scheduler;
    ComboBox2->setCurrentText(QString::fromStdString(scheduler.ComboBox2));
    connect(ComboBox2, &QComboBox::editTextChanged, this,
            [&scheduler](const QString& text) { scheduler.ComboBox2 = text.toLocal8Bit().toStdString(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(btRunScheduleNow, &QPushButton::clicked, this, [this] { btRunScheduleNowClick(); });
    connect(btAutoSchedule_Start, &QPushButton::clicked, this, [this] { btAutoSchedule_StartClick(); });
    connect(btAutoSchedule_Stop, &QPushButton::clicked, this, [this] { btAutoSchedule_StopClick(); });
    Refresh();
}

void SchedulingPage::Refresh() {
    const int selected = lbSchedule->currentRow();
    QStringList items;
    for (const std::string& path : context_.scheduler.lbSchedule) items << QString::fromLocal8Bit(path.c_str());
    lbSchedule->clear();
    lbSchedule->addItems(items);
    if (selected >= 0 && selected < lbSchedule->count()) lbSchedule->setCurrentRow(selected);
    const QString text = QString::fromLocal8Bit(context_.scheduler.ComboBox2.c_str());
    if (ComboBox2->currentText() != text) ComboBox2->setCurrentText(text);
    AutoScheduleState->setText(QString::fromStdString(context_.scheduler.StateText()));
}

void SchedulingPage::SelectScheduleEntry(int index) {
    lbSchedule->setCurrentRow(index);
    lbSchedule->repaint();
}

void SchedulingPage::Button4Click() {
    context_.run([this] {
        context_.scheduler.AddSessions(context_.prompts.AskOpenFileNames(
            OpenQuestion{"Clock Wheel Templates|*.cwt|Week Grids|*.kwg", "cwt", context_.folders.sessions,
                         "", true}));
    });
}

void SchedulingPage::Button5Click() {
    context_.run([this] { context_.scheduler.Button5Click(lbSchedule->currentRow()); });
    // Nothing stays selected: a second press must not remove the next session.
    lbSchedule->setCurrentRow(-1);
    lbSchedule->clearSelection();
}

void SchedulingPage::Button6Click() {
    context_.run([this] { context_.scheduler.Button6Click(); });
}

void SchedulingPage::Button7Click() {
    context_.run([this] {
        context_.scheduler.Button7Click(context_.prompts);
        // The box said what to do next; the status line keeps which file was written.
        context_.view.ShowStatus(SavedStatus("Schedule", context_.scheduler.ScheduleFilePath()));
    });
}

void SchedulingPage::btRunScheduleNowClick() {
    context_.run([this] { context_.scheduler.btRunScheduleNowClick(context_.prompts); });
}

void SchedulingPage::btAutoSchedule_StartClick() {
    context_.run([this] {
        Scheduler& scheduler = context_.scheduler;
        scheduler.btAutoSchedule_StartClick(context_.build);
        // Kept for the next start, which resumes it: the list the run uses with its state, or a
        // restart would resume an empty (or older) schedule.
        if (scheduler.Daily()) {
            scheduler.SaveScheduleFile();
            WriteScheduleSettings(context_.settings, {true, scheduler.DailyHour()});
        }
    });
}

void SchedulingPage::btAutoSchedule_StopClick() {
    context_.run([this] {
        context_.scheduler.btAutoSchedule_StopClick(context_.view);
        // Only a kept daily run needs undoing; a station that never began one keeps its file.
        ScheduleSettings kept = ReadScheduleSettings(context_.settings);
        if (kept.running) {
            kept.running = false;
            WriteScheduleSettings(context_.settings, kept);
        }
    });
}

}  // namespace kestrune::app
