// The play history follows the air: the hours the as-played log covers count what aired.

#include <gtest/gtest.h>

#include <map>

#include "onair/AiredHistory.h"

namespace kestrune {
namespace {

int64_t Six(int minute, int second = 0) {
    return *ParseCalendarText("2026-12-09 06:00:00") + minute * 60 + second;
}

std::string Play(int64_t start, int seconds, const std::string& name) {
    return FormatPlayedSong({start, seconds, "Artist " + name, "Song " + name, "Album " + name,
                             "/m/" + name + ".mp3"});
}

// Aired at calendar second `start` (the test's clock: UTC is the local calendar); an end after
// `seconds`, or none (still on air, or its end line lost) for a negative number.
AiredItem Aired(const std::string& name, int64_t start, int seconds, const char* kind = "plan",
                const char* list = "/p/onair_06.m3u8") {
    AiredItem item{start * 1000, kind, "/m/" + name + ".mp3", "Log " + name, "Logged " + name,
                   list, std::nullopt, ""};
    if (seconds >= 0) {
        item.endMs = (start + seconds) * 1000 + 120;
        item.how = "ended";
    }
    return item;
}

TEST(AiredHistory, TheHoursTheLogCoversCountWhatAired) {
    // The history planned a, b and c at 06:00, 06:03 and 06:06, d at 07:00; the files of a, b, c
    // and j are still there (b's tags say 200 s), x and d are gone. An hour the log has passed
    // takes only what aired; the hour under way keeps the planned plays still to come.
    const std::vector<std::string> planned = {Play(Six(0), 180, "a"), Play(Six(3), 180, "b"),
                                              "not a play", Play(Six(6), 180, "c"),
                                              Play(Six(60), 180, "d")};
    const std::map<std::string, SongFacts> files = {
        {"/m/a.mp3", {180, "Artist a", "Song a", "Album a", ""}},
        {"/m/b.mp3", {200, "Artist b", "Song b", "Album b", ""}},
        {"/m/c.mp3", {180, "Artist c", "Song c", "Album c", ""}},
        {"/m/j.mp3", {10, "Station", "Jingle", "", ""}}};
    const AiredPlaysLookup lookup{
        [](int64_t ms) { return ms / 1000; },
        [&files](const std::string& file) -> std::optional<SongFacts> {
            const auto found = files.find(file);
            if (found == files.end()) return std::nullopt;
            return found->second;
        },
        [](const std::string& list) { return list == "/p/jingles.m3u"; }};
    struct Case {
        const char* what;
        std::vector<AiredItem> aired;
        int64_t since;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"nothing aired", {}, 0, planned},
        {"b taken out by hand, c aired at its place and longer; 07:00 not reached",
         {Aired("a", Six(0, 2), 178), Aired("c", Six(3), 210), Aired("a", Six(60, 5), 100)},
         0,
         {"not a play", Play(Six(0, 2), 178, "a"), Play(Six(3), 210, "c"),
          Play(Six(60), 180, "d"), Play(Six(60, 5), 100, "a")}},
        {"the hour under way keeps what has not aired yet; the item on air lasts as its file",
         {Aired("a", Six(0), 180), Aired("b", Six(3, 1), -1)},
         0,
         {"not a play", Play(Six(0), 180, "a"), Play(Six(3, 1), 200, "b"), Play(Six(6), 180, "c"),
          Play(Six(60), 180, "d")}},
        {"a jingle of the plan and one of an exempt filler list do not count; a song filler "
         "does, named by the log when its file is gone",
         {Aired("a", Six(0), 180), Aired("j", Six(3), 10), Aired("x", Six(3, 10), 170, "filler",
                                                                 "/p/songs.m3u"),
          Aired("j", Six(6), 10, "filler", "/p/jingles.m3u"), Aired("d", Six(60, 30), 5)},
         0,
         {"not a play", Play(Six(0), 180, "a"),
          FormatPlayedSong({Six(3, 10), 170, "Log x", "Logged x", "", "/m/x.mp3"}),
          FormatPlayedSong({Six(60, 30), 5, "Log d", "Logged d", "", "/m/d.mp3"})}},
        {"what aired before the rules look back is passed over",
         {Aired("a", Six(0), 180), Aired("c", Six(3), 180)},
         Six(2),
         {Play(Six(0), 180, "a"), Play(Six(3), 180, "b"), "not a play", Play(Six(3), 180, "c"),
          Play(Six(60), 180, "d")}},
    };
    std::string text;
    for (const std::string& line : planned) text += line + "\r\n";
    for (const Case& c : cases) {
        const std::vector<HistoryLine> once =
            HistoryAsAired(ReadHistoryLines(text), c.aired, c.since, lookup);
        std::vector<std::string> got;
        for (const HistoryLine& line : once)
            got.push_back(line.song ? FormatPlayedSong(*line.song) : line.text);
        EXPECT_EQ(got, c.expected) << c.what;
        // Read again at the next build, the history stays as it is.
        const std::vector<HistoryLine> twice =
            HistoryAsAired(ReadHistoryLines(FormatHistoryLines(once)), c.aired, c.since, lookup);
        EXPECT_EQ(FormatHistoryLines(twice), FormatHistoryLines(once)) << c.what;
    }
}

}  // namespace
}  // namespace kestrune
