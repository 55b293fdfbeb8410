#include <gtest/gtest.h>

#include <QImage>

#include "AppFixture.h"
#include "RotationPage.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

// One session of currents (a played twice, b once, c never) and the exempt jingles; the Dupe
// Checker at 3 hours; Ana plays again after two hours.
struct RotationStation : AppFixture {
    RotationStation() {
        station.dir.Write("kestrune.ini", "[Rules]\r\nhistory=1\r\nexempt=jingles.m3u\r\n");
        station.dir.Write("Playlists/currents.m3u",
                          Song("a") + "\r\n" + Song("b") + "\r\n" + Song("c") + "\r\n");
        station.dir.Write("Playlists/jingles.m3u", Song("j") + "\r\n");
        const std::string currents = Path("Playlists/currents.m3u");
        station.dir.Write("Sessions/hour.cwt",
                          currents + "\r\n" + Path("Playlists/jingles.m3u") + "\r\n#\r\n" +
                              currents + "\r\n##\r\n6\r\n###\r\n" + Path("out.m3u") +
                              "\r\n####\r\n001\r\n3\r\n");
        station.dir.Write("Sessions/play_history.txt",
                          Played("2026-12-09 05:00:00", "Ana", "a") +
                              Played("2026-12-09 05:04:00", "Bo", "b") +
                              Played("2026-12-09 07:00:00", "Ana", "a"));
    }
    std::string Song(const std::string& name) const { return Path("Music/" + name + ".mp3"); }
    std::string Played(const std::string& start, const std::string& artist,
                       const std::string& name) const {
        return start + "\t200\t" + artist + "\tSong " + name + "\t\t" + Song(name) + "\r\n";
    }
};

TEST(RotationPage, ShowsEachCategoryOfTheDaysChosen) {
    RotationStation f;
    TfMainForm& form = f.Form();
    RotationPage& page = *form.tsRotation;
    form.Rotation1->trigger();
    ASSERT_EQ(form.pcFormTabs->currentWidget(), &page);
    page.ShowDays(QDate(2026, 12, 9), QDate(2026, 12, 9));

    const RotationFigures& figures = page.Chart().Figures();
    ASSERT_EQ(figures.categories.size(), 2u);
    EXPECT_EQ(figures.categories[0].name, "currents.m3u");
    EXPECT_EQ(figures.categories[0].playsPerSong, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(figures.categories[1].name, "jingles.m3u");
    EXPECT_TRUE(figures.categories[1].exempt);
    // The station's history begins that morning.
    EXPECT_EQ(page.SummaryText().toStdString(),
              "24 hours, 2 with plays, 3 plays. The play history begins at 2026-12-09 "
              "05:00:00: the hours before have no plays in the figures.");
    EXPECT_EQ(page.RulesText().toStdString(), "Rules kept: artist 66.7% (2 of 3)");
    EXPECT_EQ(RotationChart::CategoryCaption(figures.categories[0]).toStdString(),
              "3 songs, 3 plays, a round in 2 h\nplays per song 0 / 1 / 2, never 1\n"
              "hours before a repeat 1.5 (min 1)\nsame-hour repeats 0");

    // The chart draws the plays: the first band holds blue bars, and a red stub for c.
    page.Chart().resize(700, page.Chart().sizeHint().height());
    const QImage picture = page.Chart().grab().toImage();
    int blue = 0;
    int red = 0;
    for (int y = 0; y < 96; ++y) {
        for (int x = 260; x < picture.width(); ++x) {
            const QColor colour = picture.pixelColor(x, y);
            blue += colour == QColor(0x3A, 0x6E, 0xA5);
            red += colour == QColor(0xC0, 0x30, 0x30);
        }
    }
    EXPECT_GT(blue, 0);
    EXPECT_GT(red, 0);

    // A day without plays, and a span the wrong way round.
    page.ShowDays(QDate(2026, 12, 10), QDate(2026, 12, 10));
    EXPECT_EQ(page.Chart().Figures().categories[0].plays, 0);
    EXPECT_EQ(page.SummaryText().toStdString(),
              "24 hours, 0 with plays, 0 plays. No play in the history from 2026-12-10 to "
              "2026-12-10.");
    page.ShowDays(QDate(2026, 12, 10), QDate(2026, 12, 9));
    EXPECT_EQ(page.SummaryText().toStdString(), "The last day comes before the first.");
    EXPECT_TRUE(page.Chart().Figures().categories.empty());
}

}  // namespace
}  // namespace kestrune::app
