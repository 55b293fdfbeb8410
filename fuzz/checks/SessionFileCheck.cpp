// LoadSession on any bytes: it either stops with the list-index error or restores a session
// that, saved and loaded again, comes back the same. The typed numbers it restores (the length
// and the dupe hours) are parsed by the integer rule or named in the integer error.

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "building/BuildContext.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "sessions/SessionFile.h"

namespace kestrune::fuzz {

namespace {

class QuietPrompts : public Prompts {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    int AskOpenError(const std::string&) override { return kAnswerIgnore; }
    std::optional<std::string> AskSaveFileName(const SaveQuestion&) override { return answer; }
    std::vector<std::string> messages;
    std::optional<std::string> answer;
};

class FixedClock : public Clock {
public:
    LocalDateTime Now() const override { return {2026, 12, 6, 18, 5, 0, 0}; }
    int64_t UtcMillisecondsOfDay() const override { return 0; }
};

struct Station {
    BuildSession session;
    HeadlessView view;
    QuietPrompts prompts;
    CountingSeeds seeds{1};
    FixedClock clock;
    BuildContext context{session, view, prompts, seeds, clock};
};

// The integer rule done another way: blanks and tabs in front, a sign, digits, 32 bits.
std::optional<long long> ModelInteger(const std::string& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return std::nullopt;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 1LL << 32) return std::nullopt;
    }
    value = negative ? -value : value;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return value;
}

std::string CheckTypedNumber(const std::string& text) {
    const std::optional<long long> expected = ModelInteger(text);
    try {
        const int32_t value = StrToInt(text);
        if (!expected || *expected != value) return Finding("a typed number was misread", text);
    } catch (const KestruneError& error) {
        if (expected) return Finding("a whole number was refused", text);
        if (std::string(error.what()) != errors::NotValidInteger(text).what())
            return Finding("integer error text", error.what());
    }
    return {};
}

bool SameSession(const BuildSession& a, const BuildSession& b) {
    return a.lbMasterPlaylists.Lines() == b.lbMasterPlaylists.Lines() &&
           a.lbClockwheelTemplate == b.lbClockwheelTemplate && a.ComboBox1 == b.ComboBox1 &&
           a.lbSavePlaylist == b.lbSavePlaylist && a.cbTextOutput == b.cbTextOutput &&
           a.fGenre.cbGenreCheck == b.fGenre.cbGenreCheck &&
           a.fDMCA.cbDupeCheck == b.fDMCA.cbDupeCheck && a.fDMCA.ComboBox1 == b.fDMCA.ComboBox1;
}

}  // namespace

std::string CheckSessionFile(std::string_view bytes) {
    const std::string path = ScratchPath("input.cwt");
    PutFile(path, bytes);
    const LineList lines = ParseLines(bytes);

    Station first;
    try {
        LoadSession(path, first.context);
    } catch (const KestruneError& error) {
        const std::string text = error.what();
        const std::string start = "List index out of bounds (";
        if (text.compare(0, start.size(), start) != 0 || text.back() != ')')
            return Finding("a load stopped with another error", text);
        const std::string number = text.substr(start.size(), text.size() - start.size() - 1);
        if (std::stoll(number) < static_cast<long long>(lines.size()))
            return Finding("the error names a line the file has", text);
        if (std::find(lines.begin(), lines.end(), "#") == lines.end() &&
            !first.session.lbClockwheelTemplate.empty())
            return Finding("a file without '#' gave template slots");
        return {};
    }
    const BuildSession& s = first.session;
    // Sorted without regard to case; every master line is a line of the file.
    const LineList& masters = s.lbMasterPlaylists.Lines();
    for (size_t i = 1; i < masters.size(); ++i) {
        if (CompareTextNoCase(masters[i - 1], masters[i]) > 0)
            return Finding("master playlists out of order");
    }
    if (std::find(masters.begin(), masters.end(), "#") != masters.end())
        return Finding("the separator became a master playlist");
    if (s.lbSavePlaylist.size() != 1) return Finding("output file pane");
    if (std::string problem = CheckTypedNumber(s.ComboBox1); !problem.empty()) return problem;
    if (std::string problem = CheckTypedNumber(s.fDMCA.ComboBox1); !problem.empty()) return problem;

    // Saved and loaded again, the session comes back the same.
    const std::string again = ScratchPath("again.cwt");
    PutFile(again, FormatLines(SessionLines(s)));
    Station second;
    try {
        LoadSession(again, second.context);
    } catch (const KestruneError& error) {
        return Finding("a saved session does not load", error.what());
    }
    if (!SameSession(s, second.session)) return Finding("a session changed through a save");

    // The save command: its checks, its integer error, or the file it writes.
    Station saving;
    saving.session = s;
    saving.prompts.answer = ScratchPath("saved.cwt");
    RemoveFile(*saving.prompts.answer);
    SaveQuestion dialog = SessionSaveDialog(ScratchFolder());
    try {
        const bool saved = SaveSession(saving.context, dialog);
        if (saved != saving.prompts.messages.empty()) return Finding("save: message and result");
        if (saved && ReadWholeFile(*saving.prompts.answer) != FormatLines(SessionLines(s)))
            return Finding("save: bytes written");
        if (!saved && FileExists(*saving.prompts.answer))
            return Finding("a refused save wrote a file");
    } catch (const KestruneError& error) {
        if (ModelInteger(s.ComboBox1)) return Finding("save failed", error.what());
        if (FileExists(*saving.prompts.answer)) return Finding("a failed save wrote a file");
    }
    return {};
}

}  // namespace kestrune::fuzz
