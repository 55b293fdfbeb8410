#include <gtest/gtest.h>

#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::TempDir;

TEST(LineList, ReadsEveryKindOfLineEnd) {
    EXPECT_EQ(ParseLines("a.mp3\r\nb.mp3"), (LineList{"a.mp3", "b.mp3"}));
    EXPECT_EQ(ParseLines("a\rb\nc\r\nd\r\n"), (LineList{"a", "b", "c", "d"}));
    EXPECT_EQ(ParseLines("a\r\n\r\nc"), (LineList{"a", "", "c"}));
    EXPECT_EQ(ParseLines("a\n\rb"), (LineList{"a", "", "b"}));  // LF then CR: two line ends
    EXPECT_EQ(ParseLines("a\r\r\nb"), (LineList{"a", "", "b"}));
    EXPECT_EQ(ParseLines("\r\n"), (LineList{""}));
    EXPECT_EQ(ParseLines("a\n\n"), (LineList{"a", ""}));
    EXPECT_EQ(ParseLines(""), LineList{});
    // A zero byte ends the text.
    EXPECT_EQ(ParseLines(std::string("a\r\nb\0c\r\nd", 9)), (LineList{"a", "b"}));
    EXPECT_EQ(ParseLines(std::string("\0a", 2)), LineList{});
    // Lines are taken whole: blanks, case, directives and high bytes stay.
    EXPECT_EQ(ParseLines(" #EXTM3U \r\n\xE9t\xE9.mp3\t"),
              (LineList{" #EXTM3U ", "\xE9t\xE9.mp3\t"}));
}

// A log read while its writer appends: what is up to its last line end is finished, the rest
// may be a line half written.
TEST(LineList, FinishedLinesEndAtTheLastLineEnd) {
    const struct {
        std::string text, finished;
    } cases[] = {
        {"", ""},
        {"half", ""},
        {"a\n", "a\n"},
        {"a\r\n", "a\r\n"},
        {"a\r", "a\r"},
        {"a\nhal", "a\n"},
        {"a\r\nb\r\nhal", "a\r\nb\r\n"},
        {"a\rb\rhal", "a\rb\r"},
        {"a\n\n\n", "a\n\n\n"},
        {"\n", "\n"},
        {std::string("a\n\0b", 4), "a\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FinishedLines(c.text), c.finished) << ::testing::PrintToString(c.text);
        // What is left out is never more than one line.
        const std::string_view rest = std::string_view(c.text).substr(c.finished.size());
        EXPECT_EQ(rest.find_first_of("\r\n"), std::string_view::npos);
    }
}

TEST(LineList, ParsingIntoAListOverwritesCutsAndGrowsIt) {
    // Entries are overwritten in place, the rest cut away or added.
    LineList list{"a very long line that held something else before", "x", "y", "z"};
    ParseLinesInto("one\r\ntwo\r\n", list);
    EXPECT_EQ(list, (LineList{"one", "two"}));
    ParseLinesInto("1\r2\n3\r\n4\n\r5", list);
    EXPECT_EQ(list, (LineList{"1", "2", "3", "4", "", "5"}));
    ParseLinesInto(std::string("a\r\nb\0c", 6), list);
    EXPECT_EQ(list, (LineList{"a", "b"}));
    ParseLinesInto("", list);
    EXPECT_TRUE(list.empty());

    // Long texts of one kind of line end only, and of mixed ones, read as line by line.
    for (const std::string end : {"\r", "\n", "\r\n"}) {
        std::string text;
        LineList expected;
        for (int i = 0; i < 5000; ++i) {
            expected.push_back("/music/song " + std::to_string(i) + ".mp3");
            text += expected.back() + (i % 7 == 3 ? std::string("\r\n") : end);
        }
        ParseLinesInto(text, list);
        EXPECT_EQ(list, expected) << "line end of " << end.size() << " bytes";
        EXPECT_EQ(ParseLines(text), expected);
    }
}

TEST(LineList, AddingALineGivesWhatALoadAnAddAndASaveWould) {
    EXPECT_EQ(WithLineAdded("", "a.mp3"), "a.mp3\r\n");
    EXPECT_EQ(WithLineAdded("a.mp3\r\n", "b.mp3"), "a.mp3\r\nb.mp3\r\n");
    EXPECT_EQ(WithLineAdded("a\r\n\r\nc\r\n", ""), "a\r\n\r\nc\r\n\r\n");
    // Other forms come out as a save writes them.
    EXPECT_EQ(WithLineAdded("a\nb", "c"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(WithLineAdded("a\rb\r", "c"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(WithLineAdded("a\r\nb", "c"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(WithLineAdded(std::string("a\r\nb\0x\r\n", 8), "c"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(WithLineAdded("\n\r", "c"), "\r\n\r\nc\r\n");
    // The line itself is taken whole, whatever it holds.
    EXPECT_EQ(WithLineAdded("a\r\n", "odd\rname"), "a\r\nodd\rname\r\n");

    // Every text of a few letters, line ends and NULs: the same as the long way.
    const char alphabet[] = {'a', '\r', '\n', '\0'};
    for (int length = 0; length <= 7; ++length) {
        int count = 1;
        for (int i = 0; i < length; ++i) count *= 4;
        for (int code = 0; code < count; ++code) {
            std::string text;
            for (int i = 0, c = code; i < length; ++i, c /= 4) text += alphabet[c % 4];
            LineList lines = ParseLines(text);
            lines.push_back("new");
            ASSERT_EQ(WithLineAdded(text, "new"), FormatLines(lines)) << "code " << code;
        }
    }
}

TEST(LineList, WritesCarriageReturnLineFeedAfterEveryLine) {
    EXPECT_EQ(FormatLines({"a.mp3", "b.mp3"}), "a.mp3\r\nb.mp3\r\n");
    EXPECT_EQ(FormatLines({"a", "", "c"}), "a\r\n\r\nc\r\n");
    EXPECT_EQ(FormatLines({}), "");
    EXPECT_EQ(FormatLines({""}), "\r\n");
}

TEST(LineList, LoadAndSaveRoundTripOnDisk) {
    TempDir dir;
    dir.Write("list.m3u", "a.mp3\r\nb.mp3");
    LineList list{"old"};
    LoadList(dir / "list.m3u", list);
    EXPECT_EQ(list, (LineList{"a.mp3", "b.mp3"}));
    SaveList(dir / "list.m3u", list);
    EXPECT_EQ(dir.Read("list.m3u"), "a.mp3\r\nb.mp3\r\n");

    dir.Write("three.m3u", "x\n\ny\n");
    LoadList(dir / "three.m3u", list);
    SaveList(dir / "three.m3u", list);
    EXPECT_EQ(dir.Read("three.m3u"), "x\r\n\r\ny\r\n");

    SaveList(dir / "empty.m3u", {});
    EXPECT_EQ(dir.Read("empty.m3u"), "");

    list = {"kept"};
    try {
        LoadList(dir / "missing.m3u", list);
        FAIL() << "a missing file must stop the command";
    } catch (const KestruneError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + (dir / "missing.m3u"));
    }
    EXPECT_EQ(list, LineList{"kept"});
}

TEST(SortedList, KeepsAlphabeticalOrderWithoutRegardToCase) {
    SortedList list;
    EXPECT_EQ(list.Add("b.m3u"), 0);
    EXPECT_EQ(list.Add("A.m3u"), 0);
    EXPECT_EQ(list.Add("c.m3u"), 2);
    EXPECT_EQ(list.Lines(), (LineList{"A.m3u", "b.m3u", "c.m3u"}));
    // Repeats are kept, each new one after its equals.
    EXPECT_EQ(list.Add("B.M3U"), 2);
    EXPECT_EQ(list.Add("b.m3u"), 3);
    EXPECT_EQ(list.Lines(), (LineList{"A.m3u", "b.m3u", "B.M3U", "b.m3u", "c.m3u"}));
    list.Delete(1);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list[1], "B.M3U");
    try {
        list.Delete(4);
        FAIL() << "deleting past the end must stop the command";
    } catch (const KestruneError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (4)");
    }
    EXPECT_THROW(list.At(-1), KestruneError);
    list.Clear();
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace kestrune
