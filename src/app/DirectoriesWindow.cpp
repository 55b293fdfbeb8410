#include "DirectoriesWindow.h"

#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

#include "FileSystemRoots.h"
#include "OptionLayout.h"
#include "platform/KestruneError.h"

namespace kestrune::app {

TfDirectories::TfDirectories(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    Secondary(this);
    setWindowTitle("fDirectories");
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    DialogGrey(this);

    DriveComboBox1 = new QComboBox(this);
    DirectoryListBox1 = new QTreeView(this);
    folders_ = new QFileSystemModel(this);
    // Folders only; the model reads a folder when it is opened, so big trees stay quick.
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_->setReadOnly(true);
    DirectoryListBox1->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    DirectoryListBox1->setMinimumSize(220, 280);

    StaticText1 = new QLabel(
        "Navigate to a directory. When you find the one you would like to use to store your "
        "playlists, hit the SELECT button next to \"Playlists Directory.\" Then nevaigate to the "
        "directory you would like to store your templates and click the SELECT button.",
        this);
    StaticText1->setWordWrap(true);
    StaticText1->setFixedWidth(320);
    StaticText1->setFrameShape(QFrame::StyledPanel);
    StaticText1->setMargin(4);
    btnSelectPlaylistDir = new QPushButton("Select ------>", this);
    Label1 = new QLabel("Playlists Directory", this);
    edPlaylists = new QLineEdit(this);
    btnSelectSessionDir = new QPushButton("Select ------>", this);
    Label2 = new QLabel("Sessions Directory", this);
    edSessions = new QLineEdit(this);
    btnSaveConfig = new QPushButton("Save Settings", this);
    for (QPushButton* button : {btnSelectPlaylistDir, btnSelectSessionDir})
        button->setAutoDefault(false);
    EnterSaves(btnSaveConfig);
    edPlaylists->setMinimumWidth(210);
    edSessions->setMinimumWidth(210);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);  // a fixed-size window
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->addWidget(DriveComboBox1, 0, 0);
    grid->addWidget(DirectoryListBox1, 1, 0, 7, 1);
    grid->addWidget(StaticText1, 0, 1, 2, 2, Qt::AlignTop);
    grid->addWidget(Label1, 2, 2, Qt::AlignBottom);
    grid->addWidget(btnSelectPlaylistDir, 3, 1);
    grid->addWidget(edPlaylists, 3, 2);
    grid->addWidget(Label2, 4, 2, Qt::AlignBottom);
    grid->addWidget(btnSelectSessionDir, 5, 1);
    grid->addWidget(edSessions, 5, 2);
    grid->setRowStretch(6, 1);
    grid->addWidget(btnSaveConfig, 7, 2, Qt::AlignRight | Qt::AlignBottom);

    const QString start = Local(context_.folders.start);
    FillDrivePicker(DriveComboBox1, start.isEmpty() ? QString("/") : start);
    ShowDrive(DriveComboBox1->currentText(), start);

    connect(DriveComboBox1, &QComboBox::currentIndexChanged, this,
            [this] { DriveComboBox1Change(); });
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) openFolder_ = folders_->filePath(current);
            });
    connect(btnSelectPlaylistDir, &QPushButton::clicked, this,
            [this] { btnSelectPlaylistDirClick(); });
    connect(btnSelectSessionDir, &QPushButton::clicked, this,
            [this] { btnSelectSessionDirClick(); });
    connect(btnSaveConfig, &QPushButton::clicked, this, [this] { btnSaveConfigClick(); });
}

void TfDirectories::ShowDrive(const QString& root, const QString& folder) {
    folders_->setRootPath(root);
    DirectoryListBox1->setRootIndex(folders_->index(root));
    openFolder_ = root;
    if (!folder.isEmpty() && RootOf(FileSystemRoots(), folder) == root) OpenFolder(folder);
}

void TfDirectories::OpenFolder(const QString& folder) {
    const QModelIndex index = folders_->index(folder);
    if (!index.isValid()) return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        DirectoryListBox1->expand(up);
    DirectoryListBox1->setCurrentIndex(index);
    DirectoryListBox1->scrollTo(index);
    openFolder_ = folders_->filePath(index);
}

void TfDirectories::DriveComboBox1Change() {
    // No drive keeps a current folder here: the start folder when it is on the chosen drive,
    // else the drive's root.
    ShowDrive(DriveComboBox1->currentText(), Local(context_.folders.start));
}

void TfDirectories::btnSelectPlaylistDirClick() {
    edPlaylists->setText(openFolder_);
}

void TfDirectories::btnSelectSessionDirClick() {
    edSessions->setText(openFolder_);
}

void TfDirectories::btnSaveConfigClick() {
    context_.run([this] {
        const std::string playlists = Local8(edPlaylists->text());
        const std::string sessions = Local8(edSessions->text());
        // A failure stops here: the window stays open and the folders keep their old values.
        WriteConfig(context_.settings, playlists, sessions);
        context_.folders.playlists = playlists;
        context_.sdSavePlaylist.initialFolder = playlists;
        context_.folders.sessions = sessions;
        context_.sdSaveSessions.initialFolder = sessions;
        hide();
    });
}

void TfDirectories::Open() {
    const ConfigValues stored = ReadConfig(context_.settings, context_.folders.start);
    edPlaylists->setText(Local(stored.playlistsdir));
    edSessions->setText(Local(stored.sessionsdir));
    show();
    raise();
    activateWindow();
}

}  // namespace kestrune::app
