#pragma once
// The list creator page: "By Folder" (the quick list of one folder) and "By ID3 Tags"
// (playlists by artist, album, year and genre over a folder tree).

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QWidget>

#include "AppContext.h"

class QFileSystemModel;
class QTreeView;

namespace kestrune::app {

class ListCreatorPage : public QWidget {
    Q_OBJECT

public:
    explicit ListCreatorPage(AppContext& context, QWidget* parent = nullptr);

    void DriveComboBox1Change();
    void DirectoryListBox1Change();
    void SaveAsListClick();
    void DriveComboBox2Change();
    void btnSearchForFilesClick();

    // The folder the "By Folder" lists show.
    QString CurrentFolder() const;
    // Opens a folder in the "By Folder" folder list, as a double-click does.
    void OpenFolder(const QString& folder);
    // Selects a folder in the "By ID3 Tags" folder tree.
    void SelectTagFolder(const QString& folder);

    QTabWidget* PageControl1 = nullptr;
    QWidget* tsByFolder = nullptr;
    QSplitter* Splitter6 = nullptr;
    QWidget* tsByID3 = nullptr;
    QComboBox* DriveComboBox1 = nullptr;
    QListWidget* DirectoryListBox1 = nullptr;
    QLabel* Label9 = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QPushButton* SaveAsList = nullptr;
    QTabWidget* PageControl2 = nullptr;
    QWidget* Quick = nullptr;
    QSplitter* Splitter7 = nullptr;
    QComboBox* DriveComboBox2 = nullptr;
    QTreeView* dolDirectories = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label16 = nullptr;
    QGroupBox* gbSelectTags = nullptr;
    QCheckBox* cbByArtist = nullptr;
    QCheckBox* cbByAlbum = nullptr;
    QCheckBox* cbByYear = nullptr;
    QCheckBox* cbByGenre = nullptr;
    QCheckBox* cbStartAfresh = nullptr;
    QPushButton* btnSearchForFiles = nullptr;

private:
    AppContext& context_;
    QString folder_;
    QFileSystemModel* tagFolders_ = nullptr;
};

}  // namespace kestrune::app
