#pragma once
// A text from a file or a tag as a message or a one-line listing shows it: control bytes, which
// would break the line or move the terminal's cursor, written as \xHH, and a text longer than
// `most` bytes cut there with "..." after it, so that a 100 MB line is not echoed whole.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrune {

std::string ShownText(std::string_view text, size_t most = std::string_view::npos);

}  // namespace kestrune
