#include "platform/IniFile.h"

#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "platform/Paths.h"

namespace kestrune {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

bool IsKeyLine(std::string_view line, const std::string& key, std::string_view* value) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    if (CompareTextNoCase(Trim(line.substr(0, equals)), key) != 0) return false;
    if (value != nullptr) *value = Trim(line.substr(equals + 1));
    return true;
}

// Index range [first, end) of the lines inside the section, or nothing.
struct SectionRange {
    size_t header;
    size_t end;
};

std::optional<SectionRange> FindSection(const LineList& lines, const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionOf(lines[i]);
        if (!name || CompareTextNoCase(*name, section) != 0) continue;
        size_t end = i + 1;
        while (end < lines.size() && !SectionOf(lines[end])) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

bool UsesCarriageReturns(const std::string& text) {
    return text.empty() || text.find("\r\n") != std::string::npos;
}

}  // namespace

std::optional<std::string> FindIniValue(const std::string& text, const std::string& section,
                                        const std::string& key) {
    const LineList lines = ParseLines(text);
    const auto range = FindSection(lines, section);
    if (!range) return std::nullopt;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        std::string_view value;
        if (IsKeyLine(lines[i], key, &value)) return std::string(value);
    }
    return std::nullopt;
}

std::vector<IniEntry> IniEntries(const std::string& text) {
    std::vector<IniEntry> entries;
    std::optional<std::string_view> section;
    for (const std::string& line : ParseLines(text)) {
        if (const auto name = SectionOf(line)) {
            section = name;
            continue;
        }
        const size_t equals = line.find('=');
        if (!section || equals == std::string::npos) continue;
        const std::string_view key = Trim(std::string_view(line).substr(0, equals));
        if (key.empty()) continue;
        entries.push_back(IniEntry{std::string(*section), std::string(key),
                                   std::string(Trim(std::string_view(line).substr(equals + 1)))});
    }
    return entries;
}

bool HasIniSection(const std::string& text, const std::string& section) {
    return FindSection(ParseLines(text), section).has_value();
}

std::string SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                        const std::string& value) {
    LineList lines = ParseLines(text);
    const std::string keyLine = key + "=" + value;
    const auto range = FindSection(lines, section);
    if (!range) {
        lines.push_back("[" + section + "]");
        lines.push_back(keyLine);
    } else {
        bool replaced = false;
        for (size_t i = range->header + 1; i < range->end && !replaced; ++i) {
            if (IsKeyLine(lines[i], key, nullptr)) {
                lines[i] = keyLine;
                replaced = true;
            }
        }
        if (!replaced) {
            // After the section's last entry, before the blank lines that part it from the next.
            size_t at = range->end;
            while (at > range->header + 1 && Trim(lines[at - 1]).empty()) --at;
            lines.insert(lines.begin() + static_cast<long>(at), keyLine);
        }
    }
    // Keep the line ends the file already has.
    if (UsesCarriageReturns(text)) return FormatLines(lines);
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

std::optional<std::string> ReadIniValue(const std::string& path, const std::string& section,
                                        const std::string& key) {
    if (!FileExists(path)) return std::nullopt;
    try {
        return FindIniValue(ReadWholeFile(path), section, key);
    } catch (const KestruneError&) {
        return std::nullopt;  // an unreadable file counts as an absent one: the defaults apply
    }
}

void WriteIniValue(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
    std::string text;
    if (FileExists(path)) {
        try {
            text = ReadWholeFile(path);
        } catch (const KestruneError&) {
            throw errors::UnableToWrite(path);
        }
    }
    try {
        ReplaceWholeFile(path, SetIniValue(text, section, key, value));
    } catch (const KestruneError&) {
        throw errors::UnableToWrite(path);
    }
}

}  // namespace kestrune
