#include "CliOptions.h"

#include <algorithm>

#include "Verbs.h"

namespace kestrune::cli {

bool TakeFlag(std::vector<std::string>& args, const std::string& flag) {
    const auto found = std::find(args.begin(), args.end(), flag);
    if (found == args.end()) return false;
    args.erase(found);
    return true;
}

std::optional<std::string> TakeValue(std::vector<std::string>& args, const std::string& name) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        if (i + 1 == args.size()) throw UsageError{name + " needs a value"};
        std::string value = args[i + 1];
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        return value;
    }
    return std::nullopt;
}

CalendarDate DateOption(const std::string& name, const std::string& text) {
    const std::optional<CalendarDate> date = ParseCalendarDate(text);
    if (!date) throw UsageError{name + " must be a date YYYY-MM-DD, not \"" + text + "\""};
    return *date;
}

}  // namespace kestrune::cli
