// The M3U family: the plain list of paths, and extended M3U with a #EXTINF line per song.

#include <algorithm>
#include <limits>

#include "output/Extinf.h"
#include "output/WriterFormats.h"
#include "platform/Digits.h"
#include "platform/LineList.h"

namespace kestrune::output {

namespace {

constexpr std::string_view kHeader = "#EXTM3U";
constexpr std::string_view kExtinf = "#EXTINF:";

std::string FormatM3u(const PlaylistEntries& entries, bool extended) {
    std::string bytes;
    if (extended) bytes.append(kHeader).append(kLineEnd);
    for (const PlaylistEntry& entry : entries) {
        if (extended) bytes.append(ExtinfLine(entry)).append(kLineEnd);
        bytes.append(entry.path).append(kLineEnd);
    }
    return bytes;
}

PlaylistEntries ReadM3u(std::string_view bytes) {
    PlaylistEntries entries;
    PlaylistEntry next;
    for (const std::string& line : ParseLines(bytes)) {
        if (const std::optional<Extinf> extinf = ParseExtinf(line)) {
            next.seconds = std::max(0, extinf->seconds);
            next.artist.clear();
            next.title.clear();
            SplitDisplayTitle(extinf->text, next);
        } else if (!line.empty() && line[0] != '#') {
            next.path = line;
            entries.push_back(std::move(next));
            next = PlaylistEntry();
        }
    }
    return entries;
}

// Paths only, as the file has always been written; #EXTINF lines when the settings ask.
class PlainM3u : public PlaylistWriter {
public:
    std::string_view Extension() const override { return ".m3u"; }
    std::string_view Description() const override { return "Winamp Playlist"; }
    bool NeedsSongFacts(const OutputOptions& options) const override { return options.extinf; }
    std::string Format(const PlaylistEntries& entries,
                       const OutputOptions& options) const override {
        return FormatM3u(entries, options.extinf);
    }
    PlaylistEntries ReadBack(std::string_view bytes) const override { return ReadM3u(bytes); }
};

class ExtendedM3u : public PlaylistWriter {
public:
    std::string_view Extension() const override { return ".m3u8"; }
    std::string_view Description() const override { return "Extended M3U, UTF-8"; }
    bool NeedsSongFacts(const OutputOptions&) const override { return true; }
    std::string Format(const PlaylistEntries& entries, const OutputOptions&) const override {
        return FormatM3u(entries, true);
    }
    PlaylistEntries ReadBack(std::string_view bytes) const override { return ReadM3u(bytes); }
};

}  // namespace

const PlaylistWriter& PlainM3uWriter() {
    static const PlainM3u writer;
    return writer;
}

const PlaylistWriter& ExtendedM3uWriter() {
    static const ExtendedM3u writer;
    return writer;
}

std::string ExtinfLine(const PlaylistEntry& entry) {
    return std::string(kExtinf) + std::to_string(entry.seconds < 0 ? 0 : entry.seconds) + "," +
           DisplayTitle(entry);
}

void SplitDisplayTitle(std::string_view text, PlaylistEntry& entry) {
    const size_t dash = text.find(" - ");
    if (dash == std::string_view::npos) {
        entry.title = std::string(text);
        return;
    }
    entry.artist = std::string(text.substr(0, dash));
    entry.title = std::string(text.substr(dash + 3));
}

int32_t LeadingSeconds(std::string_view text) {
    const DigitRun seconds = LeadingDigits(text, std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(seconds.value.value_or(0));
}

}  // namespace kestrune::output
