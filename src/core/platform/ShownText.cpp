#include "platform/ShownText.h"

namespace kestrune {

std::string ShownText(std::string_view text, size_t most) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const bool cut = text.size() > most;
    if (cut) text = text.substr(0, most);
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    if (cut) out += "...";
    return out;
}

}  // namespace kestrune
