#pragma once
// What a build names for the user: on the status line, in the text log, and wherever the view
// keeps such things (the tool's standard error).

#include <string>

#include "building/BuildContext.h"

namespace kestrune {

inline void ReportToUser(BuildContext& context, const std::string& text) {
    context.view.ReportProblem(context.problemPrefix + text);
    // A file name with a line break in it must not break a line of the log.
    std::string line = text;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    context.session.mTextOutput.push_back(std::move(line));
}

}  // namespace kestrune
