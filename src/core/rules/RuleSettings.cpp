#include "rules/RuleSettings.h"

#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/KestruneError.h"
#include "platform/SettingsSection.h"
#include "platform/Paths.h"

namespace kestrune {

namespace {

// Each key once, with how it is read and written.
constexpr const char* kTitleHours = "title_hours";
constexpr const char* kAlbumHours = "album_hours";
constexpr const char* kArtistMatching = "artist_matching";
constexpr const char* kExempt = "exempt";
constexpr const char* kPerformanceComplement = "performance_complement";
constexpr const char* kHistory = "history";
constexpr const char* kRelax = "relax";

std::string TrimBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::vector<std::string> SplitExemptList(const std::string& text) {
    std::vector<std::string> names;
    size_t from = 0;
    while (from <= text.size()) {
        size_t end = text.find(';', from);
        if (end == std::string::npos) end = text.size();
        std::string name = TrimBlanks(text.substr(from, end - from));
        if (!name.empty()) names.push_back(std::move(name));
        from = end + 1;
    }
    return names;
}

std::string JoinExemptList(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) text += ';';
        text += name;
    }
    return text;
}

RuleSettings ParseRuleSettings(const std::string& iniText, std::vector<std::string>* problems,
                               const std::string& iniPath) {
    SettingsSection section(iniText, iniPath, kRulesSection);
    RuleSettings settings;
    settings.titleHours = section.WholeNumber(kTitleHours, 0, 0, kMostRuleHours, "hours");
    settings.albumHours = section.WholeNumber(kAlbumHours, 0, 0, kMostRuleHours, "hours");
    if (section.Text(kArtistMatching).value_or("") == "loose")
        settings.artistMatching = ArtistMatching::Loose;
    settings.exempt = SplitExemptList(section.Text(kExempt).value_or(""));
    settings.performanceComplement = section.Flag(kPerformanceComplement);
    settings.history = section.Flag(kHistory);
    if (section.Text(kRelax).value_or("") == "least_recent") settings.relax = Relax::LeastRecent;
    if (problems != nullptr)
        problems->insert(problems->end(), section.Problems().begin(), section.Problems().end());
    return settings;
}

std::string WithRuleSettings(const std::string& iniText, const RuleSettings& settings) {
    std::string text = iniText;
    auto set = [&text](const char* key, const std::string& value) {
        text = SetIniValue(text, kRulesSection, key, value);
    };
    set(kTitleHours, std::to_string(settings.titleHours));
    set(kAlbumHours, std::to_string(settings.albumHours));
    set(kArtistMatching, settings.artistMatching == ArtistMatching::Loose ? "loose" : "exact");
    set(kExempt, JoinExemptList(settings.exempt));
    set(kPerformanceComplement, settings.performanceComplement ? "1" : "0");
    set(kHistory, settings.history ? "1" : "0");
    set(kRelax, settings.relax == Relax::LeastRecent ? "least_recent" : "off");
    return text;
}

RuleSettings ReadRuleSettings(const std::string& iniPath, std::vector<std::string>* problems) {
    return ParseRuleSettings(SettingsFileText(iniPath), problems, iniPath);
}

void WriteRuleSettings(const std::string& iniPath, const RuleSettings& settings) {
    try {
        const std::string text = FileExists(iniPath) ? ReadWholeFile(iniPath) : std::string();
        ReplaceWholeFile(iniPath, WithRuleSettings(text, settings));
    } catch (const KestruneError&) {
        throw errors::UnableToWrite(iniPath);
    }
}

bool IsExemptSlot(const RuleSettings& settings, const std::string& slotPath) {
    const std::string name = ExtractFileName(slotPath);
    for (const std::string& exempt : settings.exempt)
        if (exempt == name || exempt == slotPath) return true;
    return false;
}

}  // namespace kestrune
