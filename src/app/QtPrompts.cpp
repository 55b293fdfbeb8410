#include "QtPrompts.h"

#include "LocalText.h"
#include "SlotTimeDialog.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace kestrune::app {

namespace {

// "Winamp Playlist|*.m3u|PLS Playlist|*.pls" as Qt writes filters:
// "Winamp Playlist (*.m3u)", "PLS Playlist (*.pls)".
QStringList QtFilters(const std::string& filter) {
    const QStringList parts = Local(filter).split('|');
    if (parts.size() < 2) return {Local(filter)};
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + parts[i + 1] + ")";
    return filters;
}

// Qt's own dialog, where a name with a wildcard (the session dialogs propose "*.cwt") filters
// the list, as a classic file dialog does, instead of being taken for a file's name.
class WildcardFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const auto* name = findChild<QLineEdit*>("fileNameEdit");
        const QString typed = name != nullptr ? name->text().trimmed() : QString();
        if (typed.contains('*') || typed.contains('?')) {
            setNameFilter(typed);
            return;
        }
        QFileDialog::accept();
    }
};

void Prepare(QFileDialog& dialog, const std::string& filter, const std::string& extension,
             const std::string& folder, const std::string& name) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!filter.empty()) dialog.setNameFilters(QtFilters(filter));
    // A name typed without an extension takes the one of the file type chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        const qsizetype dot = f.lastIndexOf("*.");
        if (dot >= 0) dialog.setDefaultSuffix(f.mid(dot + 2).chopped(1));
    });
    if (!extension.empty()) dialog.setDefaultSuffix(Local(extension));
    if (!folder.empty()) dialog.setDirectory(Local(folder));
    if (!name.empty()) dialog.selectFile(Local(name));
}

}  // namespace

void QtPrompts::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, "Kestrune", Local(text), QMessageBox::Ok, parent_);
    box.exec();
}

void QtPrompts::ShowError(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, "Kestrune", Local(WithFullStop(text)), QMessageBox::Ok,
                    parent_);
    box.exec();
}

int QtPrompts::AskChoice(const std::string& text, const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Question, "Kestrune", Local(text), QMessageBox::NoButton, parent_);
    std::vector<QPushButton*> pushed;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const bool last = i + 1 == buttons.size();
        pushed.push_back(box.addButton(Local(buttons[i]), last ? QMessageBox::RejectRole
                                                                : QMessageBox::AcceptRole));
    }
    if (pushed.empty()) return -1;
    box.setDefaultButton(pushed.back());
    box.setEscapeButton(pushed.back());
    box.exec();
    for (size_t i = 0; i < pushed.size(); ++i)
        if (box.clickedButton() == pushed[i]) return static_cast<int>(i);
    return static_cast<int>(pushed.size()) - 1;
}

std::optional<AppPrompts::SlotTimeAnswer> QtPrompts::AskSlotTime(
    const std::string& slot, const std::optional<SlotTime>& current) {
    SlotTimeDialog dialog(Local(slot), current, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::string problem;
    return SlotTimeAnswer{dialog.Chosen(problem)};
}

bool QtPrompts::AskYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::Question, "Kestrune", Local(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int QtPrompts::AskOpenError(const std::string& fileName) {
    QMessageBox box(QMessageBox::Critical, "Kestrune", Local("Error openning file: " + fileName),
                    QMessageBox::Cancel | QMessageBox::Retry | QMessageBox::Ignore, parent_);
    // For a library with many bad files: one answer for the rest of the command.
    QPushButton* ignoreAll = box.addButton("Ignore All", QMessageBox::AcceptRole);
    const int pressed = box.exec();
    if (box.clickedButton() == ignoreAll) return kAnswerIgnoreAll;
    switch (pressed) {
        case QMessageBox::Retry:
            return kAnswerRetry;
        case QMessageBox::Ignore:
            return kAnswerIgnore;
        default:
            return kAnswerCancel;
    }
}

std::optional<std::string> QtPrompts::AskSaveFileName(const SaveQuestion& question) {
    WildcardFileDialog dialog(parent_, Local(question.title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    Prepare(dialog, question.filter, question.defaultExtension, question.initialFolder,
            question.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toLocal8Bit().toStdString();
}

std::vector<std::string> QtPrompts::AskOpenFileNames(const OpenQuestion& question) {
    WildcardFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(question.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    Prepare(dialog, question.filter, question.defaultExtension, question.initialFolder,
            question.proposedName);
    std::vector<std::string> chosen;
    if (dialog.exec() != QDialog::Accepted) return chosen;
    for (const QString& file : dialog.selectedFiles()) chosen.push_back(file.toLocal8Bit().toStdString());
    return chosen;
}

}  // namespace kestrune::app
