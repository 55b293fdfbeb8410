#pragma once
// The categories of a session's clock template as the separation windows see them: how many
// songs each holds and how many slots of one pass take from it.

#include <vector>

#include "building/BuildSession.h"
#include "rules/WindowsThatHold.h"

namespace kestrune {

// In the order of their first slot; a category whose file cannot be read is left out (the
// build's own checks name it).
std::vector<CategoryRound> CategoryRoundsOf(const BuildSession& session);

}  // namespace kestrune
