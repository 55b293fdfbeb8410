// Icecast's access log read into listener connections, and the count of listeners per aired
// item. The lines are as Debian's icecast2 2.4.4 writes them (taken from a real run).

#include <gtest/gtest.h>

#include <cstring>

#include "onair/AsPlayedLog.h"
#include "onair/ListenerLog.h"

namespace kestrune {
namespace {

int64_t Utc(const char* stamp) {
    return *ParseUtcStamp(stamp);
}

TEST(ListenerLog, ReadsTheListenersOfOneMountFromIcecastsLines) {
    const std::string log =
        // A listener of 4 s, in New York time: it left at 09:08:38 UTC.
        "127.0.0.1 - - [09/Dec/2026:04:08:38 -0500] \"GET /kestrune.mp3 HTTP/1.1\" 200 46444 "
        "\"-\" \"listener-one\" 4\n"
        // Passed over: the status page, another mount, a mount not found, the source itself.
        "127.0.0.1 - - [09/Dec/2026:04:08:34 -0500] \"GET /status-json.xsl HTTP/1.1\" 200 799 "
        "\"-\" \"curl/7.88.1\" 0\n"
        "127.0.0.1 - - [09/Dec/2026:04:08:40 -0500] \"GET /other.mp3 HTTP/1.1\" 200 362 \"-\" "
        "\"curl/7.88.1\" 30\n"
        "127.0.0.1 - - [09/Dec/2026:04:08:34 -0500] \"GET /kestrune.mp3 HTTP/1.1\" 404 362 \"-\" "
        "\"curl/7.88.1\" 0\n"
        "127.0.0.1 - - [09/Dec/2026:04:08:45 -0500] \"PUT /kestrune.mp3 HTTP/1.1\" 200 63 \"-\" "
        "\"Lavf/59.27.100\" 13\n"
        // A query and a user, an agent whose quotes Icecast wrote as dots, CR LF, east of UTC.
        "10.0.0.7 - bob [09/Dec/2026:10:38:45 +0130] \"GET /kestrune.mp3?x=1 HTTP/1.0\" 200 85644 "
        "\"http://example.org/\" \"Mozilla/5.0 (X11; .quoted.)\" 3600\r\n"
        "\n"
        // Not lines of this form: no time, a wrong date, no seconds.
        "garbage\n"
        "127.0.0.1 - - [31/Feb/2026:04:08:38 -0500] \"GET /kestrune.mp3 HTTP/1.1\" 200 1 \"-\" "
        "\"x\" 4\n"
        "127.0.0.1 - - [09/Dec/2026:04:08:38 -0500] \"GET /kestrune.mp3 HTTP/1.1\" 200 1 \"-\" "
        "\"x\"\n"
        // Twelve digits of seconds: no listener is connected for thousands of years.
        "127.0.0.1 - - [09/Dec/2026:04:08:38 -0500] \"GET /kestrune.mp3 HTTP/1.1\" 200 1 \"-\" "
        "\"x\" 999999999999\n";
    const ListenerLog read = ParseListenerLog(log, "kestrune.mp3");
    const std::vector<ListenerSpan> expected = {
        {Utc("2026-12-09T09:08:34Z"), Utc("2026-12-09T09:08:38Z")},
        {Utc("2026-12-09T08:08:45Z"), Utc("2026-12-09T09:08:45Z")}};
    EXPECT_EQ(read.spans, expected);
    EXPECT_EQ(read.unreadLines, 4);
    EXPECT_EQ(ParseListenerLog(log, "/other.mp3").spans.size(), 1u);
}

// LF as Icecast writes it, CR LF or CR alone as a copy may have it, blank lines, no end after
// the last line: the same listeners and the same count of lines not read.
TEST(ListenerLog, EveryKindOfLineEndReadsAlike) {
    const std::vector<std::string> lines = {
        "127.0.0.1 - - [09/Dec/2026:04:08:38 -0500] \"GET /kestrune.mp3 HTTP/1.1\" 200 46444 "
        "\"-\" \"listener-one\" 4",
        "   ",
        "garbage",
        "10.0.0.7 - - [09/Dec/2026:10:38:45 +0130] \"GET /kestrune.mp3 HTTP/1.0\" 200 85644 "
        "\"-\" \"agent\" 3600  ",
    };
    const std::vector<ListenerSpan> expected = {
        {Utc("2026-12-09T09:08:34Z"), Utc("2026-12-09T09:08:38Z")},
        {Utc("2026-12-09T08:08:45Z"), Utc("2026-12-09T09:08:45Z")}};
    for (const char* end : {"\n", "\r\n", "\r"}) {
        std::string text;
        for (const std::string& line : lines) text += line + end;
        for (const std::string& variant : {text, text.substr(0, text.size() - std::strlen(end))}) {
            const ListenerLog read = ParseListenerLog(variant, "kestrune.mp3");
            EXPECT_EQ(read.spans, expected) << ::testing::PrintToString(variant);
            EXPECT_EQ(read.unreadLines, 1) << ::testing::PrintToString(variant);
        }
    }
}

TEST(ListenerLog, AListenerCountsForAnItemWhenConnectedForASecondOfIt) {
    // Items of 100 s from 06:00:00; a short one of 0.5 s at 06:10.
    const int64_t six = Utc("2026-12-09T06:00:00Z");
    auto at = [six](double seconds) { return six + static_cast<int64_t>(seconds * 1000); };
    const std::vector<ListenerSpan> spans = {
        {at(-60), at(600)},      // all along
        {at(99), at(101)},       // one second of the first item and one of the second
        {at(99.5), at(150)},     // half a second of the first: the second only
        {at(150), at(150.5)},    // too short for any item
        {at(600), at(660)},      // the short item, whole
        {at(200), at(200)},      // nothing
    };
    const ListenerCounter count(spans);
    const struct {
        double start, end;
        int listeners;
    } cases[] = {
        {0, 100, 2},     {100, 200, 3},  {200, 300, 1}, {300, 400, 1},
        {600, 600.5, 1}, {700, 800, 0},  {-100, -60, 0}, {-100, -59, 1},
        {100, 100, 0},
    };
    for (const auto& c : cases) {
        // The count the slow way: every connection's overlap.
        int slow = 0;
        for (const ListenerSpan& s : spans) {
            const int64_t overlap = std::min(s.endMs, at(c.end)) - std::max(s.startMs, at(c.start));
            const int64_t needed = std::min<int64_t>(1000, at(c.end) - at(c.start));
            slow += needed > 0 && s.endMs - s.startMs >= 1000 && overlap >= needed;
        }
        EXPECT_EQ(count.During(at(c.start), at(c.end)), c.listeners) << c.start << "-" << c.end;
        EXPECT_EQ(slow, c.listeners) << c.start << "-" << c.end;
    }
}

}  // namespace
}  // namespace kestrune
