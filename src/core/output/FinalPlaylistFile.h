#pragma once
// Writing the final playlist in the format its file name asks for.

#include <string>

#include "building/LineList.h"
#include "output/PlaylistEntry.h"

namespace kestrune {

// The [Output] settings of the configuration file; defaults where it has none.
OutputOptions ReadOutputOptions(const std::string& iniPath);
// "Unable to write to %s" when the file cannot be written.
void WriteOutputOptions(const std::string& iniPath, const OutputOptions& options);

// The songs of the final playlist with what the format needs: playing time, artist, title and
// album read from each file when the format shows them, the path alone otherwise. A file that
// cannot be read gives the reader's fallbacks, without asking.
PlaylistEntries EntriesForFormat(const LineList& paths, const std::string& outputPath,
                                 const OutputOptions& options);

// Replaces the file at once with the whole playlist ("Cannot create file %s"): a playout that
// watches the file never reads half of it.
void WriteFinalPlaylist(const std::string& outputPath, const LineList& paths,
                        const OutputOptions& options);

}  // namespace kestrune
