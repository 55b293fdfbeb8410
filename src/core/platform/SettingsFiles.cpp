#include "platform/SettingsFiles.h"

#include <set>

#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"

namespace kestrune {

namespace {

// The file's text; nothing when it is not there or cannot be read (it then counts as absent,
// as a configuration file always has).
std::optional<std::string> TextOf(const std::string& path) {
    if (!FileExists(path)) return std::nullopt;
    try {
        return ReadWholeFile(path);
    } catch (const KestruneError&) {
        return std::nullopt;
    }
}

}  // namespace

SettingsFiles::SettingsFiles(std::string file) {
    if (!file.empty()) paths_.push_back(std::move(file));
}

SettingsFiles::SettingsFiles(const char* file) : SettingsFiles(std::string(file)) {}

SettingsFiles::SettingsFiles(const std::string& first, const std::string& then) : SettingsFiles(first) {
    if (then.empty()) return;
    if (paths_.empty() || !SameFile(paths_.front(), then)) paths_.push_back(then);
}

std::vector<SettingsLayer> SettingsFiles::Read() const {
    std::vector<SettingsLayer> layers;
    for (const std::string& path : paths_) {
        if (std::optional<std::string> text = TextOf(path))
            layers.push_back(SettingsLayer{path, std::move(*text)});
    }
    return layers;
}

SettingsFileState SettingsFiles::StateOf(const std::string& path) const {
    if (!FileExists(path)) return SettingsFileState::Missing;
    return TextOf(path) ? SettingsFileState::Read : SettingsFileState::Unreadable;
}

bool SettingsFiles::NoneRead() const {
    for (const std::string& path : paths_)
        if (TextOf(path)) return false;
    return true;
}

std::string SettingsFiles::FileFor(const std::string& section) const {
    if (paths_.empty()) return std::string();
    for (size_t i = 0; i + 1 < paths_.size(); ++i) {
        const std::optional<std::string> text = TextOf(paths_[i]);
        if (text && HasIniSection(*text, section)) return paths_[i];
    }
    return paths_.back();
}

std::string WithSectionValues(const std::string& iniText, const std::string& section,
                              const SettingsValues& values) {
    std::string text = iniText;
    for (const auto& [key, value] : values) text = SetIniValue(text, section, key, value);
    return text;
}

void WriteSettingsSection(const SettingsFiles& files, const std::string& section,
                          const SettingsValues& values) {
    const std::string path = files.FileFor(section);
    try {
        const std::string text = FileExists(path) ? ReadWholeFile(path) : std::string();
        ReplaceWholeFile(path, WithSectionValues(text, section, values));
    } catch (const KestruneError&) {
        throw errors::UnableToWrite(path);
    }
}

std::vector<SettingInForce> SettingsInForce(const SettingsFiles& files) {
    const std::vector<SettingsLayer> layers = files.Read();
    std::vector<SettingInForce> settings;
    std::set<std::pair<std::string, std::string>> seen;
    for (const SettingsLayer& layer : layers) {
        for (const IniEntry& entry : IniEntries(layer.text)) {
            if (!seen.insert({LowerCase(entry.section), LowerCase(entry.key)}).second) continue;
            // The value a reader gets: the first file's that holds it, its section's first line.
            for (const SettingsLayer& asked : layers) {
                if (auto value = FindIniValue(asked.text, entry.section, entry.key)) {
                    settings.push_back(SettingInForce{entry.section, entry.key, *value, asked.path});
                    break;
                }
            }
        }
    }
    return settings;
}

std::string NoSettingsFileText(const SettingsFiles& files) {
    std::string places;
    for (const std::string& path : files.Paths()) places += (places.empty() ? "" : ", ") + path;
    return "No configuration file was read (looked for " + (places.empty() ? "none" : places) +
           "): every setting is its default.";
}

}  // namespace kestrune
