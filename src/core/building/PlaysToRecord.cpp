#include "building/PlaysToRecord.h"

#include "platform/FileReplace.h"

namespace kestrune {

void RecordPendingPlays(BuildSession& session) {
    if (session.historyPath.empty()) return;
    ReplaceWholeFile(session.historyPath, session.historyText);
    DropPendingPlays(session);
}

void DropPendingPlays(BuildSession& session) {
    session.historyPath.clear();
    session.historyText.clear();
}

}  // namespace kestrune
