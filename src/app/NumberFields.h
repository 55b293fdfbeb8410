#pragma once
// Fields where the operator types a whole number: what is typed stays as typed (no completion
// to a preset that starts with the same digits), only digits go in, and a value outside its
// range is refused with a message that names the field.

#include <QComboBox>
#include <QString>

#include <optional>
#include <string>

namespace kestrune::app {

// An editable list whose presets are offered, never put in place of what is typed.
void KeepTypedText(QComboBox* box);

// As above, and only digits can be typed (at most `digits` of them).
void WholeNumbersOnly(QComboBox* box, int digits);

// The number the text holds when it is a whole number from `lowest` to `highest`.
std::optional<int> WholeNumberIn(const QString& text, int lowest, int highest);

// "Title separation (in hours) must be a whole number from 0 to 8760."
std::string NumberRangeMessage(const std::string& field, int lowest, int highest);

}  // namespace kestrune::app
