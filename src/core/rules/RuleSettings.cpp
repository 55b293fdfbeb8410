#include "rules/RuleSettings.h"

#include <algorithm>
#include <iterator>

#include "platform/Paths.h"
#include "platform/SettingsSection.h"

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
constexpr const char* kMust = "must";

// Each rule's name in the file, in the rules' order.
constexpr const char* kRuleNames[] = {"artist", "title", "album", "complement", "genre",
                                      "fresh_hour"};

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

const char* MustName(Rule rule) { return kRuleNames[static_cast<size_t>(rule)]; }

std::vector<Rule> ParseMustList(const std::string& text, std::vector<std::string>* unknown) {
    std::vector<Rule> rules;
    size_t from = 0;
    while (from <= text.size()) {
        size_t end = text.find(',', from);
        if (end == std::string::npos) end = text.size();
        const std::string name = TrimBlanks(text.substr(from, end - from));
        from = end + 1;
        if (name.empty()) continue;
        // The key's own name is understood too.
        const std::string rule = name == "performance_complement" ? "complement" : name;
        const auto* found = std::find(std::begin(kRuleNames), std::end(kRuleNames), rule);
        if (found == std::end(kRuleNames)) {
            if (unknown != nullptr) unknown->push_back(name);
            continue;
        }
        rules.push_back(static_cast<Rule>(found - std::begin(kRuleNames)));
    }
    std::sort(rules.begin(), rules.end());
    rules.erase(std::unique(rules.begin(), rules.end()), rules.end());
    return rules;
}

std::string JoinMustList(const std::vector<Rule>& rules) {
    std::string text;
    for (const Rule rule : rules) {
        if (!text.empty()) text += ',';
        text += MustName(rule);
    }
    return text;
}

bool RuleSettings::IsMust(Rule rule) const {
    return std::find(must.begin(), must.end(), rule) != must.end();
}

std::string JoinExemptList(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) text += ';';
        text += name;
    }
    return text;
}

namespace {

RuleSettings FromSection(SettingsSection& section, std::vector<std::string>* problems) {
    RuleSettings settings;
    settings.titleHours = section.WholeNumber(kTitleHours, 0, 0, kMostRuleHours, "hours");
    settings.albumHours = section.WholeNumber(kAlbumHours, 0, 0, kMostRuleHours, "hours");
    if (section.Text(kArtistMatching).value_or("") == "loose")
        settings.artistMatching = ArtistMatching::Loose;
    settings.exempt = SplitExemptList(section.Text(kExempt).value_or(""));
    settings.performanceComplement = section.Flag(kPerformanceComplement);
    settings.history = section.Flag(kHistory);
    if (section.Text(kRelax).value_or("") == "least_recent") settings.relax = Relax::LeastRecent;
    std::vector<std::string> unknown;
    settings.must = ParseMustList(section.Text(kMust).value_or(""), &unknown);
    for (const std::string& name : unknown)
        section.AddProblem(kMust, "'" + name +
                                      "' is not a rule (artist, title, album, complement, genre, "
                                      "fresh_hour); it is left out.");
    if (problems != nullptr)
        problems->insert(problems->end(), section.Problems().begin(), section.Problems().end());
    return settings;
}

SettingsValues ValuesOf(const RuleSettings& settings) {
    return {
        {kTitleHours, std::to_string(settings.titleHours)},
        {kAlbumHours, std::to_string(settings.albumHours)},
        {kArtistMatching, settings.artistMatching == ArtistMatching::Loose ? "loose" : "exact"},
        {kExempt, JoinExemptList(settings.exempt)},
        {kPerformanceComplement, settings.performanceComplement ? "1" : "0"},
        {kHistory, settings.history ? "1" : "0"},
        {kRelax, settings.relax == Relax::LeastRecent ? "least_recent" : "off"},
        {kMust, JoinMustList(settings.must)},
    };
}

}  // namespace

RuleSettings ParseRuleSettings(const std::string& iniText, std::vector<std::string>* problems,
                               const std::string& iniPath) {
    SettingsSection section(iniText, iniPath, kRulesSection);
    return FromSection(section, problems);
}

std::string WithRuleSettings(const std::string& iniText, const RuleSettings& settings) {
    return WithSectionValues(iniText, kRulesSection, ValuesOf(settings));
}

RuleSettings ReadRuleSettings(const SettingsFiles& files, std::vector<std::string>* problems) {
    SettingsSection section(files, kRulesSection);
    return FromSection(section, problems);
}

void WriteRuleSettings(const SettingsFiles& files, const RuleSettings& settings) {
    WriteSettingsSection(files, kRulesSection, ValuesOf(settings));
}

bool IsExemptSlot(const RuleSettings& settings, const std::string& slotPath) {
    const std::string name = ExtractFileName(slotPath);
    for (const std::string& exempt : settings.exempt)
        if (exempt == name || exempt == slotPath) return true;
    return false;
}

}  // namespace kestrune
