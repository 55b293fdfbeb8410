#pragma once
// Writing the final playlist in the format its file name asks for.

#include <string>

#include "mpgtools/ReaderSetup.h"
#include "output/PlaylistEntry.h"
#include "platform/LineList.h"
#include "platform/SettingsFiles.h"

namespace kestrune {

// The [Output] settings of the configuration files; defaults where they have none.
OutputOptions ReadOutputOptions(const SettingsFiles& files);
// "Unable to write to %s" when the file cannot be written.
void WriteOutputOptions(const SettingsFiles& files, const OutputOptions& options);

// A song as a playlist shows it: only what the tag says; one without a title by its file's name.
PlaylistEntry TaggedEntry(const std::string& path, int32_t seconds, std::string artist,
                          std::string title, std::string album);

// The songs of a playlist: with `withFacts`, playing time, artist, title and album as `placed`
// holds them (what the build read, so a file gone since keeps its length), else read from each
// file with a reader of `setup`; the path alone otherwise. A file that cannot be read gives the
// reader's fallbacks, without asking.
PlaylistEntries SongEntries(const LineList& paths, bool withFacts, const ReaderSetup& setup,
                            const PlacedSongs* placed = nullptr);

// Replaces the file at once with the whole playlist in the format of its extension ("Cannot
// create file %s"): a playout that watches the file never reads half of it. The songs are read
// only when the format shows their tags, with a reader of `setup`.
void WriteFinalPlaylist(const std::string& outputPath, const LineList& paths,
                        const OutputOptions& options, const ReaderSetup& setup);
// The same for songs already read.
void WritePlaylistEntries(const std::string& outputPath, const PlaylistEntries& entries,
                          const OutputOptions& options);

}  // namespace kestrune
