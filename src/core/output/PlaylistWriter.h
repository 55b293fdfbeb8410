#pragma once
// Playlist formats: one writer per format, chosen by the output file's extension. Writers are
// pure (entries and options in, bytes out) and never throw; reading the bytes back is there for
// tests and fuzzing, and gives what a player would take from the file.

#include <string>
#include <string_view>
#include <vector>

#include "output/PlaylistEntry.h"

namespace kestrune {

class PlaylistWriter {
public:
    virtual ~PlaylistWriter() = default;
    // Lower case, with its dot: ".m3u8".
    virtual std::string_view Extension() const = 0;
    // The name a file dialog shows for the format.
    virtual std::string_view Description() const = 0;
    // Whether Format uses more of an entry than its path (so the songs must be read first).
    virtual bool NeedsSongFacts(const OutputOptions& options) const = 0;
    virtual std::string Format(const PlaylistEntries& entries,
                               const OutputOptions& options) const = 0;
    virtual PlaylistEntries ReadBack(std::string_view bytes) const = 0;
};

// Every format, the default (.m3u) first.
const std::vector<const PlaylistWriter*>& PlaylistWriters();

// The writer for a path's extension (letter case ignored); the .m3u writer for any other.
const PlaylistWriter& WriterForPath(std::string_view path);

// The file types of the output file's save dialog, the default first:
// "Winamp Playlist|*.m3u|Extended M3U, UTF-8|*.m3u8|...".
std::string OutputFileFilter();


// "ARTIST - TITLE", the form players split back into the two.
std::string DisplayTitle(const PlaylistEntry& entry);

}  // namespace kestrune
