#include "output/FinalPlaylistFile.h"

#include "mpgtools/MPGTools.h"
#include "output/PlaylistWriter.h"
#include "platform/FileReplace.h"
#include "platform/Paths.h"
#include "platform/SettingsSection.h"

namespace kestrune {

namespace {
constexpr const char* kOutputSection = "Output";
constexpr const char* kExtinfKey = "extinf";
constexpr uint16_t kIgnore = 5;

// "Intro Jingle" of ".../Intro Jingle.mp3": the name a player shows for an untagged file.
std::string FileNameWithoutExtension(const std::string& path) {
    std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}
}  // namespace

OutputOptions ReadOutputOptions(const SettingsFiles& files) {
    OutputOptions options;
    options.extinf = SettingsSection(files, kOutputSection).Flag(kExtinfKey);
    return options;
}

void WriteOutputOptions(const SettingsFiles& files, const OutputOptions& options) {
    WriteSettingsSection(files, kOutputSection, {{kExtinfKey, options.extinf ? "1" : "0"}});
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
        entry.seconds = static_cast<int32_t>(PlayingSeconds(reader.MPEGFileInfo));
        // Only what the tag says: a song without a title is shown by its file's name.
        entry.artist = reader.TaggedArtist();
        entry.title = reader.TaggedTitle();
        if (entry.title.empty()) entry.title = FileNameWithoutExtension(paths[i]);
        entry.album = reader.TaggedAlbum();
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
