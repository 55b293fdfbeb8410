#pragma once
// The configuration files a station's settings are looked up in, in order: the station
// folder's own kestrune.ini first, then the program's. Each key comes from the first file that
// holds it, so a station's file holds only what differs, and two stations served from one
// install keep their own rules. A section is written to the first file that holds it, else to
// the last (the program's): a save lands where the next read finds it, never under a station's
// file that would hide it.

#include <string>
#include <utility>
#include <vector>

namespace kestrune {

// One file as read: its path (named in problems) and its text.
struct SettingsLayer {
    std::string path;
    std::string text;
};

enum class SettingsFileState { Read, Missing, Unreadable };

class SettingsFiles {
public:
    SettingsFiles() = default;
    // One file alone, as the program's configuration has always been read. Implicit: a path is
    // a list of one.
    SettingsFiles(std::string file);  // NOLINT(google-explicit-constructor)
    SettingsFiles(const char* file);  // NOLINT(google-explicit-constructor)
    // `first` asked before `then`; the same file by two paths (a station in the program's own
    // folder) is asked once.
    SettingsFiles(const std::string& first, const std::string& then);

    // In the order asked.
    const std::vector<std::string>& Paths() const { return paths_; }
    // The files there and readable, each with its text, in the order asked.
    std::vector<SettingsLayer> Read() const;
    SettingsFileState StateOf(const std::string& path) const;
    // True when not one of the files could be read: every setting is its default.
    bool NoneRead() const;

    // The file a section is written to.
    std::string FileFor(const std::string& section) const;

private:
    std::vector<std::string> paths_;
};

using SettingsValues = std::vector<std::pair<std::string, std::string>>;

// Sets every key of `values` in the section, in order, every other line kept (pure).
std::string WithSectionValues(const std::string& iniText, const std::string& section,
                              const SettingsValues& values);

// Writes the keys into the section's file in one replacement: all of them or, on failure,
// none ("Unable to write to %s", that file's path).
void WriteSettingsSection(const SettingsFiles& files, const std::string& section,
                          const SettingsValues& values);

// A setting in force: the section and key as the file that sets it spells them.
struct SettingInForce {
    std::string section;
    std::string key;
    std::string value;
    std::string path;  // the file it comes from
};
// Every setting the files hold, each once, as a lookup finds it, in the order of the files.
std::vector<SettingInForce> SettingsInForce(const SettingsFiles& files);

// The one line that says no configuration file was read, naming where they were looked for.
std::string NoSettingsFileText(const SettingsFiles& files);

}  // namespace kestrune
