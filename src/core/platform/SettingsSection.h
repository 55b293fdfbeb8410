#pragma once
// One section of the configuration file as a settings reader sees it: values by key, and whole
// numbers in their range. A value that cannot be used never stops a command: the setting keeps
// its default and the problem is kept, naming the file, the section and the key, for the face
// (the program, the tool) to say once. So one word typed wrong in [Timing] no longer stops a
// verb that never uses it, nor keeps the program (and the window that would mend it) from
// starting. Over several files (a station's and the program's), each key is the first file's
// that holds it, and a problem names that file.

#include <optional>
#include <string>
#include <vector>

#include "platform/SettingsFiles.h"

namespace kestrune {

class SettingsSection {
public:
    // `iniPath` names the file in the problems; the text is the file's as read.
    SettingsSection(std::string iniText, std::string iniPath, std::string section);
    SettingsSection(std::vector<SettingsLayer> layers, std::string section);
    // Reads the files now; a missing or unreadable one is no file.
    SettingsSection(const SettingsFiles& files, std::string section);

    std::optional<std::string> Text(const std::string& key) const;
    // "1" is true, anything else false.
    bool Flag(const std::string& key) const;
    // The whole number the key holds, from `least` to `most`; absent or empty: `fallback`.
    // Below `least`, `least` (as the settings have always been read). Anything else (letters,
    // a fraction, above `most`): `fallback`, and a problem that says so.
    int WholeNumber(const std::string& key, int fallback, int least, int most,
                    const std::string& unit);

    // Keeps a problem with the value the key holds: "FILE, [Section] key=value: " and `why`.
    void AddProblem(const std::string& key, const std::string& why);

    const std::vector<std::string>& Problems() const { return problems_; }

private:
    struct Found {
        std::string value;
        const std::string* path;
    };
    std::optional<Found> Find(const std::string& key) const;

    std::vector<SettingsLayer> layers_;
    std::string section_;
    std::vector<std::string> problems_;
};

}  // namespace kestrune
