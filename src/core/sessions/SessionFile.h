#pragma once
// Session files (".cwt"): one build session as a list of lines divided by separator lines.

#include <string>

#include "building/BuildContext.h"

namespace kestrune {

namespace messages {
extern const char* const kSessionNoPlaylists;
extern const char* const kSessionNoTemplate;
extern const char* const kSessionTooShort;
extern const char* const kSessionNoOutputFile;
}  // namespace messages

// The session save dialog; the name chosen stays proposed for the next save.
SaveQuestion SessionSaveDialog(const std::string& sessionsFolder);

// The lines of the file for the session as it stands.
LineList SessionLines(const BuildSession& session);

// Checks the session, asks for a file name and writes the file. False when a check failed or
// the user cancelled; nothing is written then.
bool SaveSession(BuildContext& context, SaveQuestion& dialog);

// Replaces the session's inputs by the file's content. The panes and the text log are emptied
// first, so a file that cannot be read or ends early leaves them as far as the load came.
void LoadSession(const std::string& path, BuildContext& context);

}  // namespace kestrune
