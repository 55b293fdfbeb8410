// The settings verb: which configuration files the station's settings come from, and every
// setting in force with its file, so that a station run from anywhere can be checked.

#include <cstdio>

#include "CliStation.h"
#include "Verbs.h"
#include "platform/ShownText.h"

namespace kestrune::cli {

namespace {

const char* StateText(SettingsFileState state) {
    switch (state) {
    case SettingsFileState::Read:
        return "read";
    case SettingsFileState::Missing:
        return "not found";
    case SettingsFileState::Unreadable:
        return "cannot be read";
    }
    return "";
}

}  // namespace

int RunSettings(const std::vector<std::string>& args, const ReaderSetup&) {
    if (!args.empty()) throw UsageError{"settings takes no argument \"" + args.front() + "\""};
    const StationPlaces station = CurrentStation();
    std::printf("Station: %s\n", ShownText(station.startFolder).c_str());
    std::printf("Configuration files, each key from the first that holds it:\n");
    for (const std::string& path : station.settings.Paths())
        std::printf("  %s: %s\n", ShownText(path).c_str(),
                    StateText(station.settings.StateOf(path)));
    const std::vector<SettingInForce> settings = SettingsInForce(station.settings);
    std::printf("%zu setting%s in force%s\n", settings.size(), settings.size() == 1 ? "" : "s",
                settings.empty() ? ": every one is its default" : ":");
    for (const SettingInForce& setting : settings)
        std::printf("  [%s] %s=%s  (%s)\n", ShownText(setting.section).c_str(),
                    ShownText(setting.key).c_str(), ShownText(setting.value).c_str(),
                    ShownText(setting.path).c_str());
    return kExitDone;
}

}  // namespace kestrune::cli
