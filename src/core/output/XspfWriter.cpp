// XSPF version 1: XML in UTF-8, one <track> per song with a file:// location.

#include <cstdint>
#include <limits>

#include "output/SongPaths.h"
#include "output/WriterFormats.h"
#include "platform/Digits.h"
#include "tags/TagText.h"

namespace kestrune::output {

namespace {

std::string EscapeXml(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&apos;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

// A cleaned text without the two characters XML does not allow beside the control characters
// (CleanText's result has none of those, and no surrogate): U+FFFE and U+FFFF. One of them in a
// tag would make the whole file unreadable.
std::string XmlText(std::string_view text) {
    std::string clean = CleanText(text);
    for (size_t at = clean.find("\xEF\xBF"); at != std::string::npos;
         at = clean.find("\xEF\xBF", at)) {
        if (at + 2 < clean.size() && (clean[at + 2] == '\xBE' || clean[at + 2] == '\xBF'))
            clean.erase(at, 3);
        else
            at += 2;
    }
    return clean;
}

std::string UnescapeXml(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string plain;
    while (!text.empty()) {
        bool replaced = false;
        for (const auto& [entity, c] : kEntities) {
            if (text.substr(0, entity.size()) == entity) {
                plain += c;
                text.remove_prefix(entity.size());
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            plain += text[0];
            text.remove_prefix(1);
        }
    }
    return plain;
}

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
}

// A file:// URI for a full path, a relative reference otherwise: every byte but the unreserved
// ones percent-encoded, so any path fits. Windows paths take forward slashes and a third slash
// before the drive.
std::string FileUri(std::string_view path) {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    std::string uri = drive ? "file:///" : !path.empty() && path[0] == '/' ? "file://" : "";
    const size_t driveColon = uri.size() + 1;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        // A backslash separates folders only in a Windows path; on Linux it is part of a name.
        if ((drive && c == '\\') || Unreserved(byte) ||
            (drive && byte == ':' && uri.size() == driveColon)) {
            uri += c == '\\' ? '/' : c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0x0F];
        }
    }
    return uri;
}

std::string PathOfUri(std::string_view uri) {
    if (uri.substr(0, 7) == "file://") uri.remove_prefix(7);
    if (uri.size() >= 3 && uri[0] == '/' && uri[2] == ':') uri.remove_prefix(1);
    return PercentDecoded(uri);
}

// The text between <name> and </name> within `block`, unescaped; empty when absent.
std::string Element(std::string_view block, std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    const size_t start = block.find(open);
    if (start == std::string_view::npos) return {};
    const size_t end = block.find(close, start);
    if (end == std::string_view::npos) return {};
    return UnescapeXml(block.substr(start + open.size(), end - start - open.size()));
}

// A duration past what 32 bits of seconds hold is no song's: no length rather than a wrapped one.
int32_t MillisecondsToSeconds(std::string_view text) {
    constexpr int64_t kMostMilliseconds = std::numeric_limits<int32_t>::max() * int64_t{1000} + 999;
    const DigitRun milliseconds = LeadingDigits(text, kMostMilliseconds);
    return static_cast<int32_t>(milliseconds.value.value_or(0) / 1000);
}

class Xspf : public PlaylistWriter {
public:
    std::string_view Extension() const override { return ".xspf"; }
    std::string_view Description() const override { return "XSPF Playlist"; }
    bool NeedsSongFacts(const OutputOptions&) const override { return true; }

    std::string Format(const PlaylistEntries& entries, const OutputOptions&) const override {
        std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
        bytes.append(kLineEnd);
        bytes.append("<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">").append(kLineEnd);
        bytes.append("  <trackList>").append(kLineEnd);
        for (const PlaylistEntry& entry : entries) {
            bytes.append("    <track>").append(kLineEnd);
            const auto field = [&](std::string_view name, const std::string& value) {
                bytes.append("      <").append(name).append(">").append(value);
                bytes.append("</").append(name).append(">").append(kLineEnd);
            };
            field("location", EscapeXml(FileUri(entry.path)));
            if (!entry.artist.empty()) field("creator", EscapeXml(XmlText(entry.artist)));
            if (!entry.title.empty()) field("title", EscapeXml(XmlText(entry.title)));
            if (!entry.album.empty()) field("album", EscapeXml(XmlText(entry.album)));
            field("duration",
                  std::to_string(static_cast<int64_t>(entry.seconds < 0 ? 0 : entry.seconds) *
                                 1000));
            bytes.append("    </track>").append(kLineEnd);
        }
        bytes.append("  </trackList>").append(kLineEnd);
        bytes.append("</playlist>").append(kLineEnd);
        return bytes;
    }

    PlaylistEntries ReadBack(std::string_view bytes) const override {
        PlaylistEntries entries;
        size_t at = 0;
        while ((at = bytes.find("<track>", at)) != std::string_view::npos) {
            const size_t end = bytes.find("</track>", at);
            if (end == std::string_view::npos) break;
            const std::string_view block = bytes.substr(at, end - at);
            PlaylistEntry entry;
            entry.path = PathOfUri(Element(block, "location"));
            entry.artist = Element(block, "creator");
            entry.title = Element(block, "title");
            entry.album = Element(block, "album");
            entry.seconds = MillisecondsToSeconds(Element(block, "duration"));
            entries.push_back(std::move(entry));
            at = end;
        }
        return entries;
    }
};

}  // namespace

const PlaylistWriter& XspfWriter() {
    static const Xspf writer;
    return writer;
}

}  // namespace kestrune::output
