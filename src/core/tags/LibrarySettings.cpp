#include "tags/LibrarySettings.h"

#include <array>

#include "platform/IniFile.h"
#include "platform/Paths.h"

namespace kestrune {

namespace {

LibrarySettings& Current() {
    static LibrarySettings settings;
    return settings;
}

bool EndsWithNoCase(std::string_view name, std::string_view extension) {
    return name.size() >= extension.size() &&
           CompareTextNoCase(name.substr(name.size() - extension.size()), extension) == 0;
}

bool IsValue(const std::optional<std::string>& value, std::string_view wanted) {
    return value && CompareTextNoCase(*value, wanted) == 0;
}

}  // namespace

LibrarySettings ReadLibrarySettings(const std::string& iniPath) {
    LibrarySettings settings;
    settings.id3v1Only = IsValue(ReadIniValue(iniPath, kLibrarySection, "tags"), "id3v1");
    settings.mp3Only = IsValue(ReadIniValue(iniPath, kLibrarySection, "formats"), "mp3");
    return settings;
}

void WriteLibrarySettings(const std::string& iniPath, const LibrarySettings& settings) {
    WriteIniValue(iniPath, kLibrarySection, "tags", settings.id3v1Only ? "id3v1" : "all");
    WriteIniValue(iniPath, kLibrarySection, "formats", settings.mp3Only ? "mp3" : "all");
}

void SetLibrarySettings(const LibrarySettings& settings) {
    Current() = settings;
}

const LibrarySettings& CurrentLibrarySettings() {
    return Current();
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

bool IsLibraryFileName(std::string_view name) {
    return IsLibraryFileName(name, Current());
}

}  // namespace kestrune
