#include "platform/SettingsSection.h"

#include <utility>

#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/KestruneError.h"
#include "platform/ShownText.h"

namespace kestrune {

SettingsSection::SettingsSection(std::string iniText, std::string iniPath, std::string section)
    : layers_{SettingsLayer{std::move(iniPath), std::move(iniText)}},
      section_(std::move(section)) {}

SettingsSection::SettingsSection(std::vector<SettingsLayer> layers, std::string section)
    : layers_(std::move(layers)), section_(std::move(section)) {}

SettingsSection::SettingsSection(const SettingsFiles& files, std::string section)
    : SettingsSection(files.Read(), std::move(section)) {}

std::optional<SettingsSection::Found> SettingsSection::Find(const std::string& key) const {
    for (const SettingsLayer& layer : layers_) {
        if (std::optional<std::string> value = FindIniValue(layer.text, section_, key))
            return Found{std::move(*value), &layer.path};
    }
    return std::nullopt;
}

std::optional<std::string> SettingsSection::Text(const std::string& key) const {
    std::optional<Found> found = Find(key);
    if (!found) return std::nullopt;
    return std::move(found->value);
}

bool SettingsSection::Flag(const std::string& key) const {
    return Text(key).value_or("0") == "1";
}

int SettingsSection::WholeNumber(const std::string& key, int fallback, int least, int most,
                                 const std::string& unit) {
    const std::optional<Found> found = Find(key);
    if (!found || found->value.empty()) return fallback;
    const std::string& value = found->value;
    int32_t number = 0;
    bool read = true;
    try {
        number = StrToInt(value);
    } catch (const KestruneError&) {
        read = false;
    }
    if (read && number < least) return least;
    if (read && number <= most) return number;
    AddProblem(key, "not a whole number of " + unit + " from " + std::to_string(least) + " to " +
                        std::to_string(most) + "; the default " + std::to_string(fallback) +
                        " is used.");
    return fallback;
}

void SettingsSection::AddProblem(const std::string& key, const std::string& why) {
    const std::optional<Found> found = Find(key);
    if (!found) return;
    problems_.push_back(*found->path + ", [" + section_ + "] " + key + "=" +
                        ShownText(found->value, 40) + ": " + why);
}

}  // namespace kestrune
