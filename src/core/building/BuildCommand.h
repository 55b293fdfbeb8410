#pragma once
// The three commands of the build page that act on a whole build: build, accept and clear.

#include <optional>
#include <string>
#include <vector>

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
extern const char* const kListRepaired;
}  // namespace messages

// The refusals of an output file that is a category of the session and of a slot whose
// playlist is no longer among the master playlists, with the names filled in.
std::string OutputIsCategoryMessage(const std::string& outputFile);
// "Playlist is complete. ..." and, when rules had to break in the build, how many.
std::string BuildCompleteMessage(size_t rulesBroken);
std::string OrphanSlotMessage(int slot, const std::string& playlist);
// The playlist of the session (a master playlist or a slot) that is the output file; empty
// when it is none of them.
std::string CategoryAtOutput(const BuildSession& session);
// The same for any file the session would write.
std::string CategoryAt(const BuildSession& session, const std::string& file);
// The first slot whose playlist is not among the master playlists, or -1.
int OrphanSlot(const BuildSession& session);

// The message of the first of the build's checks that the session fails, in their order (the
// template, the master playlists, the output file, the length, an output that is a category, a
// slot whose playlist is gone); empty when it passes them all. Unattended runs use it too.
std::string FailedBuildCheck(const BuildSession& session);

// Checks the inputs, repairs every master playlist and builds. Nothing when one of the checks
// failed (its message has been shown and nothing changed); otherwise what the build came to.
// Its closing box says the list is complete only when it reached the desired length; a build
// that fell short shows its last status instead (the list stays, and may still be accepted).
std::optional<BuildOutcome> btBuildPlaylistClick(BuildContext& context);

// Removes from every master playlist the song lines that name no file (relative paths taken
// from the playlist's folder), naming each, then a count of them. Comment lines ("#...") are
// never songs and stay, but an "#EXTINF" line goes with its song; the file keeps its own form
// (byte-order mark, line ends). Every line removed is also added to "removed-songs.txt" beside
// its playlist. Every playlist is read and judged first, and nothing is changed when one cannot
// be read or rewritten, or when its songs' music folder is away (more than half of its songs
// missing, or a folder above a missing song not there or not readable).
// The music folders of `playlists` judged as the repair judges them, with nothing changed:
// stops ("The music folder /srv/music cannot be reached; nothing was changed.") when a playlist
// whose folder is gone, unreadable or empty has no song there at all, and names a folder away
// once otherwise. The unattended runs use it before they build an hour.
void CheckMusicFolders(BuildContext& context, const std::vector<std::string>& playlists);

void RepairPlaylists(BuildContext& context);

// Writes the final playlist, and the text log beside it when "Save to Text" is on. False when
// nothing was written: no output file, or one that would overwrite a category (said so).
bool btAcceptFinalPlaylistClick(BuildContext& context);

// The text log's file: the output file's path followed by ".txt".
std::string TextLogPath(const BuildSession& session);

// Throws the final playlist and its text log away and sets the meters back to 0.
void btClearFinalPlaylistClick(BuildContext& context);

}  // namespace kestrune
