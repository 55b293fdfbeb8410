#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"
#include "tags/LibrarySettings.h"
#include "tags/TagText.h"

namespace kestrune {
namespace {

TEST(TagText, Id3v1TextIsLatin1UnlessItIsValidUtf8) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"Plain", "Plain"},
        {"Caf\xE9", "Caf\xC3\xA9"},
        {"Caf\xC3\xA9", "Caf\xC3\xA9"},  // already UTF-8
        {"\xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAC"},
        {"\xC3", "\xC3\x83"},                          // a cut sequence is Latin-1
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},              // overlong form
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},  // a surrogate
        {"\xFF\xFE", "\xC3\xBF\xC3\xBE"},
        {std::string("A\0B", 3), std::string("A\0B", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Latin1ToUtf8UnlessUtf8(c.in), c.out) << c.in;
        EXPECT_TRUE(IsValidUtf8(c.out));
    }
    EXPECT_EQ(Utf8Length("Caf\xC3\xA9 \xE6\x9D\xB1"), 6u);
}

TEST(TagText, GenresInEveryForm) {
    const struct {
        const char* text;
        uint8_t code;
        const char* name;
    } cases[] = {
        {"(17)", 17, "Rock"},
        {"17", 17, "Rock"},
        {"Rock", 17, "Rock"},
        {"(17)Rock", 17, "Rock"},
        {"(79)Hard Rock Live", 79, "Hard Rock Live"},
        {"(62)", 62, "Pop/Funk"},
        {"(4)(17)", 4, "Disco"},
        {"(RX)", 255, "Remix"},
        {"(CR)", 255, "Cover"},
        {"Synthwave", 255, "Synthwave"},
        {"((Bracketed)", 255, "(Bracketed)"},
        {"(200)", 255, ""},
        {"(126)Fresh", 255, "Fresh"},
        {"  Jazz  ", 8, "Jazz"},
        {"", 255, ""},
        {"(x", 255, "(x"},
    };
    for (const auto& c : cases) {
        const Genre genre = ParseGenre(c.text);
        EXPECT_EQ(genre.code, c.code) << c.text;
        EXPECT_EQ(genre.name, c.name) << c.text;
    }
}

TEST(TagText, YearsAndTrackNumbers) {
    EXPECT_EQ(YearOf("2019-05-04"), "2019");
    EXPECT_EQ(YearOf("1999"), "1999");
    EXPECT_EQ(YearOf(" 1987 "), "1987");
    EXPECT_EQ(YearOf("12345"), "12345");
    EXPECT_EQ(YearOf("circa 1960"), "circa 1960");
    EXPECT_EQ(TrackOf("7/12"), 7);
    EXPECT_EQ(TrackOf("07"), 7);
    EXPECT_EQ(TrackOf("255"), 255);
    EXPECT_EQ(TrackOf("256"), 0);
    EXPECT_EQ(TrackOf("99999999999999999999"), 0);
    EXPECT_EQ(TrackOf("A1"), 0);
}

TEST(LibrarySettings, ListedNamesAndTheIniKeys) {
    const LibrarySettings all;
    LibrarySettings mp3;
    mp3.mp3Only = true;
    const struct {
        const char* name;
        bool listed;
        bool listedAsMp3;
    } cases[] = {
        {"a.mp3", true, true},        {"a.MP3", true, true},  {".mp3", true, true},
        {"a.flac", true, false},      {"a.OGG", true, false}, {"a.opus", true, false},
        {"a.m4a", true, false},       {"a.wav", true, false}, {"a.aiff", true, false},
        {"a.aif", true, false},       {"a.oga", true, false}, {"a.txt", false, false},
        {"a.mp3.part", false, false}, {"flac", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsLibraryFileName(c.name, all), c.listed) << c.name;
        EXPECT_EQ(IsLibraryFileName(c.name, mp3), c.listedAsMp3) << c.name;
    }

    testing::TempDir dir;
    EXPECT_FALSE(ReadLibrarySettings(dir / "none.ini").id3v1Only);
    dir.Write("k.ini", "[Config]\r\nplaylistsdir=x\r\n[library]\r\nTags=ID3v1\r\nformats=mp3\r\n");
    const LibrarySettings read = ReadLibrarySettings(dir / "k.ini");
    EXPECT_TRUE(read.id3v1Only);
    EXPECT_TRUE(read.mp3Only);
    dir.Write("k.ini", "[Library]\r\ntags=all\r\nformats=\r\n");
    EXPECT_FALSE(ReadLibrarySettings(dir / "k.ini").id3v1Only);
    EXPECT_FALSE(ReadLibrarySettings(dir / "k.ini").mp3Only);
}

}  // namespace
}  // namespace kestrune
