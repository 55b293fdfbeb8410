#include "platform/SettingsSection.h"

#include <utility>

#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/KestruneError.h"
#include "platform/ShownText.h"

namespace kestrune {

SettingsSection::SettingsSection(std::string iniText, std::string iniPath, std::string section)
    : text_(std::move(iniText)), path_(std::move(iniPath)), section_(std::move(section)) {}

std::optional<std::string> SettingsSection::Text(const std::string& key) const {
    return FindIniValue(text_, section_, key);
}

bool SettingsSection::Flag(const std::string& key) const {
    return Text(key).value_or("0") == "1";
}

int SettingsSection::WholeNumber(const std::string& key, int fallback, int least, int most,
                                 const std::string& unit) {
    const std::optional<std::string> value = Text(key);
    if (!value || value->empty()) return fallback;
    int32_t number = 0;
    bool read = true;
    try {
        number = StrToInt(*value);
    } catch (const KestruneError&) {
        read = false;
    }
    if (read && number < least) return least;
    if (read && number <= most) return number;
    problems_.push_back(path_ + ", [" + section_ + "] " + key + "=" + ShownText(*value, 40) +
                        ": not a whole number of " + unit + " from " + std::to_string(least) +
                        " to " + std::to_string(most) + "; the default " +
                        std::to_string(fallback) + " is used.");
    return fallback;
}

std::string SettingsFileText(const std::string& iniPath) {
    if (iniPath.empty() || !FileExists(iniPath)) return std::string();
    try {
        return ReadWholeFile(iniPath);
    } catch (const KestruneError&) {
        return std::string();  // unreadable counts as absent
    }
}

}  // namespace kestrune
