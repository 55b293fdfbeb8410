#include "tags/LibrarySettings.h"

#include <array>

#include "platform/Paths.h"
#include "platform/SettingsSection.h"

namespace kestrune {

namespace {

bool EndsWithNoCase(std::string_view name, std::string_view extension) {
    return name.size() >= extension.size() &&
           CompareTextNoCase(name.substr(name.size() - extension.size()), extension) == 0;
}

bool IsValue(const std::optional<std::string>& value, std::string_view wanted) {
    return value && CompareTextNoCase(*value, wanted) == 0;
}

constexpr const char* kTags = "tags";
constexpr const char* kFormats = "formats";

}  // namespace

LibrarySettings ReadLibrarySettings(const SettingsFiles& files) {
    const SettingsSection section(files, kLibrarySection);
    LibrarySettings settings;
    settings.id3v1Only = IsValue(section.Text(kTags), "id3v1");
    settings.mp3Only = IsValue(section.Text(kFormats), "mp3");
    return settings;
}

void WriteLibrarySettings(const SettingsFiles& files, const LibrarySettings& settings) {
    WriteSettingsSection(files, kLibrarySection,
                         {{kTags, settings.id3v1Only ? "id3v1" : "all"},
                          {kFormats, settings.mp3Only ? "mp3" : "all"}});
}

bool IsLibraryFileName(std::string_view name, const LibrarySettings& settings) {
    static constexpr std::array<std::string_view, 9> kExtensions = {
        ".mp3", ".flac", ".ogg", ".oga", ".opus", ".m4a", ".wav", ".aif", ".aiff"};
    if (settings.mp3Only) return EndsWithNoCase(name, kExtensions[0]);
    for (const std::string_view extension : kExtensions) {
        if (EndsWithNoCase(name, extension)) return true;
    }
    return false;
}

}  // namespace kestrune
