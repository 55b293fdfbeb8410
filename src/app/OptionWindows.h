#pragma once
// The small windows of the "Config" menu: the dupe checker, the genre checker, the rules and the
// directories window. They are made hidden at start and shown and hidden, never made again.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "AppContext.h"

class QFileSystemModel;
class QTreeView;

namespace kestrune::app {

class TfDMCA : public QDialog {
    Q_OBJECT

public:
    explicit TfDMCA(AppContext& context, QWidget* parent = nullptr);
    // Shows the model's dupe check and hours.
    void Refresh();
    // The box changed (by a click or a loaded session): the hours field follows it.
    void cbDupeCheckClick();

    QLabel* StaticText2 = nullptr;
    QCheckBox* cbDupeCheck = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;

private:
    AppContext& context_;
    bool refreshing_ = false;  // the widgets are being set from the model
};

class TfGenre : public QDialog {
    Q_OBJECT

public:
    explicit TfGenre(AppContext& context, QWidget* parent = nullptr);
    void Refresh();

    QLabel* StaticText1 = nullptr;
    QCheckBox* cbGenreCheck = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Sizes the window so that, frame included, it is as large as intended.
    void FitOuterSize();

    AppContext& context_;
    bool refreshing_ = false;
    bool outerFitted_ = false;
    int extraHeight_ = 0;  // room the system's font needs beyond the intended size
};

// The separation rules of the configuration file's "[Rules]" section: read when the window
// opens, written by "Save Settings"; every build reads them anew.
class TfRules : public QDialog {
    Q_OBJECT

public:
    explicit TfRules(AppContext& context, QWidget* parent = nullptr);
    // The stored rules into the fields, then the window is shown.
    void Open();
    void btnSaveRulesClick();

    QLabel* StaticText1 = nullptr;
    QComboBox* cbTitleHours = nullptr;
    QComboBox* cbAlbumHours = nullptr;
    QComboBox* cbArtistMatching = nullptr;
    QLineEdit* edExempt = nullptr;
    QCheckBox* cbPerformanceComplement = nullptr;
    QCheckBox* cbHistory = nullptr;
    QCheckBox* cbLeastRecent = nullptr;
    QPushButton* btnSaveRules = nullptr;

private:
    AppContext& context_;
};

// The configuration file's "[Library]" (which tags the reader takes, which files the list tools
// list) and "[Output]" (#EXTINF lines in .m3u files) settings: read when the window opens;
// "Save Settings" writes them and puts them in force at once.
class TfLibrary : public QDialog {
    Q_OBJECT

public:
    explicit TfLibrary(AppContext& context, QWidget* parent = nullptr);
    void Open();
    void btnSaveLibraryClick();

    QCheckBox* cbId3v1Only = nullptr;
    QCheckBox* cbMp3Only = nullptr;
    QCheckBox* cbExtinf = nullptr;
    QPushButton* btnSaveLibrary = nullptr;

private:
    AppContext& context_;
};

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
