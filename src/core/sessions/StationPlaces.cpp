#include "sessions/StationPlaces.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/FileInternals.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

namespace kestrune {

namespace {

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == kPathSeparator))
        path.pop_back();
    return path;
}

// `folder` + separator + `name`, with one separator also after a root such as "/".
std::string Under(const std::string& folder, const std::string& name) {
    return IncludeTrailingSeparator(folder) + name;
}

bool IsAbsolute(const std::string& path) {
    return std::filesystem::path(path).is_absolute();
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

std::string InstalledDataFolderFor(const std::string& programPath) {
    if (programPath.empty()) return {};
    const std::string binFolder = WithoutTrailingSeparator(ExtractFilePath(programPath));
    const std::string prefix = ExtractFilePath(binFolder);
    if (prefix.empty()) return {};
    return Under(Under(prefix, "share"), "kestrune");
}

bool UsesUserConfig(const ProgramFacts& facts) {
    return !facts.programFolderWritable || !facts.installedData.empty();
}

std::string ConfigFileFor(const ProgramFacts& facts) {
    if (!UsesUserConfig(facts)) return facts.localConfigFile;
    // A relative $XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
    std::string configHome = IsAbsolute(facts.configHome) ? facts.configHome : std::string();
    if (configHome.empty() && !facts.home.empty()) configHome = Under(facts.home, ".config");
    if (configHome.empty()) return facts.localConfigFile;
    return Under(Under(configHome, "kestrune"), kConfigFileName);
}

std::string DefaultStationFolder(const ProgramFacts& facts) {
    if (facts.home.empty()) return {};
    return Under(facts.home, kDefaultStationFolderName);
}

std::string StartFolderFor(const ProgramFacts& facts, StartedFrom from,
                           const std::string& rememberedFolder, bool rememberedExists) {
    if (from == StartedFrom::Folder) return facts.currentFolder;
    if (!rememberedFolder.empty() && rememberedExists) return rememberedFolder;
    const std::string station = DefaultStationFolder(facts);
    return station.empty() ? facts.currentFolder : station;
}

ProgramFacts ReadProgramFacts() {
    ProgramFacts facts;
    facts.programPath = ExecutablePath();
    const std::string programFolder = WithoutTrailingSeparator(ExtractFilePath(facts.programPath));
    facts.localConfigFile = ExtractFilePath(facts.programPath) + kConfigFileName;
    facts.programFolderWritable = !programFolder.empty() && detail::WritableByUs(programFolder);
    const std::string data = InstalledDataFolderFor(facts.programPath);
    if (!data.empty() && DirectoryExists(data)) facts.installedData = data;
#ifdef _WIN32
    facts.configHome = Environment("APPDATA");
    facts.home = Environment("USERPROFILE");
#else
    facts.configHome = Environment("XDG_CONFIG_HOME");
    facts.home = Environment("HOME");
#endif
    facts.currentFolder = CurrentDirectory();
    return facts;
}

SettingsFiles StationSettingsFiles(const std::string& startFolder, const std::string& programFile) {
    if (startFolder.empty()) return SettingsFiles(programFile);
    return SettingsFiles(Under(startFolder, kConfigFileName), programFile);
}

void MakeStationFolder(const std::string& folder, const std::string& demoSource) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(folder, ec)) return;
    const fs::path target(folder);
    // A name of our own beside the target: what an earlier, interrupted start left there goes.
    const fs::path making = target.parent_path() / ("." + target.filename().string() + ".making");
    fs::remove_all(making, ec);
    ec.clear();
    if (!demoSource.empty() && fs::is_directory(demoSource, ec))
        fs::copy(demoSource, making, fs::copy_options::recursive, ec);
    if (!ec) fs::create_directories(making / "Playlists", ec);
    if (!ec) fs::create_directories(making / "Sessions", ec);
    if (!ec) fs::rename(making, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove_all(making, ignored);
        // Another start may have made it meanwhile; that one is as good as ours.
        if (!fs::is_directory(target, ignored)) throw errors::CannotCreateFile(folder);
    }
}

StationPlaces PlaceStation(const ProgramFacts& facts, StartedFrom from, bool remember) {
    StationPlaces places;
    places.iniPath = ConfigFileFor(facts);
    const bool userConfig = places.iniPath != facts.localConfigFile;
    const std::string remembered =
        userConfig ? ReadIniValue(places.iniPath, kStationSection, kStationFolderKey).value_or("")
                   : std::string();
    places.startFolder =
        StartFolderFor(facts, from, remembered, !remembered.empty() && DirectoryExists(remembered));
    const std::string station = DefaultStationFolder(facts);
    if (from == StartedFrom::Menu && !station.empty() && places.startFolder == station) {
        const std::string demo = facts.installedData.empty()
                                     ? std::string()
                                     : Under(facts.installedData, "demo");
        MakeStationFolder(station, demo);
    }
    if (remember && userConfig && !places.startFolder.empty() &&
        places.startFolder != remembered) {
        std::error_code ignored;
        std::filesystem::create_directories(ExtractFilePath(places.iniPath), ignored);
        // Only a convenience for the next menu start: a configuration that cannot be written
        // leaves the start as it is, and Save Settings reports the file when it is tried.
        try {
            WriteIniValue(places.iniPath, kStationSection, kStationFolderKey, places.startFolder);
        } catch (const KestruneError&) {
        }
    }
    places.settings = StationSettingsFiles(places.startFolder, places.iniPath);
    return places;
}

}  // namespace kestrune
