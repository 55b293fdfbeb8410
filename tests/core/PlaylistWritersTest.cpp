// The playlist formats: exact bytes of each, names that try to break them, and the final
// playlist written from real song files.

#include <gtest/gtest.h>

#include "building/BuildCommand.h"
#include "output/FinalPlaylistFile.h"
#include "output/PlaylistWriter.h"
#include "platform/IniFile.h"
#include "platform/LineList.h"
#include "support/TagLibSetup.h"
#include "support/Station.h"
#include "tags/TagText.h"

namespace kestrune {
namespace {

using testing::TempDir;

const PlaylistEntries kTwoSongs{
    {"/music/a.mp3", 215, "Artist A", "Song A", "Album A"},
    {"/music/b c.mp3", 61, "B", "Song B", ""},
};

TEST(PlaylistWriters, ChosenByExtensionFromOneTable) {
    const std::pair<const char*, const char*> cases[] = {
        {"/x/out.m3u", ".m3u"},    {"/x/out.M3U8", ".m3u8"}, {"/x/out.pls", ".pls"},
        {"/x/out.xspf", ".xspf"},  {"/x/out.txt", ".m3u"},   {"/x/out", ".m3u"},
        {"/x.pls/out.m3u", ".m3u"}, {"/x/.pls", ".m3u"},     {"/x/a.m3u8.m3u", ".m3u"},
    };
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(WriterForPath(path).Extension(), extension) << path;
    EXPECT_EQ(OutputFileFilter(),
              "Winamp Playlist|*.m3u|Extended M3U, UTF-8|*.m3u8|PLS Playlist|*.pls|"
              "XSPF Playlist|*.xspf");
}

TEST(PlaylistWriters, PlainM3uIsPathsAsAlways) {
    const PlaylistWriter& m3u = WriterForPath("out.m3u");
    EXPECT_EQ(m3u.Format(kTwoSongs, {}), "/music/a.mp3\r\n/music/b c.mp3\r\n");
    EXPECT_EQ(m3u.Format(kTwoSongs, {}), FormatLines({"/music/a.mp3", "/music/b c.mp3"}));
    EXPECT_EQ(m3u.Format({}, {}), "");
    EXPECT_FALSE(m3u.NeedsSongFacts({}));
    EXPECT_TRUE(m3u.NeedsSongFacts({.extinf = true}));
    EXPECT_EQ(m3u.Format(kTwoSongs, {.extinf = true}),
              "#EXTM3U\r\n#EXTINF:215,Artist A - Song A\r\n/music/a.mp3\r\n"
              "#EXTINF:61,B - Song B\r\n/music/b c.mp3\r\n");
}

TEST(PlaylistWriters, ExtendedM3uBytes) {
    EXPECT_EQ(WriterForPath("out.m3u8").Format(kTwoSongs, {}),
              "#EXTM3U\r\n#EXTINF:215,Artist A - Song A\r\n/music/a.mp3\r\n"
              "#EXTINF:61,B - Song B\r\n/music/b c.mp3\r\n");
    EXPECT_EQ(WriterForPath("out.m3u8").Format({}, {}), "#EXTM3U\r\n");
}

TEST(PlaylistWriters, PlsBytes) {
    EXPECT_EQ(WriterForPath("out.pls").Format(kTwoSongs, {}),
              "[playlist]\r\n"
              "File1=/music/a.mp3\r\nTitle1=Artist A - Song A\r\nLength1=215\r\n"
              "File2=/music/b c.mp3\r\nTitle2=B - Song B\r\nLength2=61\r\n"
              "NumberOfEntries=2\r\nVersion=2\r\n");
}

TEST(PlaylistWriters, XspfBytes) {
    EXPECT_EQ(WriterForPath("out.xspf").Format(kTwoSongs, {}),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\r\n"
              "  <trackList>\r\n"
              "    <track>\r\n"
              "      <location>file:///music/a.mp3</location>\r\n"
              "      <creator>Artist A</creator>\r\n"
              "      <title>Song A</title>\r\n"
              "      <album>Album A</album>\r\n"
              "      <duration>215000</duration>\r\n"
              "    </track>\r\n"
              "    <track>\r\n"
              "      <location>file:///music/b%20c.mp3</location>\r\n"
              "      <creator>B</creator>\r\n"
              "      <title>Song B</title>\r\n"
              "      <duration>61000</duration>\r\n"
              "    </track>\r\n"
              "  </trackList>\r\n"
              "</playlist>\r\n");
    const PlaylistEntries windows{{"D:\\Lists\\a&b.mp3", 1, "x", "y", ""}};
    EXPECT_NE(WriterForPath("o.xspf").Format(windows, {}).find(
                  "<location>file:///D:/Lists/a%26b.mp3</location>"),
              std::string::npos);
    // A relative path stays a relative reference, and both read back as they were.
    const PlaylistEntries relative{{"songs/a b.mp3", 1, "x", "y", ""}};
    const std::string bytes = WriterForPath("o.xspf").Format(relative, {});
    EXPECT_NE(bytes.find("<location>songs/a%20b.mp3</location>"), std::string::npos);
    EXPECT_EQ(WriterForPath("o.xspf").ReadBack(bytes)[0].path, "songs/a b.mp3");
    EXPECT_EQ(WriterForPath("o.xspf").ReadBack(WriterForPath("o.xspf").Format(windows, {}))[0].path,
              "D:/Lists/a&b.mp3");
}

// Lengths as other programs write them: a fraction, a sign, words, and numbers past what 32 bits
// of seconds hold, which read as no length rather than a wrapped one.
TEST(PlaylistWriters, LengthsReadBackOnlyWhenTheyFit) {
    const struct {
        std::string written;
        int32_t xspfSeconds;  // <duration> is in milliseconds
        int32_t plsSeconds;   // Length= in seconds
    } cases[] = {
        {"215000", 215, 215000},
        {"1500.5", 1, 1500},
        {"0", 0, 0},
        {"-1", 0, 0},
        {"+5000", 0, 0},
        {" 5000", 0, 0},
        {"abc", 0, 0},
        {"", 0, 0},
        {"2147483647", 2147483, 2147483647},
        {"2147483648", 2147483, 0},
        {"2147483647999", 2147483647, 0},
        {"2147483648000", 0, 0},
        {"99999999999999", 0, 0},
        {"99999999999999999999999999", 0, 0},
    };
    for (const auto& c : cases) {
        const std::string xspf = "<playlist><trackList><track><location>file:///m/a.mp3</location>"
                                 "<duration>" + c.written + "</duration></track></trackList></playlist>";
        const PlaylistEntries fromXspf = WriterForPath("o.xspf").ReadBack(xspf);
        ASSERT_EQ(fromXspf.size(), 1u);
        EXPECT_EQ(fromXspf[0].seconds, c.xspfSeconds) << c.written;
        const std::string pls = "[playlist]\r\nFile1=/m/a.mp3\r\nLength1=" + c.written +
                                "\r\nNumberOfEntries=1\r\nVersion=2\r\n";
        const PlaylistEntries fromPls = WriterForPath("o.pls").ReadBack(pls);
        ASSERT_EQ(fromPls.size(), 1u);
        EXPECT_EQ(fromPls[0].seconds, c.plsSeconds) << c.written;
    }
}

// Names that try to break a format: each is kept (or made safe) and reads back as written.
TEST(PlaylistWriters, AwkwardNamesNeverBreakAFile) {
    struct Case {
        std::string artist, title;
        std::string shownArtist, shownTitle;  // what a reader takes back
    };
    const Case cases[] = {
        {"AC - DC", "Live", "AC", "DC - Live"},  // the first " - " splits, as players do
        {"Crosby, Stills & Nash", "Wooden Ships", "Crosby, Stills & Nash", "Wooden Ships"},
        {"<b>Bold</b>", "\"Quoted\" 'n' more", "<b>Bold</b>", "\"Quoted\" 'n' more"},
        {"Line\r\nBreak", "Two\nLines\r", "Line  Break", "Two Lines "},
        {"Caf\xE9", "na\xEFve", "Caf\xC3\xA9", "na\xC3\xAFve"},  // Latin-1 bytes made UTF-8
        {"Bj\xC3\xB6rk", "J\xC3\xB3ga", "Bj\xC3\xB6rk", "J\xC3\xB3ga"},  // UTF-8 kept
        {"Tab\there", "Nul\x01", "Tab here", "Nul "},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        const PlaylistEntries entries{{"/m/x, y & <z>.mp3", 200, c.artist, c.title, "A & B"},
                                      {"/m/next.mp3", 3, "N", "Next", ""}};
        for (const char* name : {"o.m3u8", "o.pls", "o.xspf"}) {
            const PlaylistWriter& writer = WriterForPath(name);
            const std::string bytes = writer.Format(entries, {});
            const PlaylistEntries back = writer.ReadBack(bytes);
            ASSERT_EQ(back.size(), 2u) << name << " " << c.artist;
            EXPECT_EQ(back[0].path, entries[0].path) << name;
            EXPECT_EQ(back[0].seconds, 200) << name;
            if (c.artist.empty()) {  // nothing to show, and no dash standing for it
                EXPECT_EQ(DisplayTitle(back[0]), "") << name;
            } else if (std::string(name) == "o.xspf") {
                EXPECT_EQ(back[0].artist, CleanText(c.artist)) << name;
                EXPECT_EQ(back[0].title, CleanText(c.title)) << name;
                EXPECT_EQ(back[0].album, "A & B") << name;
            } else {
                EXPECT_EQ(back[0].artist, c.shownArtist) << name;
                EXPECT_EQ(back[0].title, c.shownTitle) << name;
            }
            EXPECT_EQ(back[1].path, "/m/next.mp3") << name;
            EXPECT_EQ(back[1].title, "Next") << name;
            // No text adds a line: every line is a header, a field or a path (an empty field
            // may leave its line out).
            EXPECT_LE(ParseLines(bytes).size(), ParseLines(writer.Format(
                                                    {{entries[0].path, 1, "a", "b", "c"},
                                                     entries[1]},
                                                    {}))
                                                    .size())
                << name << " " << c.artist;
            if (std::string(name) == "o.xspf") {
                EXPECT_EQ(bytes.find("<b>"), std::string::npos);
                EXPECT_EQ(bytes.find("& "), std::string::npos);
            }
        }
    }
}

// U+FFFE and U+FFFF are characters XML does not allow: one in a tag would make the whole file
// unreadable. The XSPF writer drops them; every other character stays.
TEST(PlaylistWriters, XspfDropsTheCharactersXmlDoesNotAllow) {
    const struct {
        std::string artist, kept;
    } cases[] = {
        {"A\xEF\xBF\xBE" "B", "AB"},                          // U+FFFE
        {"\xEF\xBF\xBF\xEF\xBF\xBF" "C", "C"},                // U+FFFF twice
        {"D\xEF\xBF\xBD", "D\xEF\xBF\xBD"},                // U+FFFD, allowed
        {"E\xEF\xBF\xBE\xEF\xBF\xBD", "E\xEF\xBF\xBD"},    // one dropped beside one kept
        {"F\x1b[31m", "F [31m"},                         // ESC, as every writer cleans it
        {"\xEA\xBF\xBF", "\xEA\xBF\xBF"},                  // U+AFFF, no relation
    };
    for (const auto& c : cases) {
        const std::string bytes =
            WriterForPath("o.xspf").Format({{"/m/a.mp3", 1, c.artist, c.artist, c.artist}}, {});
        EXPECT_EQ(bytes.find("\xEF\xBF\xBE"), std::string::npos) << c.kept;
        EXPECT_EQ(bytes.find("\xEF\xBF\xBF"), std::string::npos) << c.kept;
        const PlaylistEntries back = WriterForPath("o.xspf").ReadBack(bytes);
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(back[0].artist, c.kept);
        EXPECT_EQ(back[0].title, c.kept);
        EXPECT_EQ(back[0].album, c.kept);
    }
}

TEST(PlaylistWriters, CleanTextMakesValidUtf8WithoutControls) {
    EXPECT_EQ(CleanText("plain"), "plain");
    EXPECT_EQ(CleanText("\xC3\xA9"), "\xC3\xA9");
    EXPECT_EQ(CleanText("\xC3"), "\xC3\x83");               // cut sequence: Latin-1
    EXPECT_EQ(CleanText("\xC0\xAF"), "\xC3\x80\xC2\xAF");   // overlong form: Latin-1
    EXPECT_EQ(CleanText("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // surrogate
    EXPECT_EQ(CleanText("\xF0\x9F\x8E\xB5"), "\xF0\x9F\x8E\xB5");      // U+1F3B5 kept
    EXPECT_EQ(CleanText(std::string("a\0b\x7f", 4)), "a b ");
    // Separators that break a line and the override that turns one, UTF-8 or from Latin-1.
    EXPECT_EQ(CleanText("a\xE2\x80\xA8" "b\xE2\x80\xA9" "c\xE2\x80\xAE" "d\xC2\x85" "e\x85"), "a b c d e ");
}

TEST(FinalPlaylistFile, OutputSettingsLiveInTheirOwnSection) {
    TempDir dir;
    const std::string ini = dir / "kestrune.ini";
    EXPECT_FALSE(ReadOutputOptions(ini).extinf);
    dir.Write("kestrune.ini", "[Config]\r\nplaylistsdir=/p\r\n[Output]\r\nEXTINF=1\r\n");
    EXPECT_TRUE(ReadOutputOptions(ini).extinf);
    WriteOutputOptions(ini, {.extinf = false});
    EXPECT_FALSE(ReadOutputOptions(ini).extinf);
    EXPECT_EQ(FindIniValue(dir.Read("kestrune.ini"), "Config", "playlistsdir"), "/p");
}

// Real song files: the formats show what the reader finds in their tags.
TEST(FinalPlaylistFile, WritesEachFormatFromTheSongs) {
    testing::StationFixture station;
    const std::string a = station.dir / "a.mp3";
    const std::string b = station.dir / "b.mp3";
    testing::WriteSong(a, {180, "First Artist", "First Title"});
    testing::WriteSong(b, {42, "Second", "Two & <Three>"});
    const LineList paths{a, b};

    WriteFinalPlaylist(station.dir / "out.m3u", paths, {}, testing::TagLibSetup());
    EXPECT_EQ(station.dir.Read("out.m3u"), FormatLines(paths));

    WriteFinalPlaylist(station.dir / "out.m3u8", paths, {}, testing::TagLibSetup());
    EXPECT_EQ(station.dir.Read("out.m3u8"), "#EXTM3U\r\n#EXTINF:180,First Artist - First Title\r\n" +
                                                a + "\r\n#EXTINF:42,Second - Two & <Three>\r\n" +
                                                b + "\r\n");
    WriteFinalPlaylist(station.dir / "extinf.m3u", paths, {.extinf = true}, testing::TagLibSetup());
    EXPECT_EQ(station.dir.Read("extinf.m3u"), station.dir.Read("out.m3u8"));

    WriteFinalPlaylist(station.dir / "out.pls", paths, {}, testing::TagLibSetup());
    EXPECT_NE(station.dir.Read("out.pls").find("Title2=Second - Two & <Three>\r\nLength2=42\r\n"),
              std::string::npos);
    WriteFinalPlaylist(station.dir / "out.xspf", paths, {}, testing::TagLibSetup());
    EXPECT_NE(station.dir.Read("out.xspf").find("<title>Two &amp; &lt;Three&gt;</title>"),
              std::string::npos);

    // A song gone since the build: its file's name, never the reader's placeholders, and no
    // question asked.
    WriteFinalPlaylist(station.dir / "gone.m3u8", {station.dir / "gone.mp3"}, {}, testing::TagLibSetup());
    EXPECT_EQ(station.dir.Read("gone.m3u8"),
              "#EXTM3U\r\n#EXTINF:0,gone\r\n" + station.dir / "gone.mp3" + "\r\n");
    EXPECT_TRUE(station.prompts.openErrors.empty());
}

// Accepting the build writes the format of the output file's name, by the session's settings.
TEST(FinalPlaylistFile, AcceptWritesTheChosenFormat) {
    testing::StationFixture station;
    const std::string song = station.dir / "s.mp3";
    testing::WriteSong(song, {200, "Artist", "Title"});
    station.session.lbFinalPlaylist = {song};
    station.session.SetOutputFile(station.dir / "final.pls");
    btAcceptFinalPlaylistClick(station.context);
    EXPECT_EQ(station.dir.Read("final.pls"), "[playlist]\r\nFile1=" + song +
                                                 "\r\nTitle1=Artist - Title\r\nLength1=200\r\n"
                                                 "NumberOfEntries=1\r\nVersion=2\r\n");
    station.session.SetOutputFile(station.dir / "final.m3u");
    station.session.output.extinf = true;
    btAcceptFinalPlaylistClick(station.context);
    EXPECT_EQ(station.dir.Read("final.m3u"),
              "#EXTM3U\r\n#EXTINF:200,Artist - Title\r\n" + song + "\r\n");
}

TEST(FinalPlaylistFile, AFolderThatCannotBeWrittenLeavesNothingBehind) {
    TempDir dir;
    const std::string target = dir / "missing-folder/out.m3u8";
    try {
        WriteFinalPlaylist(target, {"/a.mp3"}, {}, testing::TagLibSetup());
        FAIL() << "no error";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + target);
    }
    EXPECT_TRUE(dir.Names().empty());
}

}  // namespace
}  // namespace kestrune
