// The text rules of tags on any bytes: ID3v1 text always comes out as UTF-8, keeping valid UTF-8
// as it is and one character per Latin-1 byte otherwise; genres give a known code with its
// name or code 255; years and track numbers stay within their forms.

#include <string>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "tags/GenreNames.h"
#include "tags/TagText.h"

namespace kestrune::fuzz {

std::string CheckTagText(std::string_view bytes) {
    const std::string utf8 = Latin1ToUtf8UnlessUtf8(bytes);
    if (!IsValidUtf8(utf8)) return Finding("converted text is no UTF-8");
    if (IsValidUtf8(bytes)) {
        if (utf8 != bytes) return Finding("valid UTF-8 was changed");
    } else if (Utf8Length(utf8) != bytes.size()) {
        return Finding("not one character per Latin-1 byte");
    }

    const Genre genre = ParseGenre(bytes);
    if (genre.code != 255) {
        if (genre.code >= kGenreCount) return Finding("genre code out of the table");
        if (genre.name.empty()) return Finding("a genre code without a name");
    }
    if (genre.name.size() > bytes.size() + 32) return Finding("genre name grew");

    const std::string year = YearOf(bytes);
    if (year.size() > bytes.size()) return Finding("year grew");
    (void)TrackOf(bytes);
    return {};
}

}  // namespace kestrune::fuzz
