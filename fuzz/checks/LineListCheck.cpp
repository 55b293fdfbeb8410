// LoadList on any bytes: the lines follow the line-end rules (checked against a plain model),
// hold no line end or NUL, and go through SaveList and LoadList again unchanged. The shuffle
// keeps every line.

#include <algorithm>
#include <string>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "building/BuildView.h"
#include "building/ShuffleList.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"

namespace kestrune::fuzz {

namespace {

// The rules one character at a time: CR, LF and CR LF end a line, NUL ends the text.
LineList ModelLines(std::string_view bytes) {
    LineList lines;
    std::string line;
    bool open = false;  // a line has begun and not ended
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\0') break;
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            continue;
        }
        line += c;
        open = true;
    }
    if (open) lines.push_back(line);
    return lines;
}

}  // namespace

std::string CheckLineList(std::string_view bytes) {
    const std::string path = ScratchPath("input.m3u");
    PutFile(path, bytes);
    LineList lines{"stale entry"};
    try {
        LoadList(path, lines);
    } catch (const KestruneError& error) {
        return Finding("a readable file failed to load", error.what());
    }
    if (lines != ModelLines(bytes)) return Finding("lines differ from the model");
    for (const std::string& line : lines) {
        if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            return Finding("a line holds a line end or NUL");
    }

    const std::string saved = ScratchPath("saved.m3u");
    try {
        SaveList(saved, lines);
        if (ReadWholeFile(saved) != FormatLines(lines)) return Finding("saved bytes");
        LineList again;
        LoadList(saved, again);
        if (again != lines) return Finding("lines changed through a save and a load");
    } catch (const KestruneError& error) {
        return Finding("a save in a writable folder failed", error.what());
    }

    // The shuffle exchanges lines and never loses or doubles one; the last stays last.
    LineList shuffled = lines;
    CountingSeeds seeds(static_cast<uint32_t>(bytes.size()));
    HeadlessView view;
    ShuffleList(shuffled, seeds, view);
    if (!lines.empty() && shuffled.back() != lines.back()) return Finding("the last line moved");
    LineList sortedBefore = lines;
    LineList sortedAfter = shuffled;
    std::sort(sortedBefore.begin(), sortedBefore.end());
    std::sort(sortedAfter.begin(), sortedAfter.end());
    if (sortedBefore != sortedAfter) return Finding("the shuffle lost or doubled a line");
    return {};
}

}  // namespace kestrune::fuzz
