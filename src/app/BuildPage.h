#pragma once
// The build page: master playlists, clock template, desired length, output file, final
// playlist, the build, accept and clear commands and the three progress meters.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QWidget>

#include <array>
#include <functional>

#include "AppContext.h"

namespace kestrune::app {

class BuildPage : public QWidget {
    Q_OBJECT

public:
    explicit BuildPage(AppContext& context, QWidget* parent = nullptr);

    // The final playlist holds songs that "Accept List" has not written as they stand.
    bool HoldsUnsavedBuild() const;

    // Shows the model: every list and field of the page.
    void Refresh();
    void RefreshList(ShownList list);
    // ProgressBar1, ProgressBar2, ProgressBar3.
    std::array<QProgressBar*, 3> Meters() const {
        return {ProgressBar1, ProgressBar2, ProgressBar3};
    }
    void SelectMasterPlaylist(int index);
    void SelectTemplateSlot(int index);

    // Handlers.
    void lbMasterPlaylistsDblClick();
    void lbClockwheelTemplateDblClick();
    void DeleteSlot();  // the Delete key in the template
    void btClearTemplateClick();
    void btFileUpClick();
    void btFileDownClick();
    void btSlotTimeClick();  // "Time...": sets or clears the selected slot's time
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void btLocateDirClick();
    void btBuildPlaylistClick();
    void btAcceptFinalPlaylistClick();
    void btClearFinalPlaylistClick();

    // Controls.
    QSplitter* Splitter5 = nullptr;
    QSplitter* Splitter3 = nullptr;
    QSplitter* Splitter4 = nullptr;
    QLabel* Label12 = nullptr;
    QListWidget* lbMasterPlaylists = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QLabel* Label4 = nullptr;
    QListWidget* lbClockwheelTemplate = nullptr;
    QPushButton* btFileUp = nullptr;
    QPushButton* btFileDown = nullptr;
    QPushButton* btClearTemplate = nullptr;
    QPushButton* btSlotTime = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* lbFinalPlaylist = nullptr;
    QPushButton* btClearFinalPlaylist = nullptr;
    QPushButton* btAcceptFinalPlaylist = nullptr;
    QLabel* StaticText1 = nullptr;
    QCheckBox* cbTextOutput = nullptr;
    QPushButton* btLocateDir = nullptr;
    QListWidget* lbSavePlaylist = nullptr;
    QPushButton* btBuildPlaylist = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QProgressBar* ProgressBar3 = nullptr;
    QLabel* Label13 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label6 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;

    // True while a command of the page runs.
    bool Busy() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The page's panes and widgets (BuildPageLayout.cpp).
    void LayOutPanes();
    void MakePlaylistsPane(QWidget* parent);
    void MakeTemplatePane(QWidget* parent);
    void MakeFinalPlaylistPane(QWidget* parent);
    void MakeBuildColumn(QWidget* parent);
    void ConnectHandlers();

    // Runs a command of the page under the application's error handler, one at a time.
    void Run(const std::function<void()>& command);
    // The template with each timed slot's time at its right end; true when it was filled anew.
    bool ShowTemplate();

    AppContext& context_;
    bool busy_ = false;
    bool sized_ = false;       // the splitters got their starting sizes
    bool refreshing_ = false;  // the widgets are being set from the model
    LineList accepted_;        // the final playlist as "Accept List" last wrote it
};

}  // namespace kestrune::app
