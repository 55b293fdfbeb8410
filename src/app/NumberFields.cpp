#include "NumberFields.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace kestrune::app {

void KeepTypedText(QComboBox* box) {
    // Qt's editable list completes inline by default: "10" and Tab became "1020".
    box->setCompleter(nullptr);
}

void WholeNumbersOnly(QComboBox* box, int digits) {
    KeepTypedText(box);
    const QRegularExpression pattern(QString("\\d{0,%1}").arg(digits));
    box->setValidator(new QRegularExpressionValidator(pattern, box));
}

std::optional<int> WholeNumberIn(const QString& text, int lowest, int highest) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    for (const QChar c : trimmed)
        if (!c.isDigit() || c.unicode() > '9') return std::nullopt;
    bool ok = false;
    const qlonglong value = trimmed.toLongLong(&ok);
    if (!ok || value < lowest || value > highest) return std::nullopt;
    return static_cast<int>(value);
}

std::string NumberRangeMessage(const std::string& field, int lowest, int highest) {
    return field + " must be a whole number from " + std::to_string(lowest) + " to " +
           std::to_string(highest) + ".";
}

}  // namespace kestrune::app
