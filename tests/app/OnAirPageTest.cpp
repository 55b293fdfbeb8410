#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include <ctime>
#include <filesystem>

#include "AppFixture.h"
#include "support/LocalTime.h"
#include "support/TimeZone.h"
#include "OnAirPage.h"
#include "onair/AsPlayedLog.h"
#include "onair/RoyaltyReport.h"
#include "platform/LineList.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

using kestrune::testing::AccessLogTime;

// The 06:00 hour of 2026-12-09 plans a, b and c (100 s each); a aired on time, b was taken
// out, c came at b's time, and a filler closed the hour. One listener heard all of it.
struct OnAirStation : AppFixture {
    const int64_t six = kestrune::testing::LocalMomentMs(2026, 12, 9, 6);
    OnAirStation() {
        std::string list = "#EXTM3U\r\n";
        for (const char* name : {"a", "b", "c"})
            list += std::string("#EXTINF:100,Artist - ") + name + "\r\n" + Song(name) + "\r\n";
        station.dir.Write("Playlists/onair_2026-12-09_06.m3u8", list);
        std::string log = "# Kestrune as-played log\n";
        for (const auto& [name, at] : {std::pair{"a", 0}, {"c", 100}, {"j1", 3500}}) {
            const bool filler = name[0] == 'j';
            log += FormatUtcStamp(six + at * 1000) + "\tstart\t" + (filler ? "filler" : "plan") +
                   "\t" + Song(name) + "\tArtist\t" + name + "\t" +
                   (filler ? Path("Playlists/jingles.m3u")
                           : Path("Playlists/onair_2026-12-09_06.m3u8")) +
                   "\n" + FormatUtcStamp(six + (at + 90) * 1000) + "\tend\t90.000\t" +
                   (filler ? "faded" : "ended") + "\t" + Song(name) + "\n";
        }
        station.dir.Write("Sessions/aired.txt", log);
        station.dir.Write("access.log", "127.0.0.1 - - [" + AccessLogTime(six + 3600000) +
                                            "] \"GET /kestrune.mp3 HTTP/1.1\" 200 4096 \"-\" "
                                            "\"curl\" 3700\n");
    }
    std::string Song(const std::string& name) const { return Path("Music/" + name + ".mp3"); }
};

QString Cell(OnAirPage& page, int row, int column, int role = Qt::DisplayRole) {
    return page.Model().data(page.Model().index(row, column), role).toString();
}

TEST(OnAirPage, EachHourShowsItsPlanBesideWhatAiredWithTheDifferencesNamed) {
    OnAirStation f;
    TfMainForm& form = f.Form();
    OnAirPage& page = *form.tsOnAir;
    QAbstractItemModelTester tester(&page.Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    form.OnAir1->trigger();
    EXPECT_EQ(form.pcFormTabs->currentWidget(), &page);
    page.ShowDay(QDate(2026, 12, 9));

    using C = OnAirModel;
    ASSERT_EQ(page.Model().rowCount(), 5);  // the hour's heading and four lines
    EXPECT_TRUE(page.Model().IsHeading(0));
    EXPECT_EQ(page.Model().HeadingRowAt(f.six + 60000), 0);
    EXPECT_EQ(page.Model().HeadingRowAt(f.six - 1), -1);
    EXPECT_EQ(Cell(page, 0, C::PlannedAt), "06:00");
    EXPECT_EQ(Cell(page, 0, C::Planned), "onair_2026-12-09_06.m3u8: 3 planned");
    EXPECT_EQ(Cell(page, 0, C::Aired), "3 aired");
    EXPECT_EQ(Cell(page, 0, C::Difference), "1 never aired, 1 not planned, 1 early or late");
    const QStringList planned = {"Artist - a", "Artist - b", "Artist - c", ""};
    const QStringList aired = {"Artist - a", "", "Artist - c", "Artist - j1"};
    const QStringList differences = {"as planned", "never aired", "early by 100 s",
                                     "not planned: filler"};
    const QStringList airedAt = {"06:00:00", "", "06:01:40", "06:58:20"};
    for (int line = 0; line < 4; ++line) {
        EXPECT_EQ(Cell(page, line + 1, C::Planned), planned[line]) << line;
        EXPECT_EQ(Cell(page, line + 1, C::Aired), aired[line]) << line;
        EXPECT_EQ(Cell(page, line + 1, C::Difference), differences[line]) << line;
        EXPECT_EQ(Cell(page, line + 1, C::AiredAt), airedAt[line]) << line;
        // Only the differences are coloured, each kind its own colour.
        const QVariant colour =
            page.Model().data(page.Model().index(line + 1, C::Planned), Qt::BackgroundRole);
        EXPECT_EQ(colour.isValid(), line > 0) << line;
    }
    EXPECT_EQ(Cell(page, 2, C::PlannedAt), "06:01:40");
    EXPECT_EQ(Cell(page, 4, C::Length), "1:30, faded");
    EXPECT_EQ(Cell(page, 4, C::Aired, Qt::ToolTipRole),
              QString::fromStdString(f.Song("j1") + "\nfiller from " +
                                     f.Path("Playlists/jingles.m3u")));
    EXPECT_NE(page.Model().data(page.Model().index(2, 0), Qt::BackgroundRole),
              page.Model().data(page.Model().index(3, 0), Qt::BackgroundRole));
    EXPECT_EQ(page.TotalsText(), "Wed 2026-12-09: 1 hour, 3 planned, 3 aired; 1 never aired, "
                                 "1 not planned, 1 early or late");
    EXPECT_EQ(page.Table().columnSpan(0, C::Planned), 2);

    // A wider window forgives c; the day after has nothing; the day before comes back.
    page.LateSeconds().setValue(100);
    EXPECT_EQ(Cell(page, 3, C::Difference), "as planned");
    EXPECT_NE(page.TotalsText().indexOf("0 early or late"), -1);
    page.ShowDay(QDate(2026, 12, 10));
    EXPECT_EQ(page.Model().rowCount(), 0);
    EXPECT_EQ(page.TotalsText(), "Thu 2026-12-10: nothing planned and nothing aired");
    page.ShowDay(QDate(2026, 12, 9));
    EXPECT_EQ(page.Model().rowCount(), 5);
}

// The log stops in the 06:00 hour's last minutes: the 07:00 hour is to come, not missed.
TEST(OnAirPage, HoursTheLogHasNotReachedArePlannedNotMissed) {
    OnAirStation f;
    f.station.dir.Write("Playlists/onair_2026-12-09_07.m3u8",
                        "#EXTM3U\r\n#EXTINF:100,Artist - d\r\n" + f.Song("d") +
                            "\r\n#EXTINF:100,Artist - e\r\n" + f.Song("e") + "\r\n");
    OnAirPage& page = *f.Form().tsOnAir;
    page.ShowDay(QDate(2026, 12, 9));
    using C = OnAirModel;
    ASSERT_EQ(page.Model().rowCount(), 8);
    ASSERT_TRUE(page.Model().IsHeading(5));
    EXPECT_EQ(Cell(page, 5, C::Difference), "planned");
    EXPECT_EQ(Cell(page, 6, C::Difference), "planned");
    EXPECT_EQ(Cell(page, 7, C::Difference), "planned");
    auto colour = [&page](int row) {
        return page.Model().data(page.Model().index(row, C::Planned), Qt::BackgroundRole);
    };
    EXPECT_EQ(colour(6), colour(5)) << "the hour and its items in the colour of what is to come";
    EXPECT_NE(colour(6), colour(2)) << "not the colour of a miss";
    EXPECT_NE(colour(5), colour(0)) << "not the grey of an hour that aired";
    EXPECT_EQ(page.TotalsText(), "Wed 2026-12-09: 2 hours, 5 planned, 3 aired; 1 never aired, "
                                 "1 not planned, 1 early or late, 2 still planned");
    EXPECT_NE(page.FilesText().indexOf("(its last entry Wed 2026-12-09 06:59:50)"), -1)
        << page.FilesText().toStdString();
}

TEST(OnAirPage, WriteReportAsksTheFormatAndFileAndCountsTheListeners) {
    OnAirStation f;
    OnAirPage& page = *f.Form().tsOnAir;
    page.ReportFrom().setDate(QDate(2026, 12, 9));
    page.ReportTo().setDate(QDate(2026, 12, 9));
    page.SetAccessLogs({f.Path("not-there.log")});

    // Cancelled at the format, then at the access log: nothing is written.
    page.ReportButton().click();
    ASSERT_EQ(f.prompts.choiceQuestions.size(), 1u);
    EXPECT_EQ(f.prompts.choiceQuestions[0].first,
              "Which report of the plays from 2026-12-09 to 2026-12-09?");
    EXPECT_TRUE(f.prompts.saveQuestions.empty());
    f.prompts.choiceAnswer = "CSV of Every Play";
    f.prompts.saveAnswers.push_back(f.Path("plays.csv"));
    page.ReportButton().click();
    ASSERT_EQ(f.prompts.openQuestions.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(f.Path("plays.csv")));

    f.prompts.saveAnswers.push_back(f.Path("plays.csv"));
    f.prompts.openAnswers.push_back({f.Path("access.log")});
    page.ReportButton().click();
    EXPECT_TRUE(f.prompts.errors.empty());
    EXPECT_EQ(f.prompts.saveQuestions.back().proposedName, "plays_2026-12-09_2026-12-09.csv");
    EXPECT_EQ(page.AccessLogs(), std::vector<std::string>{f.Path("access.log")});  // kept for the next report
    const LineList rows = ParseLines(f.station.dir.Read("plays.csv"));
    ASSERT_EQ(rows.size(), 4u);
    for (size_t row = 1; row < rows.size(); ++row)
        EXPECT_EQ(rows[row].substr(rows[row].size() - 5), ",90,1") << rows[row];
    EXPECT_NE(f.Form().StatusText().indexOf("3 plays"), -1) << f.Form().StatusText().toStdString();

    // The service's name as typed goes into the report and stays for the next one.
    EXPECT_EQ(page.ServiceName().text(), "Kestrune");
    page.ServiceName().setText("Radio Kestrel");
    f.prompts.choiceAnswer = "SoundExchange";
    f.prompts.saveAnswers.push_back(f.Path("use.txt"));
    page.ReportButton().click();
    EXPECT_EQ(ParseLines(f.station.dir.Read("use.txt")).at(1).rfind("Radio Kestrel\t", 0), 0u);
    EXPECT_EQ(ReportServiceName(f.station.dir / "kestrune.ini"), "Radio Kestrel");

    // The last day before the first is refused by name.
    page.ReportFrom().setDate(QDate(2026, 12, 10));
    page.ReportButton().click();
    ASSERT_EQ(f.prompts.errors.size(), 1u);
    EXPECT_EQ(f.prompts.errors[0], "The report's last day comes before its first day.");
}

// Berlin, 25 October 2026: 02:00 comes twice, and the page shows two hours, the second "again",
// each with the whole list; the one on air is found by the instant, not by the clock's hour.
TEST(OnAirPage, TheHourTheClockShowsTwiceIsTwoHours) {
    const kestrune::testing::ScopedTimeZone berlin("Europe/Berlin");
    AppFixture f;
    std::string list = "#EXTM3U\r\n";
    for (const char* name : {"a", "b", "c"})
        list += std::string("#EXTINF:100,Artist - ") + name + "\r\n" + f.Path(name) + "\r\n";
    f.station.dir.Write("Playlists/onair_2026-10-25_02.m3u8", list);
    f.station.dir.Write("Sessions/aired.txt", "# Kestrune as-played log\n");
    OnAirPage& page = *f.Form().tsOnAir;
    page.ShowDay(QDate(2026, 10, 25));

    ASSERT_EQ(page.Model().rowCount(), 8);  // two headings of three planned lines each
    EXPECT_EQ(Cell(page, 0, OnAirModel::PlannedAt), "02:00");
    EXPECT_EQ(Cell(page, 4, OnAirModel::PlannedAt), "02:00 again");
    EXPECT_EQ(Cell(page, 5, OnAirModel::PlannedAt), "02:00:00 CET");
    const int64_t firstPass = kestrune::testing::UtcMs(2026, 10, 25, 0);
    EXPECT_EQ(page.Model().HeadingRowAt(firstPass + 60000), 0);
    EXPECT_EQ(page.Model().HeadingRowAt(firstPass + 3600000 + 60000), 4);
}

}  // namespace
}  // namespace kestrune::app
