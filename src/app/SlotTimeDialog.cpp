#include "SlotTimeDialog.h"

#include <QFormLayout>
#include <QMessageBox>
#include <QVBoxLayout>

namespace kestrune::app {

namespace {
// The choices of cbKind, in order: not timed, then each kind.
constexpr SlotTimeKind kKinds[] = {SlotTimeKind::Hard, SlotTimeKind::Soft, SlotTimeKind::Before};
}  // namespace

SlotTimeDialog::SlotTimeDialog(const QString& slotName, const std::optional<SlotTime>& current,
                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Slot Time");
    auto* name = new QLabel(slotName, this);
    name->setWordWrap(true);
    cbKind = new QComboBox(this);
    cbKind->addItems({"Not timed", "At the time (hard)", "Around the time (soft)",
                      "Before the time"});
    edTime = new QLineEdit(this);
    edTime->setPlaceholderText(":20:00");
    edTime->setToolTip("Minutes and seconds of the hour, for example :00, :20:00 or :59:50.");
    sbWindow = new QSpinBox(this);
    sbWindow->setRange(0, 3600);
    sbWindow->setSuffix(" s");
    sbWindow->setToolTip(
        "Around the time: how far either side it may start. Before the time: how long before.");
    sbWindow->setValue(kDefaultSlotWindowSeconds);
    if (current) {
        for (int i = 0; i < 3; ++i)
            if (kKinds[i] == current->kind) cbKind->setCurrentIndex(i + 1);
        edTime->setText(QString::fromStdString(HourMarkText(current->second)));
        sbWindow->setValue(current->windowSeconds);
    }
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout;
    form->addRow("Starts:", cbKind);
    form->addRow("Time of the hour:", edTime);
    form->addRow("Window:", sbWindow);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cbKind, &QComboBox::currentIndexChanged, this, [this] { EnableFields(); });
    EnableFields();
}

void SlotTimeDialog::EnableFields() {
    const int kind = cbKind->currentIndex();
    edTime->setEnabled(kind > 0);
    sbWindow->setEnabled(kind > 1);
}

std::optional<SlotTime> SlotTimeDialog::Chosen(std::string& problem) const {
    problem.clear();
    const int kind = cbKind->currentIndex();
    if (kind <= 0) return std::nullopt;
    const std::string typed = edTime->text().toStdString();
    const std::optional<int32_t> second = ParseHourMark(typed);
    if (!second) {
        problem = "\"" + typed +
                  "\" is not a time of the hour. Type minutes and seconds, for example :20:00.";
        return std::nullopt;
    }
    return SlotTime{*second, kKinds[kind - 1], sbWindow->value()};
}

void SlotTimeDialog::done(int result) {
    std::string problem;
    if (result == QDialog::Accepted && (Chosen(problem), !problem.empty())) {
        QMessageBox::warning(this, "Kestrune", QString::fromStdString(problem));
        edTime->setFocus();
        edTime->selectAll();
        return;
    }
    QDialog::done(result);
}

}  // namespace kestrune::app
