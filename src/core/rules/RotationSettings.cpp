#include "rules/RotationSettings.h"

#include <algorithm>
#include <utility>

#include "platform/FileReplace.h"
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

RotationState::RotationState(std::string path) : path_(std::move(path)) {
    if (path_.empty() || !FileExists(path_)) return;
    ForEachLine(ReadWholeFile(path_), [this](std::string_view line) {
        if (line.empty()) return;
        lines_.emplace_back(line);
        categories_.push_back(ComparablePath(lines_.back()));
    });
}

bool RotationState::Has(const std::string& category) const {
    if (path_.empty()) return true;
    const std::string key = ComparablePath(category);
    return std::find(categories_.begin(), categories_.end(), key) != categories_.end();
}

void RotationState::Add(const std::string& category) {
    if (path_.empty() || Has(category)) return;
    lines_.push_back(category);
    categories_.push_back(ComparablePath(category));
    ReplaceWholeFile(path_, FormatLines(lines_));
}

}  // namespace kestrune
