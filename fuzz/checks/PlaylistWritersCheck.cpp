// The playlist writers on any entries: the input's lines make the entries (path, seconds,
// artist, title, album in turn) and its first byte the options; every format is written and
// read back, and must give the same songs a plain model expects: the path as it was, the
// seconds, and the texts as the writer cleans them. No text may add or lose a line.

#include <cstdint>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "output/PlaylistWriter.h"
#include "platform/LineList.h"
#include "tags/TagText.h"

namespace kestrune::fuzz {

namespace {

// Paths come from the lines of the final playlist: never empty, never a line break; a full
// path so that M3U readers take no path for a note.
std::string PathOf(const std::string& line) {
    std::string path = "/" + line;
    for (char& c : path)
        if (c == '\r' || c == '\n' || c == '\0') c = '_';
    return path;
}

// What the display text splits back into: a reader splits at the first " - ".
std::pair<std::string, std::string> SplitAsReaders(const PlaylistEntry& entry) {
    const std::string shown = DisplayTitle(entry);
    const size_t dash = shown.find(" - ");
    // Without an artist there is no dash to split at (unless the title holds one).
    if (dash == std::string::npos) return {"", shown};
    return {shown.substr(0, dash), shown.substr(dash + 3)};
}

}  // namespace

std::string CheckPlaylistWriters(std::string_view bytes) {
    if (bytes.empty()) return {};
    OutputOptions options;
    options.extinf = (static_cast<uint8_t>(bytes[0]) & 1) != 0;
    // Texts may hold line breaks and NULs: lines are split at a byte of value 1 instead.
    std::vector<std::string> fields(1);
    for (const char c : bytes.substr(1)) {
        if (c == '\x01') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    PlaylistEntries entries;
    for (size_t i = 0; i + 4 < fields.size() + 4 && entries.size() < 64; i += 5) {
        PlaylistEntry entry;
        entry.path = PathOf(fields[i]);
        const auto field = [&](size_t k) { return i + k < fields.size() ? fields[i + k] : ""; };
        int32_t seconds = 0;
        for (const char c : field(1)) seconds = (seconds * 31 + static_cast<uint8_t>(c)) & 0xFFFFF;
        entry.seconds = seconds;
        entry.artist = field(2);
        entry.title = field(3);
        entry.album = field(4);
        entries.push_back(std::move(entry));
    }

    for (const PlaylistWriter* writer : PlaylistWriters()) {
        const std::string name(writer->Extension());
        const std::string text = writer->Format(entries, options);
        const PlaylistEntries back = writer->ReadBack(text);
        if (back.size() != entries.size()) return Finding("songs lost or added", name);
        const bool facts = writer->NeedsSongFacts(options);
        for (size_t i = 0; i < entries.size(); ++i) {
            const PlaylistEntry& in = entries[i];
            const PlaylistEntry& out = back[i];
            if (out.path != in.path) return Finding("path changed", name + " " + in.path);
            if (!facts) continue;
            if (out.seconds != in.seconds) return Finding("seconds changed", name);
            if (name == ".xspf") {
                if (out.artist != CleanText(in.artist) || out.title != CleanText(in.title) ||
                    out.album != CleanText(in.album))
                    return Finding("XSPF texts changed", name);
            } else if (std::make_pair(out.artist, out.title) != SplitAsReaders(in)) {
                return Finding("display title changed", name);
            }
        }
        // Lines: a header and a fixed number per song, whatever the texts hold.
        const size_t lines = ParseLines(text).size();
        const size_t perSong = name == ".xspf" ? 7 : name == ".pls" ? 3 : facts ? 2 : 1;
        size_t expected = perSong * entries.size();
        if (name == ".xspf") {
            expected += 5;
            // An empty album, artist or title leaves its element out.
            for (const PlaylistEntry& entry : entries)
                expected -= (entry.album.empty() ? 1 : 0) + (entry.artist.empty() ? 1 : 0) +
                            (entry.title.empty() ? 1 : 0);
        } else if (name == ".pls") {
            expected += 3;
        } else if (facts) {
            expected += 1;
        }
        if (lines != expected) return Finding("a text broke a line", name);
    }
    return {};
}

}  // namespace kestrune::fuzz
