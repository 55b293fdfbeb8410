#include "BuildPage.h"

// How the build page is put together: its panes, their widgets and where each handler is wired.

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

#include "ListKeys.h"
#include "LocalText.h"
#include "NumberFields.h"
#include "OliveSplitter.h"
#include "PageLook.h"
#include "PathNames.h"

namespace kestrune::app {

BuildPage::BuildPage(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    LayOutPanes();
    ConnectHandlers();
    Refresh();
}

// Left, the categories beside the template over the final playlist; right, the output file, the
// build button and the meters.
void BuildPage::LayOutPanes() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    Splitter5 = new OliveSplitter(Qt::Horizontal, 2, this);
    outer->addWidget(Splitter5);
    auto* pBuildTemplate = new QWidget(Splitter5);
    auto* leftLayout = new QVBoxLayout(pBuildTemplate);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    Splitter3 = new OliveSplitter(Qt::Vertical, 3, pBuildTemplate);
    leftLayout->addWidget(Splitter3);
    auto* Panel10 = new QWidget(Splitter3);
    auto* upperLayout = new QVBoxLayout(Panel10);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    Splitter4 = new OliveSplitter(Qt::Horizontal, 3, Panel10);
    upperLayout->addWidget(Splitter4);

    MakePlaylistsPane(Splitter4);
    MakeTemplatePane(Splitter4);
    Splitter4->setStretchFactor(0, 1);
    Splitter4->setStretchFactor(1, 1);
    Splitter4->handle(1)->setToolTip("Drag this left or right to view window better.");

    MakeFinalPlaylistPane(Splitter3);
    Splitter3->setStretchFactor(0, 1);
    Splitter3->setStretchFactor(1, 1);

    MakeBuildColumn(Splitter5);
    // The lists take the space the window gains; the right column keeps its width.
    Splitter5->setStretchFactor(0, 1);
    Splitter5->setStretchFactor(1, 0);
}

// The category playlists, with + -- C.
void BuildPage::MakePlaylistsPane(QWidget* parent) {
    QWidget* pPlaylistsInTemplate = Panel(parent);
    Label12 = new QLabel("Playlists to use in template", pPlaylistsInTemplate);
    lbMasterPlaylists =
        BigList(pPlaylistsInTemplate,
                "This window lists all playlists (.m3u's) that will be used in your "
                "final formatted playlist.");
    Button1 =
        Button(pPlaylistsInTemplate, "+", "Add playlist(s) to be used in final format.", 23, 19);
    Button2 =
        Button(pPlaylistsInTemplate, "--",
               "Remove a playlist from the list of playlists to be used in final format.", 23, 19);
    Button3 = Button(pPlaylistsInTemplate, "C",
                     "Clear list of playlists to be used in final format.", 23, 19);
    SameWidth({Button1, Button2, Button3});
    {
        auto* grid = new QGridLayout(pPlaylistsInTemplate);
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setSpacing(3);
        grid->addWidget(Label12, 0, 0, 1, 2);
        grid->addWidget(lbMasterPlaylists, 1, 0);
        auto* column = new QVBoxLayout;
        column->setSpacing(2);
        column->addWidget(Button1);
        column->addWidget(Button2);
        column->addWidget(Button3);
        column->addStretch(1);
        grid->addLayout(column, 1, 1);
        grid->setColumnStretch(0, 1);
        grid->setRowStretch(1, 1);
    }
}

// The clock template with Up, Down, Clear and Time..., and the desired length under it.
void BuildPage::MakeTemplatePane(QWidget* parent) {
    QWidget* pTemplate = Panel(parent);
    Label4 = new QLabel("Clockwheel Template", pTemplate);
    lbClockwheelTemplate = BigList(
        pTemplate, "This window is where you will build the sequence for your final playlist. ");
    btFileUp = Button(pTemplate, "Up", "Swap entry with item above.", 40, 25);
    btFileDown = Button(pTemplate, "Down", "Swap entry with item below.", 40, 25);
    btClearTemplate = Button(pTemplate, "Clear", nullptr, 40, 25);
    btSlotTime = Button(pTemplate, "Time...",
                        "Set the time of the hour at which the selected slot starts (news at "
                        ":00, spots at :20), or clear it.",
                        40, 25);
    SameWidth({btFileUp, btFileDown, btClearTemplate, btSlotTime});
    Label3 = new QLabel("Desired Length (in minutes)", pTemplate);
    ComboBox1 = new QComboBox(pTemplate);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    // The minutes stay as typed: the presets are there to pick, not to finish what is typed.
    WholeNumbersOnly(ComboBox1, 5);
    ComboBox1->setFixedWidth(58);
    ComboBox1->setToolTip("Select or type a length (in minutes) for your final playlist.");
    for (int minutes : {30, 60, 90, 120}) ComboBox1->addItem(QString::number(minutes));
    for (int minutes = 180; minutes <= 1440; minutes += 60)
        ComboBox1->addItem(QString::number(minutes));
    ComboBox1->setMaxVisibleItems(ComboBox1->count());
    {
        auto* grid = new QGridLayout(pTemplate);
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setSpacing(3);
        grid->addWidget(Label4, 0, 0, 1, 2);
        grid->addWidget(lbClockwheelTemplate, 1, 0);
        auto* column = new QVBoxLayout;
        column->setSpacing(2);
        column->addWidget(btFileUp);
        column->addWidget(btFileDown);
        column->addWidget(btClearTemplate);
        column->addWidget(btSlotTime);
        column->addStretch(1);
        grid->addLayout(column, 1, 1);
        auto* lengthRow = new QHBoxLayout;
        lengthRow->addWidget(Label3);
        lengthRow->addWidget(ComboBox1);
        lengthRow->addStretch(1);
        grid->addLayout(lengthRow, 2, 0, 1, 2);
        grid->setColumnStretch(0, 1);
        grid->setRowStretch(1, 1);
    }
}

// The final playlist with Clear without Saving, Accept List and Save to Text.
void BuildPage::MakeFinalPlaylistPane(QWidget* parent) {
    QWidget* pFinalPlaylist = Panel(parent);
    Label2 = new QLabel("Final Playlist", pFinalPlaylist);
    Label2->setFont(SmallFont(font()));
    lbFinalPlaylist = BigList(
        pFinalPlaylist, "This window will display the final playlist once it has been built.");
    btClearFinalPlaylist = Button(pFinalPlaylist, "Clear without Saving",
                                  "Clear the contents of the final playlist window without saving "
                                  "the list to the location you specified.",
                                  114, 25);
    btAcceptFinalPlaylist =
        Button(pFinalPlaylist, "Accept List",
               "Click here to save the final playlist generated by this program. "
               "It will be saved in the location you specified.",
               114, 25);
    SameWidth({btClearFinalPlaylist, btAcceptFinalPlaylist});
    StaticText1 = new QLabel(
        "The Kestrune can also save your playlist as a text file for archiving.", pFinalPlaylist);
    StaticText1->setWordWrap(true);
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    StaticText1->setFixedSize(111, std::max(55, StaticText1->heightForWidth(111)));
    cbTextOutput = new QCheckBox("Save to Text", pFinalPlaylist);
    {
        auto* grid = new QGridLayout(pFinalPlaylist);
        grid->setContentsMargins(4, 2, 4, 4);
        grid->setSpacing(3);
        grid->addWidget(Label2, 0, 0, 1, 2);
        grid->addWidget(lbFinalPlaylist, 1, 0);
        auto* column = new QVBoxLayout;
        column->setSpacing(2);
        column->addWidget(btClearFinalPlaylist);
        column->addWidget(btAcceptFinalPlaylist);
        column->addSpacing(4);
        column->addWidget(StaticText1);
        column->addWidget(cbTextOutput);
        column->addStretch(1);
        grid->addLayout(column, 1, 1);
        grid->setColumnStretch(0, 1);
        grid->setRowStretch(1, 1);
    }
}

// The output file, Build Playlist! and the progress meters.
void BuildPage::MakeBuildColumn(QWidget* parent) {
    QWidget* Panel2 = Panel(parent);
    btLocateDir =
        Button(Panel2, "Where should I save final playlist?",
               "Click here to specify the location and filename to save your new playlist "
               "when it is built.",
               173, 21);
    lbSavePlaylist = new QListWidget(Panel2);
    lbSavePlaylist->setToolTip(
        "The filname in this window is where your new playlist will be saved. Click the button "
        "above to specify a new location.");
    lbSavePlaylist->setSelectionMode(QAbstractItemView::SingleSelection);
    lbSavePlaylist->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ShowPathsByName(lbSavePlaylist);
    lbSavePlaylist->setFixedHeight(lbSavePlaylist->fontMetrics().height() +
                                   2 * lbSavePlaylist->frameWidth() + 4);
    btBuildPlaylist =
        Button(Panel2, "Build Playlist!",
               "Click now to build your final playlist based on the information in the "
               "other windows.",
               104, 57);
    GroupBox1 = new QGroupBox("Progress Indicators", Panel2);
    GroupBox1->setToolTip(
        "These meters track the progress of playlist building once you click the BUILD PLAYLIST "
        "button.");
    const QFont normal = font();
    GroupBox1->setFont(SmallFont(normal));
    GroupBox1->setFixedSize(189, 133);
    ProgressBar3 = Meter(GroupBox1);
    Label13 = new QLabel("Micro Shuffle", GroupBox1);
    ProgressBar1 = Meter(GroupBox1);
    Label14 = new QLabel("Major Shuffle", GroupBox1);
    Label6 = new QLabel("Playlist Building", GroupBox1);
    ProgressBar2 = Meter(GroupBox1);
    for (QWidget* child : std::initializer_list<QWidget*>{ProgressBar3, Label13, ProgressBar1,
                                                          Label14, Label6, ProgressBar2})
        child->setFont(normal);
    for (QProgressBar* meter : {ProgressBar3, ProgressBar1, ProgressBar2})
        meter->setFixedHeight(16);
    {
        auto* grid = new QGridLayout(GroupBox1);
        grid->setContentsMargins(8, 14, 8, 8);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(6);
        grid->addWidget(ProgressBar3, 0, 0);
        grid->addWidget(Label13, 0, 1);
        grid->addWidget(ProgressBar1, 1, 0);
        grid->addWidget(Label14, 1, 1);
        grid->addWidget(Label6, 2, 0, 1, 2);
        grid->addWidget(ProgressBar2, 3, 0, 1, 2);
        grid->setColumnStretch(0, 1);
        grid->setRowStretch(4, 1);
    }
    {
        auto* column = new QVBoxLayout(Panel2);
        column->setContentsMargins(3, 6, 3, 6);
        column->setSpacing(4);
        column->addWidget(btLocateDir, 0, Qt::AlignHCenter);
        column->addWidget(lbSavePlaylist);
        column->addSpacing(8);
        column->addWidget(btBuildPlaylist, 0, Qt::AlignHCenter);
        column->addStretch(1);
        column->addWidget(GroupBox1, 0, Qt::AlignHCenter);
    }
}

void BuildPage::ConnectHandlers() {
    connect(lbMasterPlaylists, &QListWidget::itemDoubleClicked, this,
            [this] { lbMasterPlaylistsDblClick(); });
    connect(lbClockwheelTemplate, &QListWidget::itemDoubleClicked, this,
            [this] { lbClockwheelTemplateDblClick(); });
    // The same by keyboard: Enter adds the category as a slot, Delete removes the slot.
    EnterRuns(lbMasterPlaylists, [this] { lbMasterPlaylistsDblClick(); });
    new KeyRuns(lbClockwheelTemplate, {Qt::Key_Delete}, [this] { DeleteSlot(); });
    connect(btClearTemplate, &QPushButton::clicked, this, [this] { btClearTemplateClick(); });
    connect(btFileUp, &QPushButton::clicked, this, [this] { btFileUpClick(); });
    connect(btFileDown, &QPushButton::clicked, this, [this] { btFileDownClick(); });
    connect(btSlotTime, &QPushButton::clicked, this, [this] { btSlotTimeClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(btLocateDir, &QPushButton::clicked, this, [this] { btLocateDirClick(); });
    connect(btBuildPlaylist, &QPushButton::clicked, this, [this] { btBuildPlaylistClick(); });
    connect(btAcceptFinalPlaylist, &QPushButton::clicked, this,
            [this] { btAcceptFinalPlaylistClick(); });
    connect(btClearFinalPlaylist, &QPushButton::clicked, this,
            [this] { btClearFinalPlaylistClick(); });
    // The model is the truth: what the user types goes into it at once.
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!refreshing_) context_.session.ComboBox1 = Local8(text);
    });
    connect(cbTextOutput, &QCheckBox::toggled, this, [this](bool checked) {
        if (!refreshing_) context_.session.cbTextOutput = checked;
    });
}

}  // namespace kestrune::app
