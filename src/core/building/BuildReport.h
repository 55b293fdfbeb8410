#pragma once
// What a build names for the user: on the status line, in the text log, and wherever the view
// keeps such things (the tool's standard error).

#include <string>

#include "building/BuildContext.h"

namespace kestrune {

inline void ReportToUser(BuildContext& context, const std::string& text) {
    context.view.ReportProblem(text);
    context.session.mTextOutput.push_back(text);
}

}  // namespace kestrune
