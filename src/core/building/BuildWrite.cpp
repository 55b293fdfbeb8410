#include "building/BuildWrite.h"

#include <vector>

#include "building/PlaysToRecord.h"
#include "output/FinalPlaylistFile.h"
#include "output/PlaylistWriter.h"
#include "platform/FileSetReplace.h"
#include "platform/LineList.h"

namespace kestrune {

void WriteBuild(BuildSession& session, const std::string& playlistPath,
                const PlaylistEntries& songs, bool withTextLog) {
    std::vector<FileBytes> files;
    files.push_back({playlistPath, WriterForPath(playlistPath).Format(songs, session.output)});
    if (withTextLog) files.push_back({playlistPath + ".txt", FormatLines(session.mTextOutput)});
    if (!session.historyPath.empty()) files.push_back({session.historyPath, session.historyText});
    ReplaceFilesTogether(files);
    DropPendingPlays(session);
}

void WriteFinalBuild(BuildSession& session, const ReaderSetup& setup) {
    const std::string& path = session.OutputFile();
    const bool withFacts = WriterForPath(path).NeedsSongFacts(session.output);
    WriteBuild(session, path,
               SongEntries(session.lbFinalPlaylist, withFacts, setup, &session.placedSongs),
               session.cbTextOutput);
}

}  // namespace kestrune
