#include <gtest/gtest.h>

#include <QApplication>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QSplitter>
#include <QTreeView>

#include "AppFixture.h"
#include "ListCreatorPage.h"
#include "listtools/QuickList.h"
#include "platform/LineList.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

TEST(ListCreatorPage, StartsOnTheTagPageAndTheStartFolder) {
    AppFixture f;
    ListCreatorPage& page = *f.Form().tsListCreator;
    EXPECT_EQ(page.PageControl1->currentWidget(), page.tsByID3);
    EXPECT_EQ(page.PageControl2->currentWidget(), page.Quick);
    EXPECT_EQ(page.PageControl1->tabText(0), "By Folder");
    EXPECT_EQ(page.PageControl2->tabPosition(), QTabWidget::South);
    EXPECT_EQ(page.CurrentFolder(), QString::fromStdString(f.station.dir.Path()));
    EXPECT_EQ(page.DriveComboBox1->itemText(0), "/");
    for (QCheckBox* box : {page.cbByArtist, page.cbByAlbum, page.cbByYear, page.cbByGenre}) EXPECT_FALSE(box->isChecked());
    // Only the tag lists that work are offered: no tab that says it is not active.
    EXPECT_EQ(page.PageControl2->count(), 1);
    EXPECT_EQ(page.PageControl2->tabText(0), "Easy");
    EXPECT_TRUE(page.PageControl2->tabBarAutoHide());
}

TEST(ListCreatorPage, TheSplittersAreOlive) {
    AppFixture f;
    ListCreatorPage& page = *f.Form().tsListCreator;
    for (QSplitter* splitter : {page.Splitter6, page.Splitter7}) {
        ASSERT_NE(splitter, nullptr);
        ASSERT_EQ(splitter->count(), 2);
        QSplitterHandle* bar = splitter->handle(1);
        bar->resize(splitter->handleWidth(), 40);  // its page need not be shown
        const QImage handle = bar->grab().toImage();
        ASSERT_FALSE(handle.isNull());
        EXPECT_EQ(QColor(handle.pixel(handle.width() / 2, handle.height() / 2)),
                  QColor(0x80, 0x80, 0x00));
    }
}

TEST(ListCreatorPage, TheDrivePickersOpenTheChosenDrive) {
    AppFixture f;
    std::filesystem::create_directories(f.Path("volume/inner"));
    f.station.dir.Write("volume/top.mp3", "x");
    ListCreatorPage& page = *f.Form().tsListCreator;
    const QString start = QString::fromStdString(f.station.dir.Path());
    const QString volume = QString::fromStdString(f.Path("volume"));

    // The drive that holds the current folder keeps it.
    emit page.DriveComboBox1->activated(page.DriveComboBox1->currentIndex());
    EXPECT_EQ(page.CurrentFolder(), start);
    // Another drive (a volume mounted at "volume", say) opens at its root.
    page.DriveComboBox1->addItem(volume);
    page.DriveComboBox1->setCurrentIndex(page.DriveComboBox1->count() - 1);
    emit page.DriveComboBox1->activated(page.DriveComboBox1->currentIndex());
    EXPECT_EQ(page.CurrentFolder(), volume);
    ASSERT_GE(page.DirectoryListBox1->count(), 2);
    EXPECT_EQ(page.DirectoryListBox1->item(0)->text(), volume) << "nothing above the drive";
    EXPECT_EQ(page.DirectoryListBox1->item(1)->text().trimmed(), "inner");
    ASSERT_EQ(page.FileListBox1->count(), 1);
    EXPECT_EQ(page.FileListBox1->item(0)->text(), "top.mp3");

    // The tag page's folder tree starts at its chosen drive.
    page.DriveComboBox2->addItem(volume);
    page.DriveComboBox2->setCurrentIndex(page.DriveComboBox2->count() - 1);
    emit page.DriveComboBox2->activated(page.DriveComboBox2->currentIndex());
    const auto* folders = qobject_cast<const QFileSystemModel*>(page.dolDirectories->model());
    ASSERT_NE(folders, nullptr);
    EXPECT_EQ(folders->filePath(page.dolDirectories->rootIndex()), volume);
    EXPECT_EQ(folders->filePath(page.dolDirectories->currentIndex()), volume);
}

TEST(ListCreatorPage, TheFileListFollowsTheFolderAndSavesAsAPlaylist) {
    AppFixture f;
    std::filesystem::create_directories(f.Path("music/Sub Folder"));
    f.station.dir.Write("music/b.mp3", "x");
    f.station.dir.Write("music/A.MP3", "x");
    f.station.dir.Write("music/.hidden.mp3", "x");
    f.station.dir.Write("music/cover.jpg", "x");
    ListCreatorPage& page = *f.Form().tsListCreator;

    // Open "music" in the folder list as a double-click does.
    page.OpenFolder(QString::fromStdString(f.Path("music")));
    ASSERT_EQ(page.FileListBox1->count(), 2);
    EXPECT_EQ(page.FileListBox1->item(0)->text(), "A.MP3");
    // The folder list shows the way down and then the sub-folders; opening one moves there.
    const auto found = page.DirectoryListBox1->findItems("Sub Folder", Qt::MatchEndsWith);
    ASSERT_EQ(found.size(), 1);
    page.DirectoryListBox1->setCurrentItem(found[0]);
    page.DirectoryListBox1Change();
    EXPECT_EQ(page.CurrentFolder(), QString::fromStdString(f.Path("music/Sub Folder")));
    EXPECT_EQ(page.FileListBox1->count(), 0);

    // A folder without MP3 files gives an empty playlist.
    f.prompts.saveAnswers.push_back(f.Path("Playlists/empty.m3u"));
    page.SaveAsList->click();
    EXPECT_EQ(f.station.dir.Read("Playlists/empty.m3u"), "");
    ASSERT_EQ(f.prompts.saveQuestions.size(), 1u);
    EXPECT_EQ(f.prompts.saveQuestions[0].initialFolder, f.Path("Playlists"));

    page.OpenFolder(QString::fromStdString(f.Path("music")));
    f.prompts.saveAnswers.push_back(f.Path("Playlists/music.m3u"));
    page.SaveAsList->click();
    EXPECT_EQ(f.station.Lines(f.Path("Playlists/music.m3u")), (LineList{f.Path("music/A.MP3"), f.Path("music/b.mp3")}));
    EXPECT_EQ(f.Form().StatusText().toStdString(), "Playlist saved to " + f.Path("Playlists/music.m3u") + ".");
    EXPECT_EQ(f.prompts.saveQuestions[0].proposedName, f.Path("Playlists/Sub Folder.m3u"));
    EXPECT_EQ(f.prompts.saveQuestions.back().proposedName, f.Path("Playlists/music.m3u"))
        << "named after its folder";
    // Not after the on-air output the shared dialog chose last.
    f.Form().Context().sdSavePlaylist.proposedName = f.Path("Playlists/on-air.m3u");
    page.SaveAsList->click();  // cancelled: nothing written
    EXPECT_EQ(f.prompts.saveQuestions.back().proposedName, f.Path("Playlists/music.m3u"));
    EXPECT_EQ(f.Form().Context().sdSavePlaylist.proposedName, f.Path("Playlists/on-air.m3u"))
        << "the output's own proposal stays";
    EXPECT_EQ(f.station.Lines(f.Path("Playlists/music.m3u")).size(), 2u);
    EXPECT_TRUE(f.prompts.messages.empty());
}

TEST(ListCreatorPage, ALargeFolderIsListedWholeInOrderAndSavedWhole) {
    AppFixture f;
    std::filesystem::create_directories(f.Path("crate"));
    for (int i = 0; i < 600; ++i)
        f.station.dir.Write("crate/" + std::string(i % 2 == 0 ? "Song " : "song ") + std::to_string(i) +
                                (i % 3 == 0 ? ".MP3" : ".mp3"),
                            "x");
    ListCreatorPage& page = *f.Form().tsListCreator;
    page.OpenFolder(QString::fromStdString(f.Path("crate")));

    const LineList names = MP3FileNames(f.Path("crate"), LibrarySettings{});
    ASSERT_EQ(page.FileListBox1->count(), 600);
    for (int i = 0; i < 600; ++i) ASSERT_EQ(page.FileListBox1->item(i)->text().toStdString(), names[static_cast<size_t>(i)]);
    EXPECT_TRUE(page.FileListBox1->uniformItemSizes());

    f.prompts.saveAnswers.push_back(f.Path("Playlists/crate.m3u"));
    page.SaveAsList->click();
    const LineList saved = f.station.Lines(f.Path("Playlists/crate.m3u"));
    ASSERT_EQ(saved.size(), 600u);
    for (size_t i = 0; i < saved.size(); ++i) EXPECT_EQ(saved[i], f.Path("crate/" + names[i]));
}

TEST(ListCreatorPage, GoMakesTagPlaylistsAndAnUnreadableFileAsksFirst) {
    AppFixture f;
    f.station.Playlist("ignored.m3u", {{200, "Tin/Can Band!", "Blue Hours", 79}, {180, "Other", "Song", 13}});
    f.station.dir.Write("songs/broken.mp3", std::string(2000, 'x'));
    ListCreatorPage& page = *f.Form().tsListCreator;
    auto* model = static_cast<QFileSystemModel*>(page.dolDirectories->model());
    page.dolDirectories->setCurrentIndex(model->index(QString::fromStdString(f.Path("songs"))));
    page.cbByArtist->setChecked(true);
    page.cbByGenre->setChecked(true);
    f.prompts.openErrorAnswers = {kAnswerRetry, kAnswerIgnore};
    page.btnSearchForFiles->click();

    EXPECT_EQ(f.prompts.openErrors, std::vector<std::string>(2, f.Path("songs/broken.mp3"))) << "Retry asks again";
    EXPECT_EQ(f.prompts.messages.back(),
              "Playlists have been created. You will find them in the " + f.Path("Playlists") + " directory!");
    EXPECT_EQ(f.station.Lines(f.Path("Playlists/_genre_Hard Rock_.m3u")).size(), 1u);
    EXPECT_EQ(f.station.Lines(f.Path("Playlists/_art_Tin_Can_Band__.m3u")).size(), 1u);
    EXPECT_EQ(f.station.Lines(f.Path("Playlists/_art_Unknown_Artist_.m3u")), LineList{f.Path("songs/broken.mp3")});
    EXPECT_EQ(f.Form().StatusText().toStdString(),
              "Passed over 1 file that could not be read: " + f.Path("songs/broken.mp3") + ".");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone";

    // Once more, afresh: each list is replaced, not added to.
    page.cbStartAfresh->setChecked(true);
    f.prompts.openErrorAnswers = {kAnswerIgnore};
    page.btnSearchForFiles->click();
    EXPECT_EQ(f.station.Lines(f.Path("Playlists/_art_Unknown_Artist_.m3u")), LineList{f.Path("songs/broken.mp3")});
    EXPECT_EQ(f.station.Lines(f.Path("Playlists/_genre_Hard Rock_.m3u")).size(), 1u);
}

TEST(ListCreatorPage, IgnoreAllAsksOnceAndEscStopsThePass) {
    AppFixture f;
    f.station.Playlist("ignored.m3u", {{200, "Band", "Song", 79}});
    for (const char* name : {"a", "b", "c", "d", "e"})
        f.station.dir.Write(std::string("songs/broken-") + name + ".mp3", std::string(2000, 'x'));
    ListCreatorPage& page = *f.Form().tsListCreator;
    auto* model = static_cast<QFileSystemModel*>(page.dolDirectories->model());
    page.dolDirectories->setCurrentIndex(model->index(QString::fromStdString(f.Path("songs"))));
    page.cbByArtist->setChecked(true);
    f.prompts.openErrorAnswers = {kAnswerIgnoreAll};
    page.btnSearchForFiles->click();
    EXPECT_EQ(f.prompts.openErrors, std::vector<std::string>{f.Path("songs/broken-a.mp3")});
    EXPECT_EQ(f.station.Lines(f.Path("Playlists/_art_Unknown_Artist_.m3u")).size(), 5u);
    EXPECT_EQ(f.Form().StatusText().toStdString(),
              "Passed over 5 files that could not be read: " + f.Path("songs/broken-a.mp3") + ", " +
                  f.Path("songs/broken-b.mp3") + ", " + f.Path("songs/broken-c.mp3") + " and 2 more.");
    // The next command asks again.
    f.prompts.openErrorAnswers = {kAnswerIgnore};
    f.prompts.openErrors.clear();
    std::filesystem::remove(f.Path("Playlists/_art_Unknown_Artist_.m3u"));
    page.btnSearchForFiles->click();
    EXPECT_EQ(f.prompts.openErrors.size(), 5u);

    // Esc waiting when the pass begins: it stops before the first file and says where.
    const size_t messages = f.prompts.messages.size();
    std::filesystem::remove(f.Path("Playlists/_art_Unknown_Artist_.m3u"));
    QCoreApplication::postEvent(page.dolDirectories,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    page.btnSearchForFiles->click();
    EXPECT_EQ(f.Form().StatusText().toStdString(),
              "Tag playlists stopped after 0 of 6 files; the next would have been " +
                  f.station.SongPath({200, "Band", "Song", 79}) + ".");
    EXPECT_EQ(f.prompts.messages.size(), messages) << "no completion message";
    EXPECT_FALSE(std::filesystem::exists(f.Path("Playlists/_art_Unknown_Artist_.m3u")));
    EXPECT_FALSE(f.Form().Context().stopRequest) << "the request ends with its command";
}

}  // namespace
}  // namespace kestrune::app
