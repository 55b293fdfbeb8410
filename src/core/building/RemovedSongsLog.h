#pragma once
// Lines the repair removes are never lost for good: each is also added to a file beside the
// playlist it came from, with the date and the playlist, so that an operator can put it back.

#include <string>

#include "platform/Clock.h"
#include "platform/LineList.h"

namespace kestrune {

inline constexpr const char* kRemovedSongsFile = "removed-songs.txt";

// The file beside the playlist: its folder + "removed-songs.txt".
std::string RemovedSongsLogPath(const std::string& playlistPath);

// "2026-12-09 05:10:00", TAB, the playlist, TAB, the line as it stood.
std::string RemovedSongRecord(const LocalDateTime& when, const std::string& playlistPath,
                              const std::string& line);

// Adds the records at the end of the playlist's file of removed songs, whole or not at all
// ("Cannot create file %s").
void AppendRemovedSongs(const std::string& playlistPath, const LineList& records);

}  // namespace kestrune
