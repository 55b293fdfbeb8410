#pragma once
// The plays of a build go into the station's play history when its playlist is written, not
// before: a playlist that never airs leaves no plays behind.

#include "building/BuildSession.h"

namespace kestrune {

// Writes the history the builds of the final playlist left, if any, and forgets it.
void RecordPendingPlays(BuildSession& session);
// Forgets it unwritten (the final playlist was thrown away).
void DropPendingPlays(BuildSession& session);

}  // namespace kestrune
