#include "building/RemovedSongsLog.h"

#include <cstdio>

#include "platform/Files.h"
#include "platform/Paths.h"

namespace kestrune {

std::string RemovedSongsLogPath(const std::string& playlistPath) {
    return ExtractFilePath(playlistPath) + kRemovedSongsFile;
}

std::string RemovedSongRecord(const LocalDateTime& when, const std::string& playlistPath,
                              const std::string& line) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", when.year % 10000,
                  when.month % 100, when.day % 100, when.hour % 100, when.minute % 100,
                  when.second % 100);
    return std::string(stamp) + '\t' + playlistPath + '\t' + line;
}

void AppendRemovedSongs(const std::string& playlistPath, const LineList& records) {
    if (records.empty()) return;
    const std::string path = RemovedSongsLogPath(playlistPath);
    std::string text = FileExists(path) ? ReadWholeFile(path) : std::string();
    ReplaceWholeFile(path, WithLinesAdded(std::move(text), records));
}

}  // namespace kestrune
