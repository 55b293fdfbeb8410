#pragma once
// Taking the verbs' options out of their arguments; a wrong one is a UsageError.

#include <optional>
#include <string>
#include <vector>

#include "sessions/WeekGrid.h"

namespace kestrune::cli {

// Takes a flag ("--strict") out of the arguments; whether it was there.
bool TakeFlag(std::vector<std::string>& args, const std::string& flag);

// Takes "NAME VALUE" out of the arguments; nothing when the option is absent.
std::optional<std::string> TakeValue(std::vector<std::string>& args, const std::string& name);

// The date of an option ("--from"), YYYY-MM-DD.
CalendarDate DateOption(const std::string& name, const std::string& text);

}  // namespace kestrune::cli
