#include "output/FinalPlaylistFile.h"

#include "mpgtools/MPGTools.h"
#include "output/PlaylistWriter.h"
#include "platform/FileReplace.h"
#include "sessions/IniFile.h"

namespace kestrune {

namespace {
constexpr const char* kOutputSection = "Output";
constexpr const char* kExtinfKey = "extinf";
constexpr uint16_t kIgnore = 5;
}  // namespace

OutputOptions ReadOutputOptions(const std::string& iniPath) {
    OutputOptions options;
    options.extinf = ReadIniValue(iniPath, kOutputSection, kExtinfKey).value_or("0") == "1";
    return options;
}

void WriteOutputOptions(const std::string& iniPath, const OutputOptions& options) {
    WriteIniValue(iniPath, kOutputSection, kExtinfKey, options.extinf ? "1" : "0");
}

PlaylistEntries SongEntries(const LineList& paths, bool withFacts) {
    PlaylistEntries entries(paths.size());
    TMPEGAudio reader;
    // The build has read every song already; a file gone since is no question worth a box.
    reader.ErrorCallback = [](const TMPEGFileInfo&) { return kIgnore; };
    for (size_t i = 0; i < paths.size(); ++i) {
        PlaylistEntry& entry = entries[i];
        entry.path = paths[i];
        if (!withFacts) continue;
        reader.SetFileName(paths[i]);
        entry.seconds = reader.MPEGFileInfo.Duration;
        entry.artist = reader.GetArtist();
        entry.title = reader.GetTitle();
        entry.album = reader.MPEGFileInfo.Album;
    }
    return entries;
}

void WriteFinalPlaylist(const std::string& outputPath, const LineList& paths,
                        const OutputOptions& options) {
    const bool withFacts = WriterForPath(outputPath).NeedsSongFacts(options);
    WritePlaylistEntries(outputPath, SongEntries(paths, withFacts), options);
}

void WritePlaylistEntries(const std::string& outputPath, const PlaylistEntries& entries,
                          const OutputOptions& options) {
    ReplaceWholeFile(outputPath, WriterForPath(outputPath).Format(entries, options));
}

}  // namespace kestrune
