// The configuration file reader and writer on any text: a value that is found is whole and
// trimmed; a key written is found again with the value written; every other line is kept; the
// file-based reads and writes agree with the text forms.

#include <algorithm>
#include <string>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "sessions/StationConfig.h"

namespace kestrune::fuzz {

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool HasAny(const std::string& text, const std::string& characters) {
    return text.find_first_of(characters) != std::string::npos;
}

// Names and values that a file can hold and give back: one line each, a section name without
// brackets, a key without "=" that cannot pass for a section line.
bool Writable(const std::string& section, const std::string& key, const std::string& value) {
    const std::string lineEnds("\r\n\0", 3);
    return !HasAny(section, lineEnds + "]") && !Trimmed(section).empty() &&
           Trimmed(section) == section && !HasAny(key, lineEnds + "=") && !Trimmed(key).empty() &&
           Trimmed(key) == key && key[0] != '[' && !HasAny(value, lineEnds);
}

// The input: section, key and value each ended by a NUL, then the file text. Missing parts
// take the configuration's own names.
struct Parts {
    std::string section = "Config";
    std::string key = "playlistsdir";
    std::string value = "/radio/Playlists";
    std::string text;
};

Parts Split(std::string_view bytes) {
    Parts parts;
    std::string* fields[] = {&parts.section, &parts.key, &parts.value};
    size_t start = 0;
    for (std::string* field : fields) {
        const size_t nul = bytes.find('\0', start);
        if (nul == std::string_view::npos) break;
        *field = std::string(bytes.substr(start, nul - start));
        start = nul + 1;
    }
    parts.text = std::string(bytes.substr(std::min(start, bytes.size())));
    return parts;
}

}  // namespace

std::string CheckIniFile(std::string_view bytes) {
    const Parts p = Split(bytes);
    const auto found = FindIniValue(p.text, p.section, p.key);
    if (found && (*found != Trimmed(*found) || HasAny(*found, std::string("\r\n\0", 3))))
        return Finding("a value found with blanks or line ends");

    const std::string updated = SetIniValue(p.text, p.section, p.key, p.value);
    if (Writable(p.section, p.key, p.value)) {
        const auto back = FindIniValue(updated, p.section, p.key);
        if (!back || *back != Trimmed(p.value)) return Finding("a written key is not found again");
        // Every line of the old text is still there, in order: one line was replaced, or the
        // key was added to its section, or the section and the key were added at the end.
        const LineList before = ParseLines(p.text);
        const LineList after = ParseLines(updated);
        bool kept = false;
        if (after.size() == before.size()) {
            size_t changed = 0;
            for (size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i] ? 1 : 0;
            kept = changed <= 1;
        } else if (after.size() == before.size() + 1) {
            size_t i = 0;
            while (i < before.size() && after[i] == before[i]) ++i;
            kept = std::equal(before.begin() + static_cast<long>(i), before.end(),
                              after.begin() + static_cast<long>(i) + 1);
        } else if (after.size() == before.size() + 2) {
            kept = std::equal(before.begin(), before.end(), after.begin());
        }
        if (!kept) return Finding("lines of the file were lost or moved");
        // Writing the same value again changes nothing more.
        if (SetIniValue(updated, p.section, p.key, p.value) != updated)
            return Finding("a second equal write changed the file");
    }

    // Through a file, as the program reads and writes its configuration.
    const std::string path = ScratchPath("kestrune.ini");
    PutFile(path, p.text);
    if (ReadIniValue(path, p.section, p.key) != found) return Finding("file read differs");
    try {
        WriteIniValue(path, p.section, p.key, p.value);
    } catch (const KestruneError& error) {
        return Finding("a writable configuration file was not written", error.what());
    }
    if (ReadWholeFile(path) != updated) return Finding("file write differs");
    const ConfigValues config = ReadConfig(path, "/radio");
    if (config.playlistsdir.empty() && !FindIniValue(updated, "Config", "playlistsdir"))
        return Finding("the default folder was lost");
    return {};
}

}  // namespace kestrune::fuzz
