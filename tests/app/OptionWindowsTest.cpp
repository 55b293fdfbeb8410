#include <gtest/gtest.h>

#include <QFileSystemModel>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <filesystem>

#include "AppFixture.h"
#include "BuildPage.h"
#include "platform/LineList.h"
#include "sessions/SessionFile.h"

namespace kestrune::app {
namespace {

using testing::AppFixture;

int VisibleWindows(const char* className) {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->inherits(className)) ++count;
    return count;
}

void ClickCheckBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

void Type(QComboBox* box, const QString& text) {
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
}

// Space from the bottom of one control to the top of the next.
int Gap(const QWidget* above, const QWidget* below) {
    return below->y() - (above->y() + above->height());
}

TEST(OptionWindowsDupeChecker, GreysTheHoursWithTheCheckBoxAndKeepsItsValues) {
    AppFixture f;
    TfMainForm& form = f.Form();
    TfDMCA& w = *f.dupe;
    BuildSession& model = form.Session();

    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Check for Duplicate Artists");
    EXPECT_FALSE(w.testAttribute(Qt::WA_QuitOnClose)) << "closing the main window ends the program";
    EXPECT_EQ(w.pos(), QPoint(298, 293));
    EXPECT_EQ(w.StaticText2->text(),
              "This function checks for duplicate artists when building your playlists. It is "
              "recommended to "
              "leave this function enabled for more variety in your playlists. It also maintains "
              "compliance "
              "with DMCA regulations.");
    EXPECT_EQ(w.StaticText1->text(),
              "If the Dupe Checker is enabled you can specify how much of the playlist it should "
              "scan for "
              "duplicate artists.");
    EXPECT_EQ(w.cbDupeCheck->text(), "Dupe Checker On/Off");
    EXPECT_EQ(w.Label1->text(), "Dupe Time (in hours):");
    // The controls at their places; a text that needs more lines pushes what is below it down.
    EXPECT_EQ(w.StaticText2->geometry().topLeft(), QPoint(24, 17));
    EXPECT_EQ(w.StaticText2->width(), 353);
    EXPECT_GE(w.StaticText2->height(), 45);
    EXPECT_EQ(w.cbDupeCheck->x(), 24);
    EXPECT_EQ(w.cbDupeCheck->y(), 73 + w.StaticText2->height() - 45);
    EXPECT_EQ(w.StaticText1->x(), 24);
    EXPECT_EQ(w.StaticText1->width(), 353);
    EXPECT_EQ(w.StaticText1->y() - w.cbDupeCheck->y(), 113 - 73);
    EXPECT_EQ(w.Label1->x(), 23);
    EXPECT_EQ(Gap(w.StaticText1, w.Label1), 169 - (113 + 38));
    EXPECT_EQ(w.ComboBox1->y() - w.Label1->y(), 166 - 169);
    EXPECT_GE(w.ComboBox1->x(), 150);
    EXPECT_GT(w.ComboBox1->x(), w.Label1->x() + w.Label1->width()) << "the label is not covered";
    EXPECT_EQ(w.ComboBox1->width(), 53);
    const int grown = w.StaticText2->height() - 45 + w.StaticText1->height() - 38;
    EXPECT_EQ(w.minimumSize(), QSize(399, 234 + grown));
    EXPECT_EQ(w.maximumSize(), w.minimumSize()) << "not resizable";
    EXPECT_NE(w.palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xD2)) << "a grey dialog";

    // The defaults.
    EXPECT_TRUE(w.cbDupeCheck->isChecked());
    EXPECT_TRUE(w.ComboBox1->isEnabled());
    EXPECT_TRUE(w.ComboBox1->isEditable());
    EXPECT_EQ(w.ComboBox1->currentText(), "3");
    ASSERT_EQ(w.ComboBox1->count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.ComboBox1->itemText(i), QString::number(i + 1));

    // Opened twice: one window.
    form.DMCA1->trigger();
    form.DMCA1->trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(VisibleWindows("kestrune::app::TfDMCA"), 1);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w, testing::kGenerousMilliseconds));

    ClickCheckBox(w.cbDupeCheck);
    EXPECT_FALSE(model.fDMCA.cbDupeCheck);
    EXPECT_FALSE(w.ComboBox1->isEnabled());
    EXPECT_EQ(w.ComboBox1->currentText(), "3");
    ClickCheckBox(w.cbDupeCheck);
    EXPECT_TRUE(model.fDMCA.cbDupeCheck);
    EXPECT_TRUE(w.ComboBox1->isEnabled());
    EXPECT_EQ(w.ComboBox1->currentText(), "3");
    Type(w.ComboBox1, "x");
    EXPECT_EQ(model.fDMCA.ComboBox1, "3") << "a letter does not go in";
    Type(w.ComboBox1, "4");
    EXPECT_EQ(model.fDMCA.ComboBox1, "4");
    w.ComboBox1->setCurrentIndex(0);
    EXPECT_EQ(model.fDMCA.ComboBox1, "1");
    Type(w.ComboBox1, "4");

    // Closing only hides; the values are there when it comes back.
    w.close();
    EXPECT_FALSE(w.isVisible());
    form.DMCA1Click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.ComboBox1->currentText(), "4");
    EXPECT_TRUE(w.cbDupeCheck->isChecked());

    // A session that turns the check off greys the hours, as a click does; the hours stay.
    f.station.dir.Write("off.cwt", FormatLines({"/l/a.m3u", "#", "/l/a.m3u", "##", "60", "###",
                                                "/o.m3u", "####", "110"}));
    LoadSession(f.Path("off.cwt"), form.Context().build);
    form.RefreshAll();
    EXPECT_FALSE(w.cbDupeCheck->isChecked());
    EXPECT_FALSE(w.ComboBox1->isEnabled());
    EXPECT_EQ(w.ComboBox1->currentText(), "4");
    EXPECT_TRUE(f.genre->cbGenreCheck->isChecked());
    EXPECT_TRUE(form.tsBuildPlaylist->cbTextOutput->isChecked());
    EXPECT_FALSE(model.fDMCA.cbDupeCheck);
    f.station.dir.Write("on.cwt", FormatLines({"/l/a.m3u", "#", "/l/a.m3u", "##", "60", "###",
                                               "/o.m3u", "####", "001", "2"}));
    LoadSession(f.Path("on.cwt"), form.Context().build);
    form.RefreshAll();
    EXPECT_TRUE(w.cbDupeCheck->isChecked());
    EXPECT_TRUE(w.ComboBox1->isEnabled());
    EXPECT_EQ(w.ComboBox1->currentText(), "2");
    EXPECT_FALSE(f.genre->cbGenreCheck->isChecked());
    EXPECT_FALSE(form.tsBuildPlaylist->cbTextOutput->isChecked());
    EXPECT_EQ(model.fDMCA.ComboBox1, "2");
}

TEST(OptionWindowsGenreChecker, ShowsOnceAndWritesTheCheckIntoTheModel) {
    AppFixture f;
    TfMainForm& form = f.Form();
    TfGenre& w = *f.genre;
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Genre Checker");
    EXPECT_FALSE(w.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(w.pos(), QPoint(316, 421));
    EXPECT_EQ(w.StaticText1->text(),
              "Enabling this function will force the Kestrune to try to ensure that two "
              "consecutive songs in "
              "your playlist will not be from the same genre. This comes in handy for Top-40-style "
              "stations.");
    EXPECT_EQ(w.StaticText1->geometry().topLeft(), QPoint(32, 16));
    EXPECT_EQ(w.StaticText1->width(), 329);
    EXPECT_EQ(w.cbGenreCheck->text(), "Genre Check On/Off");
    EXPECT_EQ(w.cbGenreCheck->pos(), QPoint(112, 96 + w.StaticText1->height() - 49));
    EXPECT_FALSE(w.cbGenreCheck->isChecked());
    EXPECT_NE(w.minimumSize(), w.maximumSize()) << "resizable";

    form.GenreChecker1->trigger();
    form.GenreChecker1->trigger();
    EXPECT_EQ(VisibleWindows("kestrune::app::TfGenre"), 1);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w, testing::kGenerousMilliseconds));
    // Frame included; the offscreen system draws no frame.
    EXPECT_EQ(w.frameGeometry().size(), QSize(417, 168 + w.StaticText1->height() - 49));

    ClickCheckBox(w.cbGenreCheck);
    EXPECT_TRUE(form.Session().fGenre.cbGenreCheck);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(form.Session().fGenre.cbGenreCheck);
    form.GenreChecker1Click();
    EXPECT_TRUE(w.cbGenreCheck->isChecked());
    ClickCheckBox(w.cbGenreCheck);
    EXPECT_FALSE(form.Session().fGenre.cbGenreCheck);
}

TEST(OptionWindowsDirectories, ShowsTheStoredFoldersAndSavesExactlyWhatItHolds) {
    AppFixture f;
    TfMainForm& form = f.Form();
    TfDirectories& w = *f.directories;
    const std::string start = f.station.dir.Path();
    const std::string ini = f.Path("kestrune.ini");

    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "fDirectories");
    EXPECT_TRUE((w.windowFlags() & Qt::WindowType_Mask) == Qt::Tool);
    EXPECT_FALSE(w.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(w.StaticText1->text(),
              "Navigate to a directory. When you find the one you would like to use to store your "
              "playlists, "
              "hit the SELECT button next to \"Playlists Directory.\" Then nevaigate to the "
              "directory you would "
              "like to store your templates and click the SELECT button.");
    EXPECT_EQ(w.btnSelectPlaylistDir->text(), "Select ------>");
    EXPECT_EQ(w.btnSelectSessionDir->text(), "Select ------>");
    EXPECT_EQ(w.Label1->text(), "Playlists Directory");
    EXPECT_EQ(w.Label2->text(), "Sessions Directory");
    EXPECT_EQ(w.btnSaveConfig->text(), "Save Settings");
    EXPECT_GE(w.DriveComboBox1->findText("/"), 0) << "the file-system root is one of the drives";
    EXPECT_EQ(w.OpenedFolder(), QString::fromStdString(start))
        << "the tree opens at the start folder";

    // Before any save: the defaults in force, and no file written.
    form.Directories1->trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w, testing::kGenerousMilliseconds));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "fixed size";
    EXPECT_EQ(w.edPlaylists->text().toStdString(), start + "/Playlists");
    EXPECT_EQ(w.edSessions->text().toStdString(), start + "/Sessions");
    EXPECT_FALSE(std::filesystem::exists(ini));
    w.btnSaveConfig->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(f.prompts.errors.empty());
    EXPECT_EQ(f.station.dir.Read("kestrune.ini"), "[Config]\r\nplaylistsdir=" + start +
                                                      "/Playlists\r\nsessionsdir=" + start +
                                                      "/Sessions\r\n");

    // The "Select" buttons copy the open folder; an empty field is saved empty.
    std::filesystem::create_directories(f.Path("Music/Lists"));
    form.Directories1Click();
    w.OpenFolder(QString::fromStdString(f.Path("Music/Lists")));
    EXPECT_TRUE(w.DirectoryListBox1->currentIndex().isValid());
    w.btnSelectPlaylistDir->click();
    EXPECT_EQ(w.edPlaylists->text().toStdString(), f.Path("Music/Lists"));
    w.OpenFolder(QString::fromStdString(f.Path("Music")));
    w.btnSelectSessionDir->click();
    EXPECT_EQ(w.edSessions->text().toStdString(), f.Path("Music"));
    w.edSessions->clear();
    w.btnSaveConfig->click();
    EXPECT_FALSE(w.isVisible());
    const ConfigValues stored = ReadConfig(ini, "/elsewhere");
    EXPECT_EQ(stored.playlistsdir, f.Path("Music/Lists"));
    EXPECT_EQ(stored.sessionsdir, "");
    // At once, everywhere the folders are used.
    EXPECT_EQ(form.Folders().playlists, f.Path("Music/Lists"));
    EXPECT_EQ(form.Folders().sessions, "");
    EXPECT_EQ(form.Context().sdSavePlaylist.initialFolder, f.Path("Music/Lists"));
    EXPECT_EQ(form.Context().sdSaveSessions.initialFolder, "");
    form.tsBuildPlaylist->Button1->click();
    ASSERT_FALSE(f.prompts.openQuestions.empty());
    EXPECT_EQ(f.prompts.openQuestions.back().initialFolder, f.Path("Music/Lists"));

    // Closed without saving: the next opening shows the stored values, not what was typed.
    form.Directories1Click();
    w.edPlaylists->setText("/typed/but/not/saved");
    w.close();
    form.Directories1Click();
    EXPECT_EQ(w.edPlaylists->text().toStdString(), f.Path("Music/Lists"));
    EXPECT_EQ(form.Folders().playlists, f.Path("Music/Lists"));
}

TEST(OptionWindowsDirectories, TheDrivePickerShowsTheChosenDrive) {
    AppFixture f;
    f.Form();
    std::filesystem::create_directories(f.Path("volume/inner"));
    TfDirectories& w = *f.directories;
    const QString start = QString::fromStdString(f.station.dir.Path());
    const QString volume = QString::fromStdString(f.Path("volume"));
    const int startDrive = w.DriveComboBox1->currentIndex();

    // Another drive (a volume mounted at "volume", say): its root is shown and chosen.
    w.DriveComboBox1->addItem(volume);
    w.DriveComboBox1->setCurrentIndex(w.DriveComboBox1->count() - 1);
    const auto* folders = qobject_cast<const QFileSystemModel*>(w.DirectoryListBox1->model());
    ASSERT_NE(folders, nullptr);
    EXPECT_EQ(folders->filePath(w.DirectoryListBox1->rootIndex()), volume);
    w.btnSelectPlaylistDir->click();
    EXPECT_EQ(w.edPlaylists->text(), volume);

    // Back on the start folder's drive, the start folder is open again.
    w.DriveComboBox1->setCurrentIndex(startDrive);
    w.btnSelectPlaylistDir->click();
    EXPECT_EQ(w.edPlaylists->text(), start);
}

TEST(OptionWindowsDirectories, AConfigurationThatCannotBeWrittenKeepsTheWindowAndTheOldFolders) {
    kestrune::testing::StationFixture station;
    testing::ScriptedAppPrompts prompts;
    const std::string ini = station.dir / "missing/kestrune.ini";  // its folder does not exist
    TfMainForm form(station.dir.Path(), ini, &prompts);
    TfDMCA dupe(form.Context());
    TfGenre genre(form.Context());
    TfDirectories w(form.Context());
    form.AttachOptionWindows(&dupe, &genre, &w);
    const std::string oldPlaylists = form.Folders().playlists;
    EXPECT_EQ(oldPlaylists, station.dir / "Playlists");

    form.Directories1Click();
    w.edPlaylists->setText("/new/playlists");
    w.edSessions->setText("/new/sessions");
    w.btnSaveConfig->click();
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"Unable to write to " + ini + "."});
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.edPlaylists->text(), "/new/playlists");
    EXPECT_EQ(w.edSessions->text(), "/new/sessions");
    EXPECT_EQ(form.Folders().playlists, oldPlaylists);
    EXPECT_EQ(form.Folders().sessions, station.dir / "Sessions");
    EXPECT_EQ(form.Context().sdSavePlaylist.initialFolder, oldPlaylists);
    EXPECT_EQ(form.Context().sdSaveSessions.initialFolder, station.dir / "Sessions");
    EXPECT_FALSE(std::filesystem::exists(ini));
}

}  // namespace
}  // namespace kestrune::app
