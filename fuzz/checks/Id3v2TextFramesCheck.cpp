// Our own reading of ID3v2 text frames on any bytes: a tag it takes gives UTF-8 fields and a
// version it knows; a tag it refuses is left as it was; nothing it gives is longer than the
// bytes could say.

#include <string>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "tags/Id3v2TextFrames.h"
#include "tags/TagText.h"

namespace kestrune::fuzz {

std::string CheckId3v2TextFrames(std::string_view bytes) {
    TagFields fields;
    fields.title = "untouched";
    std::string version = "untouched";
    if (!ReadId3v2TextFrames(bytes, fields, version)) {
        if (fields.title != "untouched" || version != "untouched")
            return Finding("a refused tag changed the fields");
        return {};
    }
    if (version != "ID3v2.3" && version != "ID3v2.4") return Finding("unknown version", version);
    for (const auto* field : {&fields.title, &fields.artist, &fields.album, &fields.year,
                              &fields.comment, &fields.genre, &fields.track, &fields.isrc,
                              &fields.label}) {
        if (!field->has_value()) continue;
        if (!IsValidUtf8(**field)) return Finding("a field is no UTF-8", **field);
        if ((*field)->empty()) return Finding("an empty field counts as given");
        // Two bytes of Latin-1 or UTF-16 give at most three of UTF-8, and genres gain "()".
        if ((*field)->size() > 2 * bytes.size() + 2) return Finding("a field grew past its bytes");
    }
    return {};
}

}  // namespace kestrune::fuzz
