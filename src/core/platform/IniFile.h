#pragma once
// A small reader and writer of initialisation files ("[Section]" and "key=value" lines).
// Section and key names match without regard to case; values are taken as they stand.
// Writing a key replaces its line in place or adds it; every other line of the file is kept.

#include <optional>
#include <string>
#include <vector>

namespace kestrune {

// The value of the key, or nothing when the file, the section or the key is absent.
std::optional<std::string> ReadIniValue(const std::string& path, const std::string& section,
                                        const std::string& key);

// Text forms of the same, for a file already read (pure, for tests and fuzzing).
std::optional<std::string> FindIniValue(const std::string& text, const std::string& section,
                                        const std::string& key);
// Every "key=value" line of the text that stands in a section, in the file's order.
struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
};
std::vector<IniEntry> IniEntries(const std::string& text);

// True when the text has a "[section]" line.
bool HasIniSection(const std::string& text, const std::string& section);
std::string SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                        const std::string& value);

// "Unable to write to %s" (the file's path) when the file cannot be written.
void WriteIniValue(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value);

}  // namespace kestrune
