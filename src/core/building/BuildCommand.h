#pragma once
// The three commands of the build page that act on a whole build: build, accept and clear.

#include <optional>
#include <string>

#include "building/BuildContext.h"
#include "building/PlaylistBuilder.h"
#include "platform/Paths.h"

namespace kestrune {

namespace messages {
extern const char* const kNoTemplate;
extern const char* const kNoMasterPlaylists;
extern const char* const kNoOutputFile;
extern const char* const kLengthBelowOne;
extern const char* const kBuildComplete;
}  // namespace messages

// Checks the inputs, repairs every master playlist and builds. Nothing when one of the checks
// failed (its message has been shown and nothing changed); otherwise what the build came to.
// Its closing box says the list is complete only when it reached the desired length; a build
// that fell short shows its last status instead (the list stays, and may still be accepted).
std::optional<BuildOutcome> btBuildPlaylistClick(BuildContext& context);

// Makes every line of every master playlist a full path and removes the lines that name no file.
void RepairPlaylists(BuildContext& context, PathStyle style = kNativePathStyle);

// The repair's completion of one line of the playlist stored at `playlistPath`.
std::string CompleteLine(const std::string& line, const std::string& playlistPath, PathStyle style);
// Lines too short to be a full path can name no file: the repair takes them as missing.
bool TooShortForFullPath(const std::string& line, PathStyle style);

// Writes the final playlist, and the text log beside it when "Save to Text" is on.
void btAcceptFinalPlaylistClick(BuildContext& context);

// Throws the final playlist away and sets the meters back to 0.
void btClearFinalPlaylistClick(BuildContext& context);

}  // namespace kestrune
