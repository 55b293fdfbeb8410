#pragma once
// The playlists and sessions folders of the configuration file. Made hidden at start, shown and hidden, never made again.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "AppContext.h"

class QFileSystemModel;
class QTreeView;

namespace kestrune::app {

class TfDirectories : public QDialog {
    Q_OBJECT

public:
    explicit TfDirectories(AppContext& context, QWidget* parent = nullptr);
    // "Set Directories": the stored folders into the fields, then the window is shown.
    void Open();

    void DriveComboBox1Change();
    void btnSelectPlaylistDirClick();
    void btnSelectSessionDirClick();
    void btnSaveConfigClick();

    QComboBox* DriveComboBox1 = nullptr;
    QTreeView* DirectoryListBox1 = nullptr;
    QLabel* StaticText1 = nullptr;
    QPushButton* btnSelectPlaylistDir = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edPlaylists = nullptr;
    QPushButton* btnSelectSessionDir = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edSessions = nullptr;
    QPushButton* btnSaveConfig = nullptr;

    // The folder open in the folder tree: what the "Select ------>" buttons copy.
    QString OpenedFolder() const { return openFolder_; }
    // Opens a folder of the shown drive in the tree, as the user would.
    void OpenFolder(const QString& folder);

private:
    // Shows the drive `root` in the tree, with `folder` open when it is on that drive.
    void ShowDrive(const QString& root, const QString& folder);

    AppContext& context_;
    QFileSystemModel* folders_ = nullptr;
    QString openFolder_;
};

}  // namespace kestrune::app
