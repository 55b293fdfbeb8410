#include "ListCreatorPage.h"

#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

#include "EscStops.h"
#include "LocalText.h"
#include "building/StationJob.h"
#include "FileSystemRoots.h"
#include "ListKeys.h"
#include "OliveSplitter.h"
#include "listtools/QuickList.h"
#include "listtools/TagPlaylists.h"
#include "platform/Paths.h"

namespace kestrune::app {

namespace {

constexpr int kFolderRole = Qt::UserRole;

std::string Bytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

QWidget* Pane(QWidget* parent) {
    auto* pane = new QWidget(parent);
    pane->setAutoFillBackground(true);
    QPalette palette = pane->palette();
    palette.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xD2));
    pane->setPalette(palette);
    return pane;
}

// The hourglass for the length of a command, also when it ends with an error.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

ListCreatorPage::ListCreatorPage(AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setTabPosition(QTabWidget::North);
    outer->addWidget(PageControl1);

    // "By Folder": the MP3 files of one folder.
    tsByFolder = new QWidget;
    Splitter6 = new OliveSplitter(Qt::Horizontal, 3, tsByFolder);
    auto* folderLayout = new QVBoxLayout(tsByFolder);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    folderLayout->addWidget(Splitter6);
    QWidget* pListMakerFolders = Pane(Splitter6);
    DriveComboBox1 = new QComboBox(pListMakerFolders);
    DriveComboBox1->setToolTip("Select a drive to search for MP3's");
    DirectoryListBox1 = new QListWidget(pListMakerFolders);
    DirectoryListBox1->setToolTip("Select a folder to search for MP3's");
    auto* leftColumn = new QVBoxLayout(pListMakerFolders);
    leftColumn->addWidget(DriveComboBox1);
    leftColumn->addWidget(DirectoryListBox1, 1);
    QWidget* pListMakerMP3s = Pane(Splitter6);
    Label9 = new QLabel("MP3's in current folder:", pListMakerMP3s);
    FileListBox1 = new QListWidget(pListMakerMP3s);
    FileListBox1->setToolTip("These are the MP3's in the current folder");
    // One line of text each: the list lays out a folder of thousands of files without
    // measuring every name.
    FileListBox1->setUniformItemSizes(true);
    SaveAsList = new QPushButton("Save As Playlist", pListMakerMP3s);
    SaveAsList->setToolTip("Clicking here will save the list of MP3's as a playlist.");
    // At least its size; wider where the system's font needs it for the caption.
    SaveAsList->setMinimumSize(90, 25);
    auto* right = new QGridLayout(pListMakerMP3s);
    right->addWidget(Label9, 0, 0);
    right->addWidget(FileListBox1, 1, 0);
    right->addWidget(SaveAsList, 1, 1, Qt::AlignTop);
    right->setColumnStretch(0, 1);
    right->setRowStretch(1, 1);
    Splitter6->addWidget(pListMakerFolders);
    Splitter6->addWidget(pListMakerMP3s);
    Splitter6->setSizes({217, 540});
    PageControl1->addTab(tsByFolder, "By Folder");

    // "By ID3 Tags": playlists by artist, album, year and genre over a folder tree.
    tsByID3 = new QWidget;
    auto* id3Layout = new QVBoxLayout(tsByID3);
    id3Layout->setContentsMargins(0, 0, 0, 0);
    PageControl2 = new QTabWidget(tsByID3);
    PageControl2->setTabPosition(QTabWidget::South);
    id3Layout->addWidget(PageControl2);
    Quick = new QWidget;
    Splitter7 = new OliveSplitter(Qt::Horizontal, 3, Quick);
    auto* quickLayout = new QVBoxLayout(Quick);
    quickLayout->setContentsMargins(0, 0, 0, 0);
    quickLayout->addWidget(Splitter7);
    QWidget* Panel11 = Pane(Splitter7);
    DriveComboBox2 = new QComboBox(Panel11);
    dolDirectories = new QTreeView(Panel11);
    tagFolders_ = new QFileSystemModel(this);
    tagFolders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    tagFolders_->setReadOnly(true);
    dolDirectories->setModel(tagFolders_);
    for (int column = 1; column < tagFolders_->columnCount(); ++column) dolDirectories->hideColumn(column);
    dolDirectories->setHeaderHidden(true);
    auto* tagLeft = new QVBoxLayout(Panel11);
    tagLeft->addWidget(DriveComboBox2);
    tagLeft->addWidget(dolDirectories, 1);
    QWidget* Panel12 = Pane(Splitter7);
    Label10 = new QLabel(
        "Select the main folder you'd like to search for MP3's. All MP3's in this folder (including "
        "subdirectories) will be sorted by the tags specified. A new playlist will be created for "
        "each individual tag you sort by. ",
        Panel12);
    Label10->setWordWrap(true);
    Label10->setMaximumWidth(399);
    Label16 = new QLabel(
        "NOTE: IF YOU HAVE USED THIS FEATURE BEFORE THE PLAYLISTS YOU CREATED PREVIOUSLY WILL BE "
        "*APPENDED* TO, NOT RECREATED. IF YOU WANT TO REGENERATE THE LISTS, FIRST DELETE ALL "
        "PLAYLISTS THAT START WITH \"_art, \"_album,\" \"_year\", or \"_genre.\"",
        Panel12);
    Label16->setWordWrap(true);
    Label16->setMaximumWidth(399);
    QPalette darkRed = Label16->palette();
    darkRed.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
    Label16->setPalette(darkRed);
    gbSelectTags = new QGroupBox("Select Tags to Make Playlists For", Panel12);
    cbByArtist = new QCheckBox("Artist", gbSelectTags);
    cbByAlbum = new QCheckBox("Album", gbSelectTags);
    cbByYear = new QCheckBox("Year", gbSelectTags);
    cbByGenre = new QCheckBox("Genre", gbSelectTags);
    auto* boxes = new QVBoxLayout(gbSelectTags);
    for (QCheckBox* box : {cbByArtist, cbByAlbum, cbByYear, cbByGenre}) boxes->addWidget(box);
    // Replaces each list whole at the end of the pass instead of adding to what it holds.
    cbStartAfresh = new QCheckBox("Start the lists afresh", gbSelectTags);
    boxes->addWidget(cbStartAfresh);
    btnSearchForFiles = new QPushButton("Go!", Panel12);
    btnSearchForFiles->setFixedSize(42, 20);
    // A column, so that the wrapped labels get the height their text needs.
    auto* tagRight = new QVBoxLayout(Panel12);
    tagRight->addWidget(Label10);
    tagRight->addWidget(Label16);
    auto* tagRow = new QHBoxLayout;
    tagRow->addWidget(gbSelectTags);
    tagRow->addWidget(btnSearchForFiles, 0, Qt::AlignVCenter);
    tagRow->addStretch(1);
    tagRight->addLayout(tagRow);
    tagRight->addStretch(1);
    Splitter7->addWidget(Panel11);
    Splitter7->addWidget(Panel12);
    Splitter7->setSizes({232, 520});
    PageControl2->addTab(Quick, "Easy");
    // "Easy" is the one way to make tag playlists: no tab bar that offers a second one.
    PageControl2->setTabBarAutoHide(true);
    PageControl1->addTab(tsByID3, "By ID3 Tags");
    PageControl1->setCurrentWidget(tsByID3);
    PageControl2->setCurrentWidget(Quick);

    // Both sides start at the start folder.
    const QString start = context_.folders.start.empty() ? QDir::currentPath() : Local(context_.folders.start);
    FillDrivePicker(DriveComboBox1, start);
    FillDrivePicker(DriveComboBox2, start);
    OpenFolder(start);
    tagFolders_->setRootPath(DriveComboBox2->currentText());
    dolDirectories->setRootIndex(tagFolders_->index(DriveComboBox2->currentText()));
    SelectTagFolder(start);

    connect(DriveComboBox1, &QComboBox::activated, this, [this] { DriveComboBox1Change(); });
    connect(DirectoryListBox1, &QListWidget::itemDoubleClicked, this, [this] { DirectoryListBox1Change(); });
    EnterRuns(DirectoryListBox1, [this] { DirectoryListBox1Change(); });
    connect(SaveAsList, &QPushButton::clicked, this, [this] { SaveAsListClick(); });
    connect(DriveComboBox2, &QComboBox::activated, this, [this] { DriveComboBox2Change(); });
    connect(btnSearchForFiles, &QPushButton::clicked, this, [this] { btnSearchForFilesClick(); });
}

QString ListCreatorPage::CurrentFolder() const { return folder_; }

void ListCreatorPage::OpenFolder(const QString& folder) {
    folder_ = QDir::cleanPath(folder);
    // The path from the root down to the folder, then its sub-folders.
    DirectoryListBox1->clear();
    QStringList chain;
    for (QDir dir(folder_);; ) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) break;
    }
    const QString root = DriveComboBox1->currentText();
    int depth = 0;
    for (const QString& path : chain) {
        if (path.size() < root.size() && root != "/") continue;  // above the chosen drive
        const QString name = depth == 0 ? path : QDir(path).dirName();
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + name, DirectoryListBox1);
        item->setData(kFolderRole, path);
        ++depth;
    }
    DirectoryListBox1->setCurrentRow(DirectoryListBox1->count() - 1);
    const QStringList children =
        QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + child, DirectoryListBox1);
        item->setData(kFolderRole, QDir(folder_).filePath(child));
    }
    // The file list follows the folder.
    FileListBox1->clear();
    QStringList names;
    for (const std::string& name : MP3FileNames(Bytes(folder_), context_.build.reader.library))
        names.append(Local(name));
    FileListBox1->addItems(names);  // one insertion for the whole folder
}

void ListCreatorPage::DriveComboBox1Change() {
    const QString root = DriveComboBox1->currentText();
    // The drive's own current folder: where we stand when it holds it, else its root.
    OpenFolder(RootOf(FileSystemRoots(), folder_) == root ? folder_ : root);
}

void ListCreatorPage::DirectoryListBox1Change() {
    const QListWidgetItem* item = DirectoryListBox1->currentItem();
    if (item != nullptr) OpenFolder(item->data(kFolderRole).toString());
}

void ListCreatorPage::SaveAsListClick() {
    context_.run([this] {
        QuickListFolder list;
        list.DriveComboBox1 = Bytes(DriveComboBox1->currentText());
        list.DirectoryListBox1 = Bytes(folder_);
        for (int i = 0; i < FileListBox1->count(); ++i) list.FileListBox1.push_back(Bytes(FileListBox1->item(i)->text()));
        // The list is named after its folder, not after the last file the dialog saved (the
        // on-air output, say); the dialog's folder stays the shared one.
        SaveQuestion question = context_.sdSavePlaylist;
        const std::string name = QuickListFileName(list.DirectoryListBox1);
        question.proposedName =
            question.initialFolder.empty() ? name : JoinPath(question.initialFolder, name);
        if (kestrune::SaveAsList(list, context_.session, context_.prompts, question))
            context_.view.ShowStatus(SavedStatus("Playlist", question.proposedName));
    });
}

void ListCreatorPage::DriveComboBox2Change() {
    const QString root = DriveComboBox2->currentText();
    tagFolders_->setRootPath(root);
    dolDirectories->setRootIndex(tagFolders_->index(root));
    SelectTagFolder(root);
}

void ListCreatorPage::SelectTagFolder(const QString& folder) {
    const QModelIndex index = tagFolders_->index(folder);
    dolDirectories->setCurrentIndex(index);
    dolDirectories->scrollTo(index);
}

void ListCreatorPage::btnSearchForFilesClick() {
    BusyCursor hourglass;
    context_.run([this] {
        TagSearch search;
        const QModelIndex selected = dolDirectories->currentIndex();
        search.folder = Bytes(selected.isValid() ? tagFolders_->filePath(selected) : DriveComboBox2->currentText());
        search.boxes.cbByArtist = cbByArtist->isChecked();
        search.boxes.cbByAlbum = cbByAlbum->isChecked();
        search.boxes.cbByYear = cbByYear->isChecked();
        search.boxes.cbByGenre = cbByGenre->isChecked();
        search.fresh = cbStartAfresh->isChecked();
        search.playlistsFolder = context_.folders.playlists;
        EscStops esc(context_.stopRequest);
        const StationJob job(context_.build, "tag pass of " + search.folder);
        kestrune::btnSearchForFilesClick(search, context_.session, context_.view, context_.prompts,
                                         context_.build.reader);
    });
}

}  // namespace kestrune::app
