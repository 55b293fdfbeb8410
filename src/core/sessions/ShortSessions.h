#pragma once
// What an unattended run (the schedule, a week) names at its end: every session or hour it
// passed over because it failed one of the build's checks, left unwritten because it placed
// nothing, or wrote short of its length.

#include <string>
#include <vector>

#include "building/PlaylistBuilder.h"

namespace kestrune {

struct ShortSession {
    std::string session;  // the session file, or the hour of a week ("Tue 07")
    BuildOutcome outcome;
    // The failed check's message: the session was passed over.
    std::string refusal = std::string();
    // The playlist left as it was, because nothing was placed.
    std::string notWritten = std::string();
};

// One line for each: "<session>: The playlist is H:MM:SS short of the desired H:MM:SS.", with
// "Nothing was placed; PATH was not written." after it when nothing was, or
// "<session> was passed over: <message>".
std::string ShortSessionText(const ShortSession& session);
std::string ShortSessionsText(const std::vector<ShortSession>& sessions);

}  // namespace kestrune
