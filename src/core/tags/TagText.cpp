#include "tags/TagText.h"

#include "platform/Digits.h"
#include "tags/GenreNames.h"

namespace kestrune {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    return text;
}

// The number of a text made of one to three digits; -1 otherwise.
int SmallNumber(std::string_view text) {
    if (text.size() > 3) return -1;
    return static_cast<int>(WholeNumber(text).value_or(-1));
}

Genre ByCode(int code) {
    if (code < 0 || code >= static_cast<int>(kGenreCount)) return {};
    return Genre{static_cast<uint8_t>(code), std::string(GenreNames[static_cast<size_t>(code)])};
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[at + i]); };
    const uint8_t lead = byte(0);
    size_t length = 0;
    uint32_t point = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        point = (point << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and points past U+10FFFF are no UTF-8.
    if ((length == 3 && point < 0x800) || (length == 4 && point < 0x10000) ||
        (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
        return 0;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

void AppendUtf8(std::string& out, uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string Latin1ToUtf8UnlessUtf8(std::string_view text) {
    if (IsValidUtf8(text)) return std::string(text);
    return Latin1ToUtf8(text);
}

size_t Utf8Length(std::string_view text) {
    size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

Genre ParseGenre(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return {};
    if (const int code = SmallNumber(text); code >= 0) return ByCode(code);
    if (text.front() == '(' && text.size() > 1 && text[1] != '(') {
        const size_t close = text.find(')');
        if (close != std::string_view::npos) {
            const std::string_view inner = text.substr(1, close - 1);
            const std::string_view rest = Trimmed(text.substr(close + 1));
            Genre genre;
            if (inner == "RX") {
                genre.name = "Remix";
            } else if (inner == "CR") {
                genre.name = "Cover";
            } else if (const int code = SmallNumber(inner); code >= 0) {
                genre = ByCode(code);
            } else {
                return Genre{255, std::string(text)};
            }
            // A refinement after the code, or a second code in brackets, names it better.
            if (!rest.empty() && rest.front() != '(') genre.name = std::string(rest);
            if (genre.name.empty()) return ParseGenre(rest);
            return genre;
        }
    }
    // "((" escapes a text that begins with a bracket.
    if (text.substr(0, 2) == "((") text.remove_prefix(1);
    for (size_t code = 0; code < kGenreCount; ++code) {
        if (GenreNames[code] == text) return ByCode(static_cast<int>(code));
    }
    return Genre{255, std::string(text)};
}

std::string YearOf(std::string_view text) {
    text = Trimmed(text);
    if (text.size() >= 4 && IsDigit(text[0]) && IsDigit(text[1]) && IsDigit(text[2]) &&
        IsDigit(text[3]) && (text.size() == 4 || !IsDigit(text[4])))
        return std::string(text.substr(0, 4));
    return std::string(text);
}

std::optional<std::string> TagYear(std::string_view text) {
    if (text.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
    return YearOf(text);
}

uint8_t TrackOf(std::string_view text) {
    // "7", "07/12": the digits in front; none, or a number past a byte, is no track.
    return static_cast<uint8_t>(LeadingDigits(Trimmed(text), 255).value.value_or(0));
}

std::string CleanText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    while (!text.empty()) {
        const size_t length = Utf8SequenceLength(text);
        const auto lead = static_cast<uint8_t>(text[0]);
        if (length == 0) {  // Latin-1, the usual 8-bit tag text, to UTF-8
            if (lead == 0x85) {
                clean += ' ';  // Latin-1's next-line control, a line break to some readers
            } else {
                AppendUtf8(clean, lead);
            }
            text.remove_prefix(1);
        } else if (lead < 0x20 || lead == 0x7F) {
            clean += ' ';
            text.remove_prefix(1);
        } else {
            const std::string_view character = text.substr(0, length);
            // Line and paragraph separators break a line in some readers; the direction
            // override turns the rest of a line backwards ("mp3.exe" shown as "exe.3pm").
            const bool breaksOrTurns = character == "\xC2\x85" || character == "\xE2\x80\xA8" ||
                                       character == "\xE2\x80\xA9" || character == "\xE2\x80\xAE";
            if (breaksOrTurns) {
                clean += ' ';
            } else {
                clean.append(character);
            }
            text.remove_prefix(length);
        }
    }
    return clean;
}

}  // namespace kestrune
