// The rotation's figures over a small made-up history of two days, and their text and CSV.

#include <gtest/gtest.h>

#include <algorithm>

#include "onair/RotationText.h"

namespace kestrune {
namespace {

// Calendar seconds of 2026-12-09 (day 0) plus `day` days, at hh:mm.
int64_t At(int day, int hour, int minute = 0) {
    return *ParseCalendarText("2026-12-09 00:00:00") + day * 86400 + hour * 3600 + minute * 60;
}

PlayedSong Play(int64_t start, const std::string& artist, const std::string& song) {
    return {start, 200, artist, "Title " + song, "", "/m/" + song + ".mp3"};
}

struct Fixture {
    std::vector<RotationCategory> categories = {
        {"currents.m3u", {"/m/a1.mp3", "/m/a2.mp3", "/m/a3.mp3", "/m/a4.mp3"}, false},
        {"jingles.m3u", {"/m/x1.mp3", "/m/a1.mp3"}, true},
        {"gold.m3u", {"/m/g1.mp3"}, false}};
    // a1 the day before at 10 and both days at 10 (two same-hour repeats; it reached hours 10
    // and 12 before coming back to 10); a2 at 11, 13 and 14; a3 once; a4 never. x1 is exempt,
    // z1 in no category. Ann plays too close (1.5 h) once, Bob once (2 h).
    std::vector<PlayedSong> plays = {
        Play(At(1, 14), "Bob", "a2"),        Play(At(0, 20), "Ann", "z1"),
        Play(At(-1, 10), "Ann", "a1"),       Play(At(0, 10), "Ann", "a1"),
        Play(At(0, 10, 30), "Ann", "x1"),    Play(At(0, 11), "Bob", "a2"),
        Play(At(0, 12), "Ann", "a1"),        Play(At(0, 13), "Bob", "a2"),
        Play(At(0, 15, 30), "Ann", "a3"),    Play(At(1, 10), "Ann", "a1"),
        Play(At(2, 10), "Ann", "a1")};  // after the span: not counted
    RuleSet rules;
    Fixture() {
        rules.artistWindow = 3 * 3600;
        rules.hourDays = 1;
    }
    RotationFigures Compute() const {
        return ComputeRotation(categories, plays, {2026, 12, 9}, {2026, 12, 10}, rules);
    }
};

TEST(RotationFigures, EachCategorysTurnsOverTwoDays) {
    const RotationFigures figures = Fixture().Compute();
    EXPECT_EQ(figures.spanHours, 48);
    EXPECT_EQ(figures.hours, 8);  // 10 11 12 13 15 20 and 10 14 of the next day
    EXPECT_EQ(figures.plays, 9);
    ASSERT_EQ(figures.categories.size(), 4u);

    struct Row {
        std::string name;
        bool exempt, listed;
        int songs, plays;
        std::optional<double> turnover;
        int minPlays;
        double median;
        int maxPlays, never;
        std::optional<double> meanExposure;
        int minExposure, sameHour;
        std::vector<int> perSong;
    };
    const std::vector<Row> rows = {
        // 4 songs / (7 plays / 8 hours); plays 3 3 1 0; exposures 2 3 1.
        {"currents.m3u", false, true, 4, 7, 4.0 / (7.0 / 8), 0, 2, 3, 1, 2.0, 1, 2, {3, 3, 1, 0}},
        // a1 counts in currents, listed first.
        {"jingles.m3u", true, true, 1, 1, 8.0, 1, 1, 1, 0, 1.0, 1, 0, {1}},
        {"gold.m3u", false, true, 1, 0, std::nullopt, 0, 0, 0, 1, std::nullopt, 0, 0, {0}},
        {kNoCategoryName, false, false, 1, 1, 8.0, 1, 1, 1, 0, 1.0, 1, 0, {1}},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& want = rows[i];
        const CategoryRotation& got = figures.categories[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.exempt, want.exempt);
        EXPECT_EQ(got.listed, want.listed);
        EXPECT_EQ(got.songs, want.songs);
        EXPECT_EQ(got.plays, want.plays);
        EXPECT_NEAR(got.turnoverHours.value_or(-1), want.turnover.value_or(-1), 1e-9);
        EXPECT_EQ(got.minPlays, want.minPlays);
        EXPECT_DOUBLE_EQ(got.medianPlays, want.median);
        EXPECT_EQ(got.maxPlays, want.maxPlays);
        EXPECT_EQ(got.neverPlayed, want.never);
        EXPECT_NEAR(got.meanExposure.value_or(-1), want.meanExposure.value_or(-1), 1e-9);
        EXPECT_EQ(got.minExposure, want.minExposure);
        EXPECT_EQ(got.sameHourRepeats, want.sameHour);
        EXPECT_EQ(got.playsPerSong, want.perSong);
    }

    // Only the seven plays of counted categories are judged, each by every rule on its own:
    // the artist breaks at a1 12:00 (x1 1.5 h before) and a2 13:00; the fresh hour at a1's two
    // plays at 10 with one the day before.
    ASSERT_EQ(figures.rules.size(), 2u);
    EXPECT_EQ(figures.rules[0].rule, Rule::Artist);
    EXPECT_EQ(figures.rules[0].kept, 5);
    EXPECT_EQ(figures.rules[0].broken, 2);
    EXPECT_EQ(figures.rules[1].rule, Rule::FreshHour);
    EXPECT_EQ(figures.rules[1].kept, 5);
    EXPECT_EQ(figures.rules[1].broken, 2);
}

TEST(RotationFigures, TextAndCsvSayTheSame) {
    Fixture f;
    f.categories[0].name = "cur,rents.m3u";  // a comma in a name is quoted in the CSV
    const RotationFigures figures = f.Compute();
    EXPECT_EQ(RotationText(figures),
              "Rotation 2026-12-09 to 2026-12-10: 48 hours, 8 with plays, 9 plays\n"
              "cur,rents.m3u: 4 songs, 7 plays, turnover 4.6 h; plays per song min 0 median 2 "
              "max 3, never played 1; hour exposure mean 2 min 1; same-hour repeats 2\n"
              "jingles.m3u (exempt): 1 song, not counted\n"
              "gold.m3u: 1 song, 0 plays; plays per song min 0 median 0 max 0, never played 1; "
              "same-hour repeats 0\n"
              "(not in a category): 1 song, 1 play\n"
              "Rule artist: 5 kept, 2 broken (71.4% kept)\n"
              "Rule fresh hours: 5 kept, 2 broken (71.4% kept)\n");
    const std::string csv = RotationCsv(figures);
    EXPECT_NE(csv.find("\r\ncategory,\"cur,rents.m3u\",0,4,7,4.6,0,2,3,1,2,1,2,,,\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\nrule,fresh hours,,,,,,,,,,,,5,2,71.4\r\n"), std::string::npos) << csv;
    // Every row has the header's sixteen fields (the quoted name's comma aside).
    size_t rows = 0;
    for (size_t at = 0; at < csv.size();) {
        const size_t end = csv.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        const std::string row = csv.substr(at, end - at);
        const auto quoted = row.find('"') == std::string::npos ? 0 : 1;
        EXPECT_EQ(std::count(row.begin(), row.end(), ',') - quoted, 15) << row;
        at = end + 2;
        ++rows;
    }
    EXPECT_EQ(rows, 1 + figures.categories.size() + figures.rules.size());
}

TEST(RotationFigures, FiguresShowOneDecimalOnlyWhereTheyHaveOne) {
    const std::vector<std::pair<double, std::string>> cases = {
        {14, "14"}, {14.5, "14.5"}, {9.25, "9.3"}, {0.04, "0"}, {56.0000001, "56"}, {2.96, "3"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FigureText(value), text) << value;
}

}  // namespace
}  // namespace kestrune
