#pragma once
// The separation rules a station sets in the "[Rules]" section of its configuration file. Every
// default leaves a build exactly as it is without the section.

#include <string>
#include <vector>

#include "platform/SettingsFiles.h"

namespace kestrune {

inline constexpr const char* kRulesSection = "Rules";

enum class ArtistMatching { Exact, Loose };
// What the walk places when no candidate keeps every rule.
enum class Relax { Off, LeastRecent };
// In the order they are checked; the last gives way first.
enum class Rule { Artist, Title, Album, PerformanceComplement, Genre, FreshHour };

struct RuleSettings {
    int titleHours = 0;  // the same title by the same artist; 0 = off
    int albumHours = 0;  // the same album; 0 = off
    ArtistMatching artistMatching = ArtistMatching::Exact;
    std::vector<std::string> exempt;  // category playlist file names, never checked nor counted
    bool performanceComplement = false;
    bool history = false;  // the recent songs outlive the process, in the sessions folder
    Relax relax = Relax::Off;
    // Rules that never break, in the order above (each once): where no song keeps them, the
    // slot is passed over. The others give way when they must.
    std::vector<Rule> must;

    bool IsMust(Rule rule) const;
    bool operator==(const RuleSettings&) const = default;
    bool AllDefault() const { return *this == RuleSettings{}; }
};

// A separation longer than a year keeps nothing apart that a shorter one would not.
inline constexpr int kMostRuleHours = 8760;

// Text forms over the configuration file's text (pure). A key that is absent or empty keeps its
// default; hours below zero are taken as 0; hours that are not a whole number from 0 to
// kMostRuleHours keep the default and add a problem naming the file (`iniPath`), the section
// and the key; a word that is not one of the choices is taken as the default.
RuleSettings ParseRuleSettings(const std::string& iniText,
                               std::vector<std::string>* problems = nullptr,
                               const std::string& iniPath = "kestrune.ini");
std::string WithRuleSettings(const std::string& iniText, const RuleSettings& settings);

// From and to the files: none there gives the defaults; "Unable to write to %s".
RuleSettings ReadRuleSettings(const SettingsFiles& files,
                              std::vector<std::string>* problems = nullptr);
void WriteRuleSettings(const SettingsFiles& files, const RuleSettings& settings);

// "artist,title" and back: the names of the rules, in the file's words. A name that is no
// rule is left out and answered in `unknown`.
std::vector<Rule> ParseMustList(const std::string& text, std::vector<std::string>* unknown);
std::string JoinMustList(const std::vector<Rule>& rules);
// "artist", "title", "album", "complement", "genre", "fresh_hour".
const char* MustName(Rule rule);

// "a.m3u;b.m3u" and back; blanks round a name and empty names are dropped.
std::vector<std::string> SplitExemptList(const std::string& text);
std::string JoinExemptList(const std::vector<std::string>& names);

// True when the slot's playlist (a path or a bare name) is one of the exempt file names.
bool IsExemptSlot(const RuleSettings& settings, const std::string& slotPath);

}  // namespace kestrune
