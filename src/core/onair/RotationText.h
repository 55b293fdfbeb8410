#pragma once
// The rotation's figures as the tool prints them: plain text, one line per category and per rule,
// or a CSV with one row for each (CR LF, fields quoted as RFC 4180 wants). Pure.

#include <string>

#include "onair/RotationFigures.h"

namespace kestrune {

std::string RotationText(const RotationFigures& figures);
std::string RotationCsv(const RotationFigures& figures);

// A count with one decimal where it has a fraction: "14", "14.5", "9.3".
std::string FigureText(double value);

}  // namespace kestrune
