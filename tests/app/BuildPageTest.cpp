#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

#include "AppFixture.h"
#include "BuildPage.h"
#include "EscStops.h"
#include "MainForm.h"
#include "OptionWindows.h"
#include "PathNames.h"
#include "QtBuildView.h"
#include "ScriptedAppPrompts.h"
#include "building/PlaylistBuilder.h"
#include "platform/LineList.h"
#include "support/Station.h"

namespace kestrune::app {
namespace {

using kestrune::testing::TestSong;

const char* const kNoFilesToMove =
    "There are no files to move. Double click items in the upper left window to add them to the "
    "Clock Wheel Template.";
const char* const kSelectFileToMove = "Select a file to move, then click UP or DOWN.";
const char* const kNoTemplate =
    "You must build a template or format for your new playlist to follow. Double click items in "
    "the upper left window to add them to the Clock Wheel Template.";
const char* const kBuildComplete = "Playlist is complete. Click 'ACCEPT LIST' to save it.";

// A shown main window with its option windows over a station in a temporary folder.
struct Station : testing::AppFixture {
    Station() {
        Form().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get(), testing::kGenerousMilliseconds));
    }
    BuildPage& Page() { return *form->tsBuildPlaylist; }
    BuildSession& Session() { return form->Session(); }
};

QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
}

int SelectedRow(const QListWidget* list) {
    const auto items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

// What the mouse does in a double-click: press, release, the second press, release.
void DoubleClickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    ASSERT_TRUE(rect.isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void ClickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(row)).center());
}

void Type(QComboBox* box, const QString& text) {
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
}

QColor Background(const QWidget* widget, QPalette::ColorRole role) {
    return widget->palette().color(role);
}

TEST(BuildPage, ShowsEveryControlWithItsCaptionHintSizeAndColour) {
    Station s;
    BuildPage& p = s.Page();

    EXPECT_EQ(p.Label12->text(), "Playlists to use in template");
    EXPECT_EQ(p.Label4->text(), "Clockwheel Template");
    EXPECT_EQ(p.Label3->text(), "Desired Length (in minutes)");
    EXPECT_EQ(p.Label2->text(), "Final Playlist");
    EXPECT_EQ(p.StaticText1->text(),
              "The Kestrune can also save your playlist as a text file for archiving.");
    EXPECT_EQ(p.Label13->text(), "Micro Shuffle");
    EXPECT_EQ(p.Label14->text(), "Major Shuffle");
    EXPECT_EQ(p.Label6->text(), "Playlist Building");
    EXPECT_EQ(p.GroupBox1->title(), "Progress Indicators");
    EXPECT_EQ(p.Button1->text(), "+");
    EXPECT_EQ(p.Button2->text(), "--");
    EXPECT_EQ(p.Button3->text(), "C");
    EXPECT_EQ(p.btFileUp->text(), "Up");
    EXPECT_EQ(p.btFileDown->text(), "Down");
    EXPECT_EQ(p.btClearTemplate->text(), "Clear");
    EXPECT_EQ(p.btClearFinalPlaylist->text(), "Clear without Saving");
    EXPECT_EQ(p.btAcceptFinalPlaylist->text(), "Accept List");
    EXPECT_EQ(p.cbTextOutput->text(), "Save to Text");
    EXPECT_EQ(p.btLocateDir->text(), "Where should I save final playlist?");
    EXPECT_EQ(p.btBuildPlaylist->text(), "Build Playlist!");

    EXPECT_EQ(p.lbClockwheelTemplate->toolTip(),
              "This window is where you will build the sequence for your final playlist. ");
    EXPECT_EQ(p.lbSavePlaylist->toolTip(),
              "The filname in this window is where your new playlist will be saved. Click the "
              "button above "
              "to specify a new location.");
    EXPECT_EQ(p.lbMasterPlaylists->toolTip(),
              "This window lists all playlists (.m3u's) that will be used in your final formatted "
              "playlist.");
    EXPECT_EQ(p.Button1->toolTip(), "Add playlist(s) to be used in final format.");
    EXPECT_EQ(p.ComboBox1->toolTip(),
              "Select or type a length (in minutes) for your final playlist.");
    EXPECT_EQ(p.GroupBox1->toolTip(),
              "These meters track the progress of playlist building once you click the BUILD "
              "PLAYLIST button.");
    EXPECT_TRUE(p.btClearTemplate->toolTip().isEmpty());
    EXPECT_TRUE(p.Label3->toolTip().isEmpty());
    EXPECT_EQ(p.Splitter4->handle(1)->toolTip(), "Drag this left or right to view window better.");

    // The desired length: 26 choices, all shown at once, any text accepted.
    ASSERT_EQ(p.ComboBox1->count(), 26);
    EXPECT_EQ(p.ComboBox1->itemText(0), "30");
    EXPECT_EQ(p.ComboBox1->itemText(3), "120");
    EXPECT_EQ(p.ComboBox1->itemText(4), "180");
    EXPECT_EQ(p.ComboBox1->itemText(25), "1440");
    EXPECT_EQ(p.ComboBox1->maxVisibleItems(), 26);
    EXPECT_TRUE(p.ComboBox1->isEditable());
    EXPECT_EQ(p.ComboBox1->width(), 58);

    for (QProgressBar* meter : {p.ProgressBar1, p.ProgressBar2, p.ProgressBar3}) {
        EXPECT_FALSE(meter->isTextVisible());
        EXPECT_EQ(meter->minimum(), 0);
        EXPECT_EQ(meter->maximum(), 100);
        EXPECT_EQ(meter->value(), 0);
        EXPECT_EQ(meter->parentWidget(), p.GroupBox1);
    }

    // Sizes: never smaller than laid down (a wide system font may widen a caption's button).
    EXPECT_EQ(p.btBuildPlaylist->height(), 57);
    EXPECT_GE(p.btBuildPlaylist->width(), 104);
    EXPECT_GE(p.btLocateDir->width(), 173);
    EXPECT_GE(p.btClearFinalPlaylist->width(), 114);
    EXPECT_EQ(p.btAcceptFinalPlaylist->width(), p.btClearFinalPlaylist->width());
    EXPECT_GE(p.Button1->width(), 23);
    EXPECT_EQ(p.btFileDown->size(), p.btFileUp->size());
    EXPECT_EQ(p.GroupBox1->size(), QSize(189, 133));
    EXPECT_LT(p.lbSavePlaylist->height(), 2 * p.lbSavePlaylist->fontMetrics().height() + 8)
        << "one line high";

    // The starting panes.
    EXPECT_EQ(p.Splitter5->orientation(), Qt::Horizontal);
    EXPECT_EQ(p.Splitter5->handleWidth(), 2);
    // The left area is 553 wide unless the right column needs more room for its captions.
    QWidget* Panel2 = p.btLocateDir->parentWidget();
    const int across = p.Splitter5->width() - p.Splitter5->handleWidth();
    EXPECT_EQ(p.Splitter5->sizes().value(0),
              std::min(553, across - Panel2->minimumSizeHint().width()));
    EXPECT_GE(p.Splitter5->sizes().value(0), 540);
    EXPECT_EQ(p.Splitter3->orientation(), Qt::Vertical);
    EXPECT_EQ(p.Splitter3->sizes().value(1), 184);
    EXPECT_EQ(p.Splitter4->sizes().value(0), 264);
    // The lists take up what the window gains.
    const int masterWidth = p.lbMasterPlaylists->width();
    const int finalHeight = p.lbFinalPlaylist->height();
    s.form->resize(s.form->width() + 200, s.form->height() + 100);
    const bool grown = testing::ProcessEventsUntil([&] {
        return p.lbMasterPlaylists->width() > masterWidth &&
               p.lbFinalPlaylist->height() > finalHeight;
    });
    EXPECT_TRUE(grown) << p.lbMasterPlaylists->width() << " " << p.lbFinalPlaylist->height();

    // Colours and fonts.
    const QColor paleYellow(0xFF, 0xFF, 0xD2);
    const QColor lightGrey(0xF2, 0xF2, 0xF2);
    EXPECT_EQ(Background(p.Label12->parentWidget(), QPalette::Window), paleYellow);
    EXPECT_TRUE(p.Label12->parentWidget()->autoFillBackground());
    EXPECT_EQ(Background(p.Label4->parentWidget(), QPalette::Window), paleYellow);
    EXPECT_EQ(Background(p.Label2->parentWidget(), QPalette::Window), paleYellow);
    EXPECT_EQ(Background(p.btLocateDir->parentWidget(), QPalette::Window), paleYellow);
    for (QListWidget* list : {p.lbMasterPlaylists, p.lbClockwheelTemplate, p.lbFinalPlaylist})
        EXPECT_EQ(Background(list, QPalette::Base), lightGrey);
    const QImage handle = p.Splitter5->handle(1)->grab().toImage();
    ASSERT_FALSE(handle.isNull());
    EXPECT_EQ(QColor(handle.pixel(handle.width() / 2, handle.height() / 2)),
              QColor(0x80, 0x80, 0x00));
    EXPECT_LT(p.Label2->font().pointSizeF(), p.Label4->font().pointSizeF() - 1.5);
    EXPECT_LT(p.GroupBox1->font().pointSizeF(), p.Label13->font().pointSizeF() - 1.5);
    EXPECT_EQ(p.Label13->font().pointSizeF(), p.Label4->font().pointSizeF());
}

TEST(BuildPage, EditsTheMasterPlaylistsAndTheTemplateThroughTheButtons) {
    Station s;
    BuildPage& p = s.Page();
    BuildSession& model = s.Session();

    // "+": the chosen files, each at its sorted place; the dialog opens in the playlists folder.
    s.prompts.openAnswers.push_back({"/lists/b.m3u", "/lists/A.m3u"});
    p.Button1->click();
    ASSERT_EQ(s.prompts.openQuestions.size(), 1u);
    EXPECT_EQ(s.prompts.openQuestions[0].filter, "Winamp Playlist|*.m3u");
    EXPECT_EQ(s.prompts.openQuestions[0].initialFolder, s.Path("Playlists"));
    EXPECT_TRUE(s.prompts.openQuestions[0].multiple);
    EXPECT_EQ(Texts(p.lbMasterPlaylists), (QStringList{"/lists/A.m3u", "/lists/b.m3u"}));
    s.prompts.openAnswers.push_back({"/lists/c.m3u", "/lists/b.m3u"});
    p.Button1->click();
    EXPECT_EQ(Texts(p.lbMasterPlaylists),
              (QStringList{"/lists/A.m3u", "/lists/b.m3u", "/lists/b.m3u", "/lists/c.m3u"}));
    p.Button1->click();  // cancelled
    EXPECT_EQ(p.lbMasterPlaylists->count(), 4);
    EXPECT_EQ(model.lbMasterPlaylists.Count(), 4);

    // Moving with an empty template, then with nothing selected.
    p.btFileUp->click();
    p.btFileDown->click();
    EXPECT_EQ(s.prompts.messages, (std::vector<std::string>{kNoFilesToMove, kNoFilesToMove}));

    // Double-clicking the same master playlist three times: three slots, the last selected.
    for (int i = 0; i < 3; ++i) DoubleClickRow(p.lbMasterPlaylists, 0);
    EXPECT_EQ(Texts(p.lbClockwheelTemplate),
              (QStringList{"/lists/A.m3u", "/lists/A.m3u", "/lists/A.m3u"}));
    EXPECT_EQ(SelectedRow(p.lbClockwheelTemplate), 2);
    DoubleClickRow(p.lbClockwheelTemplate, 1);  // removes that slot
    EXPECT_EQ(model.lbClockwheelTemplate, (LineList{"/lists/A.m3u", "/lists/A.m3u"}));
    EXPECT_EQ(SelectedRow(p.lbClockwheelTemplate), -1);
    p.btFileDown->click();
    EXPECT_EQ(s.prompts.messages.back(), kSelectFileToMove);
    p.btClearTemplate->click();
    EXPECT_EQ(p.lbClockwheelTemplate->count(), 0);
    EXPECT_EQ(p.lbMasterPlaylists->count(), 4) << "the master playlists stay";

    // A, B, C with B selected: Up gives B, A, C and Down A, B, C, the selection on B.
    DoubleClickRow(p.lbMasterPlaylists, 0);
    DoubleClickRow(p.lbMasterPlaylists, 1);
    DoubleClickRow(p.lbMasterPlaylists, 3);
    ClickRow(p.lbClockwheelTemplate, 1);
    const size_t shown = s.prompts.messages.size();
    p.btFileUp->click();
    EXPECT_EQ(model.lbClockwheelTemplate,
              (LineList{"/lists/b.m3u", "/lists/A.m3u", "/lists/c.m3u"}));
    EXPECT_EQ(SelectedRow(p.lbClockwheelTemplate), 0);
    p.btFileUp->click();  // the first slot up: nothing, no message
    EXPECT_EQ(model.lbClockwheelTemplate,
              (LineList{"/lists/b.m3u", "/lists/A.m3u", "/lists/c.m3u"}));
    p.btFileDown->click();
    EXPECT_EQ(Texts(p.lbClockwheelTemplate),
              (QStringList{"/lists/A.m3u", "/lists/b.m3u", "/lists/c.m3u"}));
    EXPECT_EQ(SelectedRow(p.lbClockwheelTemplate), 1);
    p.btFileDown->click();
    p.btFileDown->click();  // the last slot down: nothing
    EXPECT_EQ(model.lbClockwheelTemplate,
              (LineList{"/lists/A.m3u", "/lists/c.m3u", "/lists/b.m3u"}));
    EXPECT_EQ(SelectedRow(p.lbClockwheelTemplate), 2);
    EXPECT_EQ(s.prompts.messages.size(), shown);

    // "--" with nothing selected does nothing; with one selected it goes, the slots stay.
    p.lbMasterPlaylists->clearSelection();
    p.Button2->click();
    EXPECT_EQ(p.lbMasterPlaylists->count(), 4);
    ClickRow(p.lbMasterPlaylists, 3);
    p.Button2->click();  // a slot uses it: asked, and No keeps the slot
    EXPECT_EQ(s.prompts.yesNoQuestions,
              std::vector<std::string>{
                  "1 slot of the Clock Wheel Template uses /lists/c.m3u. Remove that slot too?"});
    EXPECT_EQ(Texts(p.lbMasterPlaylists),
              (QStringList{"/lists/A.m3u", "/lists/b.m3u", "/lists/b.m3u"}));
    EXPECT_EQ(SelectedRow(p.lbMasterPlaylists), -1);
    EXPECT_EQ(model.lbClockwheelTemplate.size(), 3u);
    p.Button3->click();
    EXPECT_EQ(p.lbMasterPlaylists->count(), 0);
    EXPECT_TRUE(model.lbMasterPlaylists.Empty());
    EXPECT_EQ(p.lbClockwheelTemplate->count(), 3);
    EXPECT_TRUE(s.prompts.errors.empty());
}

TEST(BuildPage, TheOutputFileKeepsOneLineAndACancelChangesNothing) {
    Station s;
    BuildPage& p = s.Page();
    p.btLocateDir->click();  // cancelled with an empty list
    EXPECT_EQ(p.lbSavePlaylist->count(), 0);
    ASSERT_EQ(s.prompts.saveQuestions.size(), 1u);
    // The output takes every playlist format, the plain .m3u first and by default.
    EXPECT_EQ(s.prompts.saveQuestions[0].filter,
              "Winamp Playlist|*.m3u|Extended M3U, UTF-8|*.m3u8|PLS Playlist|*.pls|"
              "XSPF Playlist|*.xspf");
    EXPECT_EQ(s.prompts.saveQuestions[0].defaultExtension, "m3u");
    EXPECT_EQ(s.prompts.saveQuestions[0].initialFolder, s.Path("Playlists"));
    EXPECT_EQ(s.prompts.saveQuestions[0].proposedName, "");

    s.prompts.saveAnswers = {std::string("/radio/one.m3u"), std::string("/radio/two.m3u"),
                             std::nullopt};
    p.btLocateDir->click();
    p.btLocateDir->click();
    EXPECT_EQ(Texts(p.lbSavePlaylist), QStringList{"/radio/two.m3u"});
    EXPECT_EQ(s.Session().lbSavePlaylist, LineList{"/radio/two.m3u"});
    EXPECT_EQ(s.prompts.saveQuestions[2].proposedName, "/radio/one.m3u") << "the name chosen last";
    p.btLocateDir->click();  // cancelled
    EXPECT_EQ(Texts(p.lbSavePlaylist), QStringList{"/radio/two.m3u"});
    EXPECT_EQ(s.prompts.saveQuestions[3].proposedName, "/radio/two.m3u");
    EXPECT_FALSE(std::filesystem::exists("/radio/two.m3u"));
}

// Two category playlists of six one-minute songs by different artists.
void SmallStation(Station& s) {
    std::vector<TestSong> oldies, hits;
    for (int i = 1; i <= 6; ++i) {
        oldies.push_back(
            {60, "Oldie Artist " + std::to_string(i), "Old Song " + std::to_string(i), 1});
        hits.push_back({60, "Hit Artist " + std::to_string(i), "New Song " + std::to_string(i), 2});
    }
    const std::string a = s.station.Playlist("Playlists/hits.m3u", hits);
    const std::string b = s.station.Playlist("Playlists/oldies.m3u", oldies);
    s.prompts.openAnswers.push_back({b, a});
    s.Page().Button1->click();
    DoubleClickRow(s.Page().lbMasterPlaylists, 0);
    DoubleClickRow(s.Page().lbMasterPlaylists, 1);
}

// The small station with "hour.m3u" as the output file and a length of eight minutes, typed.
void ReadyForEightMinutes(Station& s) {
    SmallStation(s);
    s.prompts.saveAnswers.push_back(s.Path("hour.m3u"));
    s.Page().btLocateDir->click();
    Type(s.Page().ComboBox1, "8");
}

TEST(BuildPage, KeysAddAndRemoveSlotsAndReachTheCommands) {
    Station s;
    BuildPage& p = s.Page();
    SmallStation(s);
    const LineList masters = s.Session().lbMasterPlaylists.Lines();
    ClickRow(p.lbMasterPlaylists, 1);
    QTest::keyClick(p.lbMasterPlaylists, Qt::Key_Return);
    QTest::keyClick(p.lbMasterPlaylists, Qt::Key_Enter);
    EXPECT_EQ(s.Session().lbClockwheelTemplate,
              (LineList{masters[0], masters[1], masters[1], masters[1]}));
    EXPECT_EQ(SelectedRow(p.lbClockwheelTemplate), 3);
    // Delete removes the selected slot; the next one takes the selection.
    ClickRow(p.lbClockwheelTemplate, 0);
    QTest::keyClick(p.lbClockwheelTemplate, Qt::Key_Delete);
    EXPECT_EQ(s.Session().lbClockwheelTemplate, (LineList{masters[1], masters[1], masters[1]}));
    EXPECT_EQ(SelectedRow(p.lbClockwheelTemplate), 0);
    ClickRow(p.lbClockwheelTemplate, 2);
    QTest::keyClick(p.lbClockwheelTemplate, Qt::Key_Delete);
    QTest::keyClick(p.lbClockwheelTemplate, Qt::Key_Delete);
    EXPECT_EQ(s.Session().lbClockwheelTemplate, (LineList{masters[1]}));
    EXPECT_EQ(SelectedRow(p.lbClockwheelTemplate), 0);
    EXPECT_EQ(s.Session().lbMasterPlaylists.Lines(), masters) << "Delete never takes a category";

    // Ctrl+B builds from any page, Ctrl+S saves the session, Ctrl+O loads one.
    TfMainForm& form = *s.form;
    EXPECT_EQ(form.BuildKey->shortcut(), QKeySequence("Ctrl+B"));
    EXPECT_EQ(form.Save1->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(form.Load1->shortcut(), QKeySequence("Ctrl+O"));
    form.ShowPage(1);
    form.BuildKey->trigger();
    EXPECT_EQ(form.pcFormTabs->currentIndex(), 0);
    EXPECT_EQ(s.prompts.messages.back().rfind("You must specify a final destination", 0), 0u);
}

TEST(BuildPage, EscStopsABuildAndWhatWasPlacedStays) {
    Station s;
    BuildPage& p = s.Page();
    ReadyForEightMinutes(s);
    // Esc waiting in the queue: the build takes it in after its first slot.
    QCoreApplication::postEvent(p.lbFinalPlaylist,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    p.btBuildPlaylist->click();
    EXPECT_EQ(s.form->StatusText(),
              "Build stopped after slot 1 of the Clock Wheel Template: 1 song, 0:01:00 of "
              "0:08:00. What was placed stays in the final playlist.");
    EXPECT_TRUE(s.prompts.messages.empty()) << "a stopped build is not complete";
    EXPECT_EQ(p.lbFinalPlaylist->count(), 1);
    for (const char* list : {"Playlists/hits.m3u", "Playlists/oldies.m3u"})
        EXPECT_EQ(s.station.Lines(s.Path(list)).size(), 6u) << list;
    EXPECT_FALSE(s.form->Context().stopRequest);

    // The next build runs to its end, on top of what the stopped one placed.
    p.btBuildPlaylist->click();
    EXPECT_EQ(s.form->StatusText(),
              "The final playlist now holds 9 songs, 0:09:00; this build added 0:08:00.");
    EXPECT_EQ(s.prompts.messages, std::vector<std::string>{kBuildComplete});
}

TEST(BuildPage, WhileACommandCanBeStoppedOnlyEscIsTakenIn) {
    Station s;
    BuildPage& p = s.Page();
    SmallStation(s);
    {
        EscStops esc(s.form->Context().stopRequest);
        QTest::mouseClick(p.Button3, Qt::LeftButton);
        QTest::keyClick(p.lbMasterPlaylists, Qt::Key_Return);
        EXPECT_EQ(s.Session().lbMasterPlaylists.Count(), 2) << "the click was dropped";
        EXPECT_EQ(s.Session().lbClockwheelTemplate.size(), 2u) << "so was the key";
        EXPECT_FALSE(s.form->Context().stopRequest);
        QTest::keyClick(p.lbMasterPlaylists, Qt::Key_Escape);
        EXPECT_TRUE(s.form->Context().stopRequest);
    }
    EXPECT_FALSE(s.form->Context().stopRequest);
    QTest::mouseClick(p.Button3, Qt::LeftButton);
    EXPECT_TRUE(s.Session().lbMasterPlaylists.Empty());
}

TEST(BuildPage, LongPathsKeepTheirFileNameInSightAndShowAllOfItAtThePointer) {
    const QFontMetrics metrics(QApplication::font());
    for (const QString& path : {QString("/home/radio/station/Playlists/demo_jingles.m3u"),
                               QString("D:\\Radio\\Lists\\demo_oldies.m3u")}) {
        const QString name = path.mid(std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
        const int nameWidth = metrics.horizontalAdvance(name);
        EXPECT_EQ(ElidePath(path, metrics, metrics.horizontalAdvance(path)), path);
        for (int width = 10; width < metrics.horizontalAdvance(path); width += 7) {
            const QString shown = ElidePath(path, metrics, width);
            EXPECT_LE(metrics.horizontalAdvance(shown), width) << shown.toStdString();
            if (width > nameWidth + metrics.horizontalAdvance(QChar(0x2026)) * 2) {
                EXPECT_TRUE(shown.endsWith(name)) << shown.toStdString();
                EXPECT_TRUE(shown.startsWith(path.left(1))) << shown.toStdString();
            }
        }
    }

    Station s;
    BuildPage& p = s.Page();
    const std::string longPath =
        "/home/radio/a very long station folder name/that goes on/Playlists/demo_jingles.m3u";
    s.prompts.openAnswers.push_back({longPath});
    p.Button1->click();
    QListWidget* list = p.lbMasterPlaylists;
    ASSERT_EQ(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QPoint onItem = list->visualItemRect(list->item(0)).center();
    QHelpEvent tip(QEvent::ToolTip, onItem, list->viewport()->mapToGlobal(onItem));
    QApplication::sendEvent(list->viewport(), &tip);
    EXPECT_EQ(QToolTip::text().toStdString(), longPath);
    QToolTip::hideText();
}

TEST(BuildPage, BuildsAStationAcceptsTheListAndClearsIt) {
    Station s;
    BuildPage& p = s.Page();
    ReadyForEightMinutes(s);
    EXPECT_EQ(s.Session().ComboBox1, "8") << "typed text goes into the model as it is typed";
    QTest::mouseClick(p.cbTextOutput, Qt::LeftButton, Qt::NoModifier,
                      QPoint(6, p.cbTextOutput->height() / 2));
    EXPECT_TRUE(s.Session().cbTextOutput);

    // The songs are in the final playlist pane before the closing message is shown.
    // While the build runs, clicks on the page are not taken up.
    int shownAtMessage = -1;
    s.prompts.onMessage = [&](const std::string& text) {
        if (text != kBuildComplete) return;
        shownAtMessage = p.lbFinalPlaylist->count();
        EXPECT_TRUE(p.Busy());
        p.Button3->click();
        p.btBuildPlaylist->click();
        p.btClearFinalPlaylist->click();
    };
    p.btBuildPlaylist->click();
    ASSERT_TRUE(s.prompts.errors.empty()) << s.prompts.errors.front();
    EXPECT_EQ(s.prompts.messages, std::vector<std::string>{kBuildComplete});
    // Eight minutes less half a minute: eight one-minute songs.
    EXPECT_EQ(s.form->StatusText(), "Playlist is complete and is exactly 0:08:00.");
    ASSERT_EQ(s.Session().lbFinalPlaylist.size(), 8u);
    EXPECT_EQ(shownAtMessage, 8);
    EXPECT_EQ(p.lbMasterPlaylists->count(), 2);
    s.prompts.onMessage = nullptr;
    QStringList expected;
    for (const std::string& song : s.Session().lbFinalPlaylist)
        expected << QString::fromStdString(song);
    EXPECT_EQ(Texts(p.lbFinalPlaylist), expected);
    EXPECT_TRUE(expected[0].contains("Hit Artist")) << "the first slot is the hits";
    EXPECT_TRUE(expected[1].contains("Oldie Artist"));
    EXPECT_EQ(p.ProgressBar2->maximum(), 450);
    EXPECT_EQ(p.ProgressBar2->value(), 450);
    EXPECT_EQ(p.ProgressBar1->maximum(), 1);
    EXPECT_EQ(p.ProgressBar1->value(), 1);
    EXPECT_GT(p.ProgressBar3->value(), 0);

    // Accept: the playlist, and the log beside it.
    p.btAcceptFinalPlaylist->click();
    EXPECT_EQ(s.station.Lines(s.Path("hour.m3u")), s.Session().lbFinalPlaylist);
    const LineList log = s.station.Lines(s.Path("hour.m3u.txt"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log, s.Session().mTextOutput);
    EXPECT_EQ(log.front().rfind("Playlist generated ", 0), 0u) << log.front();
    EXPECT_EQ(p.lbFinalPlaylist->count(), 8) << "accepting keeps the list";
    EXPECT_EQ(s.form->StatusText().toStdString(),
              "Final playlist saved to " + s.Path("hour.m3u") + ". Text log saved to " +
                  s.Path("hour.m3u.txt") + ".");

    // A second build appends; clearing empties the pane and the meters, and writes nothing.
    p.btBuildPlaylist->click();
    EXPECT_EQ(p.lbFinalPlaylist->count(), 16);
    p.btClearFinalPlaylist->click();
    EXPECT_EQ(p.lbFinalPlaylist->count(), 0);
    EXPECT_TRUE(s.Session().lbFinalPlaylist.empty());
    for (QProgressBar* meter : {p.ProgressBar1, p.ProgressBar2, p.ProgressBar3})
        EXPECT_EQ(meter->value(), 0);
    EXPECT_EQ(s.station.Lines(s.Path("hour.m3u")).size(), 8u);

    // Without "Save to Text" only the playlist is written.
    p.cbTextOutput->click();
    EXPECT_FALSE(s.Session().cbTextOutput);
    std::filesystem::remove(s.Path("hour.m3u.txt"));
    p.btAcceptFinalPlaylist->click();
    EXPECT_TRUE(s.station.Lines(s.Path("hour.m3u")).empty());
    EXPECT_FALSE(std::filesystem::exists(s.Path("hour.m3u.txt")));
    EXPECT_EQ(s.form->StatusText().toStdString(), "Final playlist saved to " + s.Path("hour.m3u") + ".");
}

TEST(BuildPage, ChecksAndErrorsStopTheBuildAndTheWindowGoesOn) {
    Station s;
    BuildPage& p = s.Page();
    p.btBuildPlaylist->click();
    EXPECT_EQ(s.prompts.messages, std::vector<std::string>{kNoTemplate});

    SmallStation(s);
    s.prompts.saveAnswers.push_back(s.Path("hour.m3u"));
    p.btLocateDir->click();
    const LineList before = s.station.Lines(s.Path("Playlists/hits.m3u"));

    // A length that is no number: the error box, with its full stop; nothing repaired or built.
    // Typed letters do not go in; a session file can still bring such a text.
    Type(p.ComboBox1, "abc");
    EXPECT_EQ(p.ComboBox1->currentText(), "60") << "the letters were refused";
    p.ComboBox1->setEditText("abc");
    p.btBuildPlaylist->click();
    EXPECT_EQ(s.prompts.errors, std::vector<std::string>{"'abc' is not a valid integer value."});
    EXPECT_EQ(s.station.Lines(s.Path("Playlists/hits.m3u")), before);
    EXPECT_TRUE(s.Session().lbFinalPlaylist.empty());
    EXPECT_TRUE(s.form->isVisible());
    EXPECT_FALSE(p.Busy());

    // The length 0 is one of the checks.
    Type(p.ComboBox1, "0");
    p.btBuildPlaylist->click();
    EXPECT_EQ(s.prompts.messages.back(), "You must enter a desired length greater than 0 minutes.");

    // Dupe hours typed as "x": the build stops with the integer error, after the repair.
    Type(p.ComboBox1, "4");
    s.form->DMCA1Click();
    s.dupe->ComboBox1->setEditText("x");
    EXPECT_EQ(s.Session().fDMCA.ComboBox1, "x");
    p.btBuildPlaylist->click();
    EXPECT_EQ(s.prompts.errors.back(), "'x' is not a valid integer value.");
    EXPECT_EQ(s.prompts.errors.size(), 2u);
    EXPECT_TRUE(s.Session().lbFinalPlaylist.empty());
    EXPECT_EQ(s.form->StatusText(), "The list has been repaired.");

    // And with sound hours the window builds again.
    Type(s.dupe->ComboBox1, "2");
    p.btBuildPlaylist->click();
    EXPECT_EQ(s.prompts.messages.back(), kBuildComplete);
    EXPECT_EQ(p.lbFinalPlaylist->count(), 4);
}

TEST(BuildPage, ABuildThatFallsShortShowsItsStatusInTheBoxAndKeepsItsList) {
    Station s;
    // One song is gone (half the list: not a library away), the other has no playing time:
    // the repair takes the first out, and no song can be placed.
    s.station.dir.Write("silent.mp3", "");
    s.station.dir.Write("gone.m3u", FormatLines({s.Path("gone.mp3"), s.Path("silent.mp3")}));
    s.Session().lbMasterPlaylists.Add(s.Path("gone.m3u"));
    s.Session().lbClockwheelTemplate = {s.Path("gone.m3u")};
    s.Session().SetOutputFile(s.Path("hour.m3u"));
    s.Page().Refresh();
    s.Page().btBuildPlaylist->click();
    EXPECT_EQ(s.prompts.messages, std::vector<std::string>{kBuildCannotProgress});
    // The file without audio is one the reader refuses: the status names it after the reason.
    EXPECT_EQ(s.form->StatusText().toStdString(),
              std::string(kBuildCannotProgress) + " Passed over 1 file that could not be read: " +
                  s.Path("silent.mp3") + ".");
    EXPECT_TRUE(s.prompts.errors.empty());
    // The list may still be accepted as it is.
    s.Page().btAcceptFinalPlaylist->click();
    EXPECT_EQ(s.station.dir.Read("hour.m3u"), "");
}

TEST(BuildPage, ShowsAModelChangedElsewhereAndKeepsAValidSelection) {
    Station s;
    BuildPage& p = s.Page();
    BuildSession& model = s.Session();
    model.lbMasterPlaylists.Add("/l/b.m3u");
    model.lbMasterPlaylists.Add("/l/a.m3u");
    model.lbClockwheelTemplate = {"/l/a.m3u", "/l/b.m3u", "/l/a.m3u"};
    model.ComboBox1 = "90";
    model.cbTextOutput = true;
    model.SetOutputFile("/out/x.m3u");
    s.form->RefreshAll();
    EXPECT_EQ(Texts(p.lbMasterPlaylists), (QStringList{"/l/a.m3u", "/l/b.m3u"}));
    EXPECT_EQ(p.lbClockwheelTemplate->count(), 3);
    EXPECT_EQ(p.ComboBox1->currentText(), "90");
    EXPECT_TRUE(p.cbTextOutput->isChecked());
    EXPECT_EQ(Texts(p.lbSavePlaylist), QStringList{"/out/x.m3u"});

    ClickRow(p.lbMasterPlaylists, 1);
    model.lbMasterPlaylists.Add("/l/0.m3u");  // lands before the selected entry
    p.Refresh();
    EXPECT_EQ(SelectedRow(p.lbMasterPlaylists), 2) << "the selection stays on the same entry";
    EXPECT_EQ(p.lbMasterPlaylists->item(2)->text(), "/l/b.m3u");
    p.SelectTemplateSlot(2);
    model.lbClockwheelTemplate.pop_back();
    p.RefreshList(ShownList::ClockwheelTemplate);
    EXPECT_EQ(p.lbClockwheelTemplate->count(), 2);
    EXPECT_EQ(SelectedRow(p.lbClockwheelTemplate), -1) << "no selection beyond the end";
    p.SelectMasterPlaylist(0);
    EXPECT_EQ(SelectedRow(p.lbMasterPlaylists), 0);
    p.SelectMasterPlaylist(-1);
    EXPECT_EQ(SelectedRow(p.lbMasterPlaylists), -1);
}

TEST(BuildPage, ALongBuildShowsItsSongsInOrderAndAllOfThemAtTheEnd) {
    Station s;
    BuildPage& p = s.Page();
    // Ninety one-minute songs; one file in the middle of the list is no MP3, so the reader's
    // question comes up during the build, and the page can be looked at then.
    std::vector<TestSong> songs;
    for (int i = 0; i < 90; ++i)
        songs.push_back({60, "Artist " + std::to_string(i), "Song " + std::to_string(i), 1});
    const std::string list = s.station.Playlist("Playlists/long.m3u", songs);
    s.station.dir.Write("songs/not an mp3.mp3", std::string(3000, 'x'));
    LineList lines = s.station.Lines(list);
    lines.insert(lines.begin() + 40, s.Path("songs/not an mp3.mp3"));
    SaveList(list, lines);
    s.prompts.openAnswers.push_back({list});
    p.Button1->click();
    // Two slots: a pass that meets the file without playing time still places a song.
    DoubleClickRow(p.lbMasterPlaylists, 0);
    DoubleClickRow(p.lbMasterPlaylists, 0);
    s.Session().fDMCA.cbDupeCheck = false;
    s.prompts.saveAnswers.push_back(s.Path("long-hour.m3u"));
    p.btLocateDir->click();
    p.ComboBox1->setEditText("120");

    // Whenever the page can be seen during the build, its pane holds songs placed so far, in
    // play order; at the closing message all of them.
    int looks = 0;
    auto paneIsAPrefix = [&] {
        const QStringList shown = Texts(p.lbFinalPlaylist);
        const LineList& placed = s.Session().lbFinalPlaylist;
        EXPECT_LE(shown.size(), static_cast<int>(placed.size()));
        for (int i = 0; i < shown.size() && i < static_cast<int>(placed.size()); ++i)
            EXPECT_EQ(shown[i].toStdString(), placed[static_cast<size_t>(i)]) << i;
        ++looks;
    };
    s.prompts.whileOpenErrorOpen = paneIsAPrefix;
    int shownAtMessage = -1;
    s.prompts.onMessage = [&](const std::string& text) {
        if (text == kBuildComplete) shownAtMessage = p.lbFinalPlaylist->count();
    };
    p.btBuildPlaylist->click();
    ASSERT_TRUE(s.prompts.errors.empty()) << s.prompts.errors.front();
    EXPECT_GE(looks, 1) << "the reader's question came up during the build";
    ASSERT_GE(s.Session().lbFinalPlaylist.size(), 100u) << s.form->StatusText().toStdString();
    EXPECT_EQ(shownAtMessage, static_cast<int>(s.Session().lbFinalPlaylist.size()));
    QStringList expected;
    for (const std::string& song : s.Session().lbFinalPlaylist)
        expected << QString::fromStdString(song);
    EXPECT_EQ(Texts(p.lbFinalPlaylist), expected);
    EXPECT_EQ(p.ProgressBar2->value(), p.ProgressBar2->maximum());
}

TEST(BuildPage, AMeterTakesEveryValueThatChangesItsPictureAndBothEnds) {
    Station s;
    BuildPage& p = s.Page();
    QtBuildView view{ViewHooks{}};
    view.Attach(s.form->StatusBar1, p.Meters());
    QProgressBar* bar = p.ProgressBar3;
    const int width = bar->width();
    ASSERT_GT(width, 20);
    // A shuffle of 3,001 exchanges steps the micro-shuffle meter 3,002 times.
    view.SetMeterMax(Meter::ProgressBar3, 3002);
    view.SetMeterPosition(Meter::ProgressBar3, 0);
    view.SetMeterStep(Meter::ProgressBar3, 1);
    EXPECT_EQ(bar->value(), 0);
    const int paintsBefore = view.MeterPaints();
    for (int i = 1; i <= 3002; ++i) {
        view.StepMeter(Meter::ProgressBar3);
        // The bar shows what the meter holds, to the pixel.
        ASSERT_EQ(static_cast<long long>(bar->value()) * width / 3002,
                  static_cast<long long>(i) * width / 3002)
            << "step " << i;
    }
    EXPECT_EQ(bar->value(), 3002);
    EXPECT_LE(view.MeterPaints() - paintsBefore, width) << "painted once per pixel at most";
    // A position set outright is taken as it is.
    view.SetMeterPosition(Meter::ProgressBar3, 1234);
    EXPECT_EQ(bar->value(), 1234);
}

}  // namespace
}  // namespace kestrune::app
