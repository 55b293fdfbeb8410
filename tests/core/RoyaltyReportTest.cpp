// What a report keeps of a tag text: one line, no separator or direction override, and nothing a
// spreadsheet takes for a formula; and the exempt categories it reads.

#include <gtest/gtest.h>

#include <cstring>

#include "onair/RoyaltyReport.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

TEST(RoyaltyReport, FieldsAreOneLineAndNeverAFormula) {
    const struct {
        const char* tag;
        const char* field;
    } cases[] = {
        {"Plain Artist", "Plain Artist"},
        {"=HYPERLINK(\"http://x\",\"y\")", "'=HYPERLINK(\"http://x\",\"y\")"},
        {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
        {"+44 Band", "'+44 Band"},
        {"-M-", "'-M-"},
        {"@home", "'@home"},
        {"\t=1+1", "'=1+1"},  // a blank in front does not hide it
        {"Line\xE2\x80\xA8Two\xE2\x80\xA9Three", "Line Two Three"},
        {"Next\xC2\x85Line", "Next Line"},
        {"gnp.\xE2\x80\xAE" "exe", "gnp. exe"},
        {"Caf\xE9", "Caf\xC3\xA9"},  // Latin-1 made UTF-8
        {"  a \r\n b  ", "a b"},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanField(c.tag), c.field) << c.tag;

    ReportPlay play;
    play.artist = "=SUM(A1)";
    play.title = "Song";
    play.listeners = 3;
    EXPECT_EQ(SoundExchangeText({play}, "Radio", "B"),
              "NAME_OF_SERVICE\tTRANSMISSION_CATEGORY\tFEATURED_ARTIST\tSOUND_RECORDING_TITLE\t"
              "ISRC\tALBUM_TITLE\tMARKETING_LABEL\tACTUAL_TOTAL_PERFORMANCES\r\n"
              "Radio\tB\t'=SUM(A1)\tSong\t\t\t\t3\r\n");
    EXPECT_NE(PlaysCsvText({play}).find(",'=SUM(A1),Song,"), std::string::npos);
}

// An exempt category saved with CR alone (an old Mac editor), CR LF or LF, with comments, blank
// lines and no end after its last line: the same files. Read by LF alone, a CR list was one long
// name and exempted nothing.
TEST(RoyaltyReport, ExemptListsReadAlikeWithEveryLineEnd) {
    const testing::TempDir dir;
    const std::vector<std::string> lines = {"#EXTM3U", "#EXTINF:5,Jingle", "a.mp3", "",
                                            "/m/b.mp3", "sub/c.mp3"};
    const std::vector<std::string> expected = {ComparablePath(dir / "a.mp3"),
                                               ComparablePath("/m/b.mp3"),
                                               ComparablePath(dir / "sub/c.mp3")};
    for (const char* end : {"\n", "\r\n", "\r"}) {
        std::string text;
        for (const std::string& line : lines) text += line + end;
        for (const std::string& variant : {text, text.substr(0, text.size() - std::strlen(end))}) {
            dir.Write("jingles.m3u", variant);
            std::vector<std::string> missing;
            EXPECT_EQ(ExemptFiles({"jingles.m3u"}, dir.Path(), missing), expected)
                << ::testing::PrintToString(variant);
            EXPECT_TRUE(missing.empty());
        }
    }
}

}  // namespace
}  // namespace kestrune
