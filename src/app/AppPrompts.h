#pragma once
// The questions the windows put to the user, behind one interface: the program shows real
// boxes and dialogs, the window tests answer from a script.

#include <optional>
#include <string>
#include <vector>

#include "building/Prompts.h"
#include "timing/SlotTime.h"

namespace kestrune::app {

struct OpenQuestion {
    std::string filter;  // "Winamp Playlist|*.m3u"
    std::string defaultExtension;
    std::string initialFolder;  // empty: wherever the system puts it
    std::string proposedName;
    bool multiple = false;
};

class AppPrompts : public Prompts {
public:
    // An error that ended a command: caption "Kestrune", error icon, OK.
    virtual void ShowError(const std::string& text) = 0;
    // An open dialog: the chosen files (empty when cancelled).
    virtual std::vector<std::string> AskOpenFileNames(const OpenQuestion& question) = 0;
    // A question with its own buttons, the last of them the one that changes nothing (Esc):
    // the index of the button pressed.
    virtual int AskChoice(const std::string& text, const std::vector<std::string>& buttons) = 0;
    // A save question's "replace it?" box is part of AskSaveFileName.
    // The time of a template slot: the answer's time (none: not timed), or no answer when the
    // user cancels.
    struct SlotTimeAnswer {
        std::optional<SlotTime> time;
    };
    virtual std::optional<SlotTimeAnswer> AskSlotTime(const std::string& slot,
                                                      const std::optional<SlotTime>& current) = 0;
};

// The error's text with a full stop, unless it already ends in one or in a character that
// sorts before it (a blank, "!", ")" and the like).
std::string WithFullStop(const std::string& text);

}  // namespace kestrune::app
