// The tag reading of our own beside the tag library's, on the same bytes: they must agree on
// every tag the fast path takes, and the fast path must leave every other tag to the library.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TagLibReader.h"
#include "tags/Id3v2TextFrames.h"
#include "tags/TagText.h"

namespace kestrune {
namespace {

std::string Size(uint32_t size, bool syncsafe) {
    std::string out;
    for (const int shift : {3, 2, 1, 0})
        out += static_cast<char>(syncsafe ? (size >> (7 * shift)) & 0x7F : (size >> (8 * shift)) & 0xFF);
    return out;
}

std::string Frame(int major, const std::string& id, const std::string& body, char formatFlags = 0) {
    return id + Size(static_cast<uint32_t>(body.size()), major == 4) + std::string(1, '\0') +
           std::string(1, formatFlags) + body;
}

std::string Tag(int major, const std::string& frames, char flags = 0) {
    return std::string("ID3") + static_cast<char>(major) + '\0' + flags +
           Size(static_cast<uint32_t>(frames.size()), true) + frames;
}

const std::string kLe = "\xFF\xFE";
const std::string kBe = "\xFE\xFF";
std::string U16Le(const std::string& ascii) {
    std::string out;
    for (const char c : ascii) out += std::string(1, c) + '\0';
    return out;
}
std::string U16Be(const std::string& ascii) {
    std::string out;
    for (const char c : ascii) out += std::string(1, '\0') + c;
    return out;
}
const std::string kNul(1, '\0');
const std::string kNul2(2, '\0');

std::string Text(char encoding, const std::string& bytes) {
    return std::string(1, encoding) + bytes;
}

// Every field as the whole reader would take it.
std::vector<std::string> Seen(const TagFields& fields) {
    std::vector<std::string> seen;
    for (const auto* field : {&fields.title, &fields.artist, &fields.album, &fields.comment,
                              &fields.track, &fields.isrc, &fields.label})
        seen.push_back(field->value_or("<none>"));
    seen.push_back(fields.year ? YearOf(*fields.year) : "<none>");
    const Genre genre = ParseGenre(fields.genre.value_or(""));
    seen.push_back(std::to_string(genre.code) + ":" + genre.name);
    return seen;
}

TEST(Id3v2TextFrames, AgreesWithTheTagLibraryOnTheTagsItReads) {
    const std::string clef = "\x34\xD8\x1E\xDD";  // U+1D11E as a UTF-16 LE surrogate pair
    const std::vector<std::string> tags = {
        Tag(3, Frame(3, "TIT2", Text(0, "Caf\xE9")) + Frame(3, "TPE1", Text(1, kLe + U16Le("Bjork"))) +
                   Frame(3, "TALB", Text(1, kBe + U16Be("Album") + kNul2)) +
                   Frame(3, "TYER", Text(0, "1999")) + Frame(3, "TCON", Text(0, "(17)")) +
                   Frame(3, "TRCK", Text(0, "7/12")) + Frame(3, "TSRC", Text(0, "GBAYE0601498")) +
                   Frame(3, "TPUB", Text(1, kLe + U16Le("Parlophone"))) + std::string(64, '\0')),
        Tag(3, Frame(3, "TCON", Text(0, "(17)Hard Rock")) + Frame(3, "TIT2", Text(1, kLe + clef)) +
                   Frame(3, "COMM", Text(0, "eng" + std::string("iTunNORM") + kNul + " 0001")) +
                   Frame(3, "COMM", Text(0, "eng" + kNul + "Plain words"))),
        Tag(3, Frame(3, "TCON", Text(0, "(17)Rock")) + Frame(3, "TIT2", Text(0, "")) +
                   Frame(3, "COMM", Text(1, "eng" + kLe + kNul2 + kLe + U16Le("Hi")))),
        Tag(3, Frame(3, "TCON", Text(0, "Synthwave")) + Frame(3, "TPE1", Text(3, "\xE6\x9D\xB1"))),
        Tag(4, Frame(4, "TIT2", Text(3, "A" + kNul + "B" + kNul)) +
                   Frame(4, "TPE1", Text(1, kLe + U16Le("One") + kNul2 + U16Le("Two"))) +
                   Frame(4, "TDRC", Text(3, "2019-05-04T10:00")) +
                   Frame(4, "TCON", Text(3, "17" + kNul + "Hard Rock")) +
                   Frame(4, "TALB", Text(2, U16Be(std::string(200, 'x')))) +
                   Frame(4, "TRCK", Text(0, "03")) + Frame(4, "TSRC", Text(3, "USRC17607839")) +
                   Frame(4, "TPUB", Text(3, "Label A" + kNul + "Label B"))),
        Tag(4, Frame(4, "TCON", Text(0, "62")) + Frame(4, "TIT2", Text(0, "Same")) +
                   Frame(4, "TIT2", Text(0, "Second"))),
        Tag(4, Frame(4, "TCON", Text(0, "Rock" + kNul + "Pop"))),
    };
    TagLibReader library;
    for (size_t i = 0; i < tags.size(); ++i) {
        TagFields ours;
        std::string ourVersion;
        ASSERT_TRUE(ReadId3v2TextFrames(tags[i], ours, ourVersion)) << "tag " << i;
        TagFields theirs;
        TagFields ape;
        std::string theirVersion;
        ASSERT_EQ(library.ReadMp3Tags(tags[i], {}, theirs, theirVersion, ape),
                  TagReadStatus::Success);
        EXPECT_EQ(Seen(ours), Seen(theirs)) << "tag " << i;
        EXPECT_EQ(ourVersion, theirVersion);
    }
}

TEST(Id3v2TextFrames, LeavesTheRarerPartsOfTheStandardToTheLibrary) {
    const std::string title = Text(0, "T");
    const struct {
        const char* what;
        std::string tag;
    } cases[] = {
        {"version 2.2", "ID3\x02" + std::string(2, '\0') + Size(10, true) + "TT2" +
                            std::string("\0\0\x04", 3) + title + "xyz"},
        {"unsynchronised", Tag(4, Frame(4, "TIT2", title), '\x80')},
        {"extended header", Tag(3, Frame(3, "TIT2", title), '\x40')},
        {"compressed frame", Tag(3, Frame(3, "TIT2", title, '\x80'))},
        {"data length", Tag(4, Frame(4, "TIT2", title, '\x01'))},
        {"unknown encoding", Tag(3, Frame(3, "TIT2", Text(7, "T")))},
        {"UTF-16 without mark", Tag(3, Frame(3, "TIT2", Text(1, U16Le("T"))))},
        {"lone surrogate", Tag(3, Frame(3, "TIT2", Text(1, kLe + "\x34\xD8")))},
        {"invalid UTF-8", Tag(4, Frame(4, "TIT2", Text(3, "\xC3")))},
        {"frame id", Tag(3, Frame(3, "Tit2", title))},
        {"empty frame", Tag(3, Frame(3, "TPE1", "") + Frame(3, "TIT2", title))},
        {"size past the tag", Tag(3, "TIT2" + Size(99, false) + std::string(2, '\0') + title)},
        {"2.4 size not syncsafe", Tag(4, "TIT2" + Size(0x80, false) + std::string(2, '\0') +
                                             std::string(0x80, 'a'))},
        {"no tag", "ID3"},
    };
    for (const auto& c : cases) {
        TagFields fields;
        fields.title = "untouched";
        std::string version = "untouched";
        EXPECT_FALSE(ReadId3v2TextFrames(c.tag, fields, version)) << c.what;
        EXPECT_EQ(fields.title, "untouched") << c.what;
        EXPECT_EQ(version, "untouched") << c.what;
    }
}

}  // namespace
}  // namespace kestrune
