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

PlaylistEntry TaggedEntry(const std::string& path, int32_t seconds, std::string artist,
                          std::string title, std::string album) {
    if (title.empty()) title = FileNameWithoutExtension(path);
    return PlaylistEntry{path, seconds, std::move(artist), std::move(title), std::move(album)};
}

PlaylistEntries SongEntries(const LineList& paths, bool withFacts, const ReaderSetup& setup,
                            const PlacedSongs* placed) {
    PlaylistEntries entries(paths.size());
    TMPEGAudio reader(setup);
    // The build has read every song already; a file gone since is no question worth a box.
    reader.ErrorCallback = [](const TMPEGFileInfo&) { return kIgnore; };
    for (size_t i = 0; i < paths.size(); ++i) {
        PlaylistEntry& entry = entries[i];
        entry.path = paths[i];
        if (!withFacts) continue;
        if (placed != nullptr) {
            const auto found = placed->find(paths[i]);
            if (found != placed->end()) {
                entry = found->second;
                continue;
            }
        }
        reader.SetFileName(paths[i]);
        entry = TaggedEntry(paths[i], static_cast<int32_t>(PlayingSeconds(reader.MPEGFileInfo)),
                            reader.TaggedArtist(), reader.TaggedTitle(), reader.TaggedAlbum());
    }
    return entries;
}

void WriteFinalPlaylist(const std::string& outputPath, const LineList& paths,
                        const OutputOptions& options, const ReaderSetup& setup) {
    const bool withFacts = WriterForPath(outputPath).NeedsSongFacts(options);
    WritePlaylistEntries(outputPath, SongEntries(paths, withFacts, setup), options);
}

void WritePlaylistEntries(const std::string& outputPath, const PlaylistEntries& entries,
                          const OutputOptions& options) {
    ReplaceWholeFile(outputPath, WriterForPath(outputPath).Format(entries, options));
}

}  // namespace kestrune
