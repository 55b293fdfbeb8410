#pragma once
// The one way a build is written, whoever wrote it (the accept command, a scheduled run, the
// tool's schedule and week): its playlist, its text log and its plays, as one step.

#include <string>

#include "building/BuildSession.h"
#include "mpgtools/ReaderSetup.h"
#include "output/PlaylistEntry.h"

namespace kestrune {

// Writes `songs` at `playlistPath` in its format, the session's text log beside it
// (PATH + ".txt") when `withTextLog`, and the plays the builds left for the history, all as one
// step: a kill leaves them all old or all new. The pending plays are then forgotten.
void WriteBuild(BuildSession& session, const std::string& playlistPath,
                const PlaylistEntries& songs, bool withTextLog);

// The final playlist at the session's output file, its log when the session asks for one; songs
// the build did not read are read with a reader of `setup`.
void WriteFinalBuild(BuildSession& session, const ReaderSetup& setup);

}  // namespace kestrune
