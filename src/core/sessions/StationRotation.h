#pragma once
// The rotation of a station over a span of days, from its files: the category playlists of its
// sessions (every session in the sessions folder, and the start-up list), the play history
// following the as-played log where it covers an hour, and the rules of its configuration.

#include <string>
#include <vector>

#include "mpgtools/ReaderSetup.h"
#include "onair/RotationFigures.h"
#include "rules/RotationSettings.h"
#include "rules/RuleSettings.h"

namespace kestrune {

struct RotationRequest {
    CalendarDate from;
    CalendarDate to;  // included
    std::string startFolder;
    std::string sessionsFolder;
    RuleSettings rules;
    RotationSettings rotation;
};

struct StationRotation {
    RotationFigures figures;
    // What could not be read (a category playlist, a session, lines of the history), and a
    // history that is not there; each said once, none stops the figures.
    std::vector<std::string> problems;
};

// The category playlists of the station's sessions, each once, in the order the sessions (by
// name, the start-up list first) list them; the Dupe Checker's hours (the longest any session
// with it ticked uses, 0 when none does) go to `dupeHours`.
std::vector<std::string> StationCategoryLists(const std::string& startFolder,
                                              const std::string& sessionsFolder, int& dupeHours,
                                              std::vector<std::string>& problems);

// Songs are read with `reader` where the as-played log names a file the history never had.
StationRotation ReadStationRotation(const RotationRequest& request, const ReaderSetup& reader);

}  // namespace kestrune
