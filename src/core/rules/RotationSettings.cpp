#include "rules/RotationSettings.h"

#include <algorithm>
#include <utility>

#include "platform/Digits.h"
#include "platform/Files.h"
#include "platform/LineList.h"
#include "platform/Paths.h"
#include "platform/SettingsSection.h"

namespace kestrune {

namespace {

RotationSettings FromSection(SettingsSection section, std::vector<std::string>* problems) {
    RotationSettings settings;
    if (section.Text("order").value_or("") == "rotate") settings.order = RotationOrder::Rotate;
    settings.hourDays = section.WholeNumber("hour_days", 0, 0, kMostHourDays, "days");
    if (problems != nullptr)
        problems->insert(problems->end(), section.Problems().begin(), section.Problems().end());
    return settings;
}

}  // namespace

RotationSettings ParseRotationSettings(const std::string& iniText,
                                       std::vector<std::string>* problems) {
    return FromSection(SettingsSection(iniText, "kestrune.ini", kRotationSection), problems);
}

RotationSettings ReadRotationSettings(const SettingsFiles& files,
                                      std::vector<std::string>* problems) {
    return FromSection(SettingsSection(files, kRotationSection), problems);
}

std::string RotationStatePath(const std::string& sessionsFolder) {
    return JoinPath(sessionsFolder, "rotation.txt");
}

std::string RotationStatePath(const std::string* sessionsFolder) {
    return sessionsFolder == nullptr || sessionsFolder->empty() ? std::string()
                                                                : RotationStatePath(*sessionsFolder);
}

RotationState::RotationState(std::string path) : path_(std::move(path)) {
    if (path_.empty() || !FileExists(path_)) return;
    ForEachLine(ReadWholeFile(path_), [this](std::string_view text) {
        if (text.empty()) return;
        Line line;
        const size_t tab = text.find('\t');
        line.path = std::string(text.substr(0, tab));
        line.comparable = ComparablePath(line.path);
        if (tab != std::string_view::npos) {
            const std::string_view place = text.substr(tab + 1);
            const size_t second = place.find('\t');
            const auto unplayed = WholeNumber(place.substr(0, second));
            const auto early = second == std::string_view::npos
                                   ? std::nullopt
                                   : WholeNumber(place.substr(second + 1));
            // A place that does not read begins the round again.
            if (unplayed && early) line.round = RoundPlace{*unplayed, *early};
        }
        lines_.push_back(std::move(line));
    });
}

size_t RotationState::Find(const std::string& category) const {
    const std::string key = ComparablePath(category);
    size_t at = 0;
    while (at < lines_.size() && lines_[at].comparable != key) ++at;
    return at;
}

bool RotationState::Has(const std::string& category) const {
    return path_.empty() || Find(category) < lines_.size();
}

std::optional<RoundPlace> RotationState::Round(const std::string& category) const {
    const size_t at = Find(category);
    return at < lines_.size() ? lines_[at].round : std::nullopt;
}

void RotationState::Keep(const std::string& category, RoundPlace round) {
    if (path_.empty()) return;
    const size_t at = Find(category);
    if (at < lines_.size()) lines_[at].round = round;
    else lines_.push_back(Line{category, ComparablePath(category), round});
}

std::string RotationState::Text() const {
    LineList lines;
    for (const Line& line : lines_)
        lines.push_back(line.round ? line.path + "\t" + std::to_string(line.round->unplayed) +
                                         "\t" + std::to_string(line.round->early)
                                   : line.path);
    return FormatLines(lines);
}

}  // namespace kestrune
