#pragma once
// The [Library] section of kestrune.ini: which tags the reader takes and which files the list
// tools list. Read at start-up into the reader's setup; the defaults read every tag and every format.
//   tags=id3v1    only the ID3v1 tag, as single-byte text cut to 30 characters
//   formats=mp3   the list tools list MP3 files only

#include <string>
#include <string_view>

#include "platform/SettingsFiles.h"

namespace kestrune {

inline constexpr const char* kLibrarySection = "Library";

struct LibrarySettings {
    bool id3v1Only = false;
    bool mp3Only = false;
};

// The settings of the configuration files; the defaults where they have none.
LibrarySettings ReadLibrarySettings(const SettingsFiles& files);

// Writes both keys ("tags=id3v1" or "tags=all", "formats=mp3" or "formats=all") in one write,
// every other line kept ("Unable to write to %s").
void WriteLibrarySettings(const SettingsFiles& files, const LibrarySettings& settings);

// True when the name ends in the extension of an audio format the library lists (".mp3",
// ".flac", ".ogg", ".oga", ".opus", ".m4a", ".wav", ".aif", ".aiff"), letter case aside; only
// ".mp3" with `mp3Only`.
bool IsLibraryFileName(std::string_view name, const LibrarySettings& settings);

}  // namespace kestrune
