#pragma once
// Before the repair removes a song it tells "the song is gone" from "its folder is not there":
// an unmounted drive or a share that is down makes every song of a playlist name no file, and
// removing them would empty the station's categories for good.

#include <string>
#include <vector>

namespace kestrune {

// The folder (with links followed) exists and its files can be reached.
bool FolderReachable(const std::string& folder);

// The folder to name when the missing songs of a playlist look like a library away rather than
// songs deleted. A song's folder that is gone counts as deleted when the nearest folder above
// it that exists lists files and most of the station's songs under it are there (an album
// folder deleted from a library that is there). Otherwise, when its folder is gone, cannot be
// read or is empty (an unmounted drive's mount point), the highest such folder is named; and
// when more than half of the playlist's `songLines` are missing from folders that are there,
// the folder they share. Empty when the removal may go ahead. `missingFiles` are the paths the
// playlist's missing lines name; `stationPresent` and `stationMissing` the songs of all the
// station's categories that are there and are not.
// With `fewFilesIsAway` false, only folders gone, unreadable or empty count: songs missing from
// a folder that lists files are songs gone, whatever their number.
std::string UnreachableMusicFolder(const std::vector<std::string>& missingFiles, size_t songLines,
                                   const std::vector<std::string>& stationPresent,
                                   const std::vector<std::string>& stationMissing,
                                   bool fewFilesIsAway = true);

// "The music folder /srv/music cannot be reached; nothing was changed."
std::string MusicFolderAwayMessage(const std::string& folder);

}  // namespace kestrune
