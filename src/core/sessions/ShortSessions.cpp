#include "sessions/ShortSessions.h"

namespace kestrune {

std::string ShortSessionText(const ShortSession& s) {
    if (!s.refusal.empty()) return s.session + " was passed over: " + s.refusal;
    std::string text = s.session + ": " + ShortfallText(s.outcome);
    if (!s.notWritten.empty()) text += " Nothing was placed; " + s.notWritten + " was not written.";
    return text;
}

std::string ShortSessionsText(const std::vector<ShortSession>& sessions) {
    std::string text;
    for (const ShortSession& s : sessions) {
        if (!text.empty()) text += "\n";
        text += ShortSessionText(s);
    }
    return text;
}

}  // namespace kestrune
