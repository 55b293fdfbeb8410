#pragma once
// The categories of a session's clock template as the separation windows see them: how many
// songs each holds and how many slots of one pass take from it.

#include <vector>

#include "building/BuildSession.h"
#include "rules/SongFactsCache.h"
#include "rules/WindowsThatHold.h"

namespace kestrune {

// In the order of their first slot; a category whose file cannot be read is left out (the
// build's own checks name it). With `songs`, each category's mean playing time from a few of
// its songs spread over the file (reading every song would keep a window waiting on a big
// library).
std::vector<CategoryRound> CategoryRoundsOf(const BuildSession& session,
                                            SongFactsCache* songs = nullptr);

}  // namespace kestrune
