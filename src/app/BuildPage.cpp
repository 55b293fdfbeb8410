#include "BuildPage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

#include "EscStops.h"
#include "ListKeys.h"
#include "NumberFields.h"
#include "PathNames.h"
#include "OliveSplitter.h"
#include "building/BuildCommand.h"
#include "building/TemplateEditor.h"
#include "output/PlaylistWriter.h"

namespace kestrune::app {

namespace {

const QColor kPaleYellow(0xFF, 0xFF, 0xD2);
const QColor kLightGrey(0xF2, 0xF2, 0xF2);

// Initial pane sizes of the page.
constexpr int kTemplateAreaWidth = 553;
constexpr int kFinalPlaylistHeight = 184;
constexpr int kMasterPaneWidth = 264;

QString Local(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str());
}
std::string Local8(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

QWidget* Panel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, kPaleYellow);
    panel->setPalette(palette);
    return panel;
}

QListWidget* BigList(QWidget* parent, const char* hint) {
    auto* list = new QListWidget(parent);
    list->setToolTip(hint);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line of text each: a list of hundreds of songs is laid out and painted without
    // measuring every entry.
    list->setUniformItemSizes(true);
    ShowPathsByName(list);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, kLightGrey);
    list->setPalette(palette);
    return list;
}

// A button of the given size, or larger when the system's font needs more room for its caption.
QPushButton* Button(QWidget* parent, const char* caption, const char* hint, int width, int height) {
    auto* button = new QPushButton(caption, parent);
    if (hint != nullptr) button->setToolTip(hint);
    const QFontMetrics metrics = button->fontMetrics();
    button->setFixedSize(std::max(width, metrics.horizontalAdvance(caption) + 10),
                         std::max(height, metrics.height() + 4));
    button->setAutoDefault(false);
    return button;
}

// The buttons of one column share the width of the widest.
void SameWidth(std::initializer_list<QPushButton*> buttons) {
    int width = 0;
    for (QPushButton* button : buttons) width = std::max(width, button->width());
    for (QPushButton* button : buttons) button->setFixedWidth(width);
}

QProgressBar* Meter(QWidget* parent) {
    auto* meter = new QProgressBar(parent);
    meter->setRange(0, 100);
    meter->setValue(0);
    meter->setTextVisible(false);
    // A continuous fill in every style: some styles draw blocks otherwise.
    meter->setStyleSheet(
        "QProgressBar { border: 1px solid palette(mid); background: palette(base); }"
        "QProgressBar::chunk { background: palette(highlight); }");
    return meter;
}

QFont SmallFont(const QFont& base) {
    QFont font = base;
    font.setPointSize(6);
    return font;
}

// The selected row, or -1: what the editor commands call the selection.
int Selected(const QListWidget* list) {
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

void Select(QListWidget* list, int index) {
    if (index >= 0 && index < list->count()) {
        list->setCurrentRow(index);
        list->scrollToItem(list->item(index));
    } else {
        list->setCurrentRow(-1);
        list->clearSelection();
    }
}

// Shows `lines` in `list`. An unchanged list is left alone (selection and scroll stay); a list
// that only grew gets the new lines appended; otherwise it is filled anew and the selection
// stays on the same entry (the same occurrence of its text) when that is still there.
bool Show(QListWidget* list, const LineList& lines) {
    const int shown = list->count();
    const int wanted = static_cast<int>(lines.size());
    int same = 0;
    while (same < shown && same < wanted &&
           list->item(same)->text() == Local(lines[static_cast<size_t>(same)]))
        ++same;
    if (same == shown && same == wanted) return false;
    if (same == shown) {
        QStringList added;
        for (int i = same; i < wanted; ++i) added << Local(lines[static_cast<size_t>(i)]);
        list->addItems(added);
        return true;
    }
    const int row = Selected(list);
    QString text;
    int occurrence = 0;
    if (row >= 0) {
        text = list->item(row)->text();
        for (int i = 0; i < row; ++i)
            if (list->item(i)->text() == text) ++occurrence;
    }
    QStringList all;
    all.reserve(wanted);
    for (const std::string& line : lines) all << Local(line);
    list->clear();
    list->addItems(all);
    int keep = -1;
    for (int i = 0; row >= 0 && i < wanted; ++i) {
        if (all[i] != text) continue;
        if (occurrence-- == 0) {
            keep = i;
            break;
        }
    }
    Select(list, keep);
    return true;
}

// While a build runs its final playlist only grows: the songs placed since the last look are
// appended without comparing the whole list again, so the look costs the same at the first song
// and at the thousandth. Anything else (the list shorter, its last shown line changed) is shown
// anew by Show; the page's full look when the command ends catches the rest. Answers the first
// row that changed, or -1 when none did.
int ShowGrown(QListWidget* list, const LineList& lines) {
    const int shown = list->count();
    const int wanted = static_cast<int>(lines.size());
    const bool grew =
        wanted >= shown && (shown == 0 || list->item(shown - 1)->text() ==
                                              Local(lines[static_cast<size_t>(shown - 1)]));
    if (!grew) return Show(list, lines) ? 0 : -1;
    if (wanted == shown) return -1;
    QStringList added;
    for (int i = shown; i < wanted; ++i) added << Local(lines[static_cast<size_t>(i)]);
    list->addItems(added);
    return shown;
}

// True when some of `row` lies in the visible part of the list.
bool RowInView(QListWidget* list, int row) {
    return row >= 0 && row < list->count() &&
           list->visualItemRect(list->item(row)).intersects(list->viewport()->rect());
}

// The builder's closing message comes before the command returns: the page shows the result
// before any box covers it.
class RefreshingPrompts : public Prompts {
public:
    RefreshingPrompts(Prompts& inner, std::function<void()> refresh)
        : inner_(inner), refresh_(std::move(refresh)) {}
    void ShowMessage(const std::string& text) override {
        refresh_();
        inner_.ShowMessage(text);
    }
    int AskOpenError(const std::string& fileName) override { return inner_.AskOpenError(fileName); }
    std::optional<std::string> AskSaveFileName(const SaveQuestion& question) override {
        refresh_();
        return inner_.AskSaveFileName(question);
    }
    bool AskYesNo(const std::string& text) override {
        refresh_();
        return inner_.AskYesNo(text);
    }

private:
    Prompts& inner_;
    std::function<void()> refresh_;
};

}  // namespace

BuildPage::BuildPage(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
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

    // Master playlists.
    QWidget* pPlaylistsInTemplate = Panel(Splitter4);
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

    // Clock template and desired length.
    QWidget* pTemplate = Panel(Splitter4);
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
    Splitter4->setStretchFactor(0, 1);
    Splitter4->setStretchFactor(1, 1);
    Splitter4->handle(1)->setToolTip("Drag this left or right to view window better.");

    // Final playlist.
    QWidget* pFinalPlaylist = Panel(Splitter3);
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
    Splitter3->setStretchFactor(0, 1);
    Splitter3->setStretchFactor(1, 1);

    // Output file, build command and meters.
    QWidget* Panel2 = Panel(Splitter5);
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
    // The lists take the space the window gains; the right column keeps its width.
    Splitter5->setStretchFactor(0, 1);
    Splitter5->setStretchFactor(1, 0);

    // Handlers.
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

    Refresh();
}

void BuildPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (sized_ || width() <= 0 || height() <= 0) return;
    sized_ = true;
    // The starting proportions of the page; after this the user's dragging decides.
    const int across = Splitter5->width() - Splitter5->handleWidth();
    Splitter5->setSizes({kTemplateAreaWidth, std::max(0, across - kTemplateAreaWidth)});
    const int left = Splitter5->sizes().value(0);
    const int down = Splitter5->height() - Splitter3->handleWidth();
    Splitter3->setSizes({std::max(0, down - kFinalPlaylistHeight), kFinalPlaylistHeight});
    const int templateWidth = left - Splitter4->handleWidth() - kMasterPaneWidth;
    Splitter4->setSizes({kMasterPaneWidth, std::max(0, templateWidth)});
}

bool BuildPage::HoldsUnsavedBuild() const {
    const LineList& shown = context_.session.lbFinalPlaylist;
    return !shown.empty() && shown != accepted_;
}

bool BuildPage::Busy() const {
    return busy_;
}

void BuildPage::Run(const std::function<void()>& command) {
    // The MP3 reader lets window events through while it crosses long stretches of a file; a
    // click then must not start a second command over the model the first is working on.
    if (busy_) return;
    busy_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{busy_};
    context_.run(command);
}

void BuildPage::Refresh() {
    const BuildSession& s = context_.session;
    Show(lbMasterPlaylists, s.lbMasterPlaylists.Lines());
    ShowTemplate();
    Show(lbSavePlaylist, s.lbSavePlaylist);
    Show(lbFinalPlaylist, s.lbFinalPlaylist);
    refreshing_ = true;
    const QString length = Local(s.ComboBox1);
    if (ComboBox1->currentText() != length) ComboBox1->setEditText(length);
    if (cbTextOutput->isChecked() != s.cbTextOutput) cbTextOutput->setChecked(s.cbTextOutput);
    refreshing_ = false;
}

void BuildPage::RefreshList(ShownList list) {
    const BuildSession& s = context_.session;
    switch (list) {
        case ShownList::MasterPlaylists:
            Show(lbMasterPlaylists, s.lbMasterPlaylists.Lines());
            break;
        case ShownList::ClockwheelTemplate:
            ShowTemplate();
            break;
        case ShownList::FinalPlaylist:
            Show(lbFinalPlaylist, s.lbFinalPlaylist);
            break;
        case ShownList::SavePlaylist:
            Show(lbSavePlaylist, s.lbSavePlaylist);
            break;
        case ShownList::Schedule:
            break;
    }
}

void BuildPage::SelectMasterPlaylist(int index) {
    Show(lbMasterPlaylists, context_.session.lbMasterPlaylists.Lines());
    Select(lbMasterPlaylists, index);
    // No event loop runs during a build: paint now.
    lbMasterPlaylists->viewport()->repaint();
}

void BuildPage::SelectTemplateSlot(int index) {
    // No event loop runs during a build: what changed is painted now, and only that.
    QListWidget* wheel = lbClockwheelTemplate;
    const int before = wheel->currentRow();
    const int scrolled = wheel->verticalScrollBar()->value();
    const bool refilled = ShowTemplate();
    Select(wheel, index);
    if (refilled || wheel->verticalScrollBar()->value() != scrolled) {
        wheel->viewport()->repaint();
    } else {
        // The selection moved: the row it left and the row it took.
        QRegion changed;
        for (int row : {before, wheel->currentRow()})
            if (RowInView(wheel, row)) changed += wheel->visualItemRect(wheel->item(row));
        if (!changed.isEmpty()) wheel->viewport()->repaint(changed);
    }
    // The builder marks each slot before it places a song: the songs so far come into view
    // while the pane has room for them. Once its last row is out of sight, songs added below
    // would change nothing in it but the scroll bar, and each addition would have the whole
    // pane laid out and painted again: the rest come in when the command ends (the page's look
    // before the closing message, or the refresh after the command).
    QListWidget* final = lbFinalPlaylist;
    const int shown = final->count();
    if (shown > 0 && !RowInView(final, shown - 1)) return;
    const int first = ShowGrown(final, context_.session.lbFinalPlaylist);
    if (RowInView(final, first)) final->viewport()->repaint();
}

bool BuildPage::ShowTemplate() {
    const BuildSession& s = context_.session;
    const bool refilled = Show(lbClockwheelTemplate, s.lbClockwheelTemplate);
    for (int row = 0; row < lbClockwheelTemplate->count(); ++row) {
        const std::optional<SlotTime> time = s.slotTimes.At(static_cast<size_t>(row));
        QString badge, full;
        if (time) {
            badge = Local(HourMarkText(time->second) + " " + SlotTimeKindName(time->kind));
            full = Local("Starts " + SlotTimeText(*time));
        }
        QListWidgetItem* item = lbClockwheelTemplate->item(row);
        if (item->data(kBadgeRole).toString() == badge) continue;
        item->setData(kBadgeRole, badge);
        item->setData(Qt::ToolTipRole, full.isEmpty() ? QVariant() : QVariant(full));
    }
    return refilled;
}

void BuildPage::btSlotTimeClick() {
    Run([this] {
        const int slot = Selected(lbClockwheelTemplate);
        BuildSession& s = context_.session;
        if (slot < 0 || static_cast<size_t>(slot) >= s.lbClockwheelTemplate.size()) {
            context_.prompts.ShowMessage(
                "Select a slot of the Clock Wheel Template, then click Time... to set when it "
                "starts.");
            return;
        }
        const std::string name = "Slot " + std::to_string(slot + 1) + ": " +
                                 s.lbClockwheelTemplate[static_cast<size_t>(slot)];
        const auto answer =
            context_.prompts.AskSlotTime(name, s.slotTimes.At(static_cast<size_t>(slot)));
        if (!answer) return;
        SetSlotTime(s, slot, answer->time);
        ShowTemplate();
    });
}

void BuildPage::lbMasterPlaylistsDblClick() {
    Run([this] {
        const int slot = kestrune::lbMasterPlaylistsDblClick(
            context_.session, Selected(lbMasterPlaylists), Selected(lbClockwheelTemplate));
        SelectTemplateSlot(slot);
    });
}

void BuildPage::lbClockwheelTemplateDblClick() {
    Run([this] {
        const int slot = kestrune::lbClockwheelTemplateDblClick(context_.session,
                                                                Selected(lbClockwheelTemplate));
        SelectTemplateSlot(slot);
    });
}

void BuildPage::DeleteSlot() {
    Run([this] {
        const int slot = Selected(lbClockwheelTemplate);
        kestrune::lbClockwheelTemplateDblClick(context_.session, slot);
        // The next slot takes the selection, so that Delete can be pressed again.
        const int left = static_cast<int>(context_.session.lbClockwheelTemplate.size());
        SelectTemplateSlot(slot < 0 ? -1 : std::min(slot, left - 1));
    });
}

void BuildPage::btClearTemplateClick() {
    Run([this] {
        kestrune::btClearTemplateClick(context_.session);
        RefreshList(ShownList::ClockwheelTemplate);
    });
}

void BuildPage::btFileUpClick() {
    Run([this] {
        const int slot = kestrune::btFileUpClick(context_.session, Selected(lbClockwheelTemplate),
                                                 context_.prompts);
        SelectTemplateSlot(slot);
    });
}

void BuildPage::btFileDownClick() {
    Run([this] {
        const int slot = kestrune::btFileDownClick(context_.session, Selected(lbClockwheelTemplate),
                                                   context_.prompts);
        SelectTemplateSlot(slot);
    });
}

void BuildPage::Button1Click() {
    Run([this] {
        const std::vector<std::string> chosen = context_.prompts.AskOpenFileNames(
            OpenQuestion{"Winamp Playlist|*.m3u", "", context_.folders.playlists, "", true});
        if (chosen.empty()) return;
        AddMasterPlaylists(context_.session, chosen);
        RefreshList(ShownList::MasterPlaylists);
    });
}

void BuildPage::Button2Click() {
    Run([this] {
        const int selected = Selected(lbMasterPlaylists);
        if (selected < 0) return;
        kestrune::Button2Click(context_.session, selected, context_.prompts);
        RefreshList(ShownList::ClockwheelTemplate);
        RefreshList(ShownList::MasterPlaylists);
        // The entry is gone, and with it the selection.
        Select(lbMasterPlaylists, -1);
    });
}

void BuildPage::Button3Click() {
    Run([this] {
        kestrune::Button3Click(context_.session);
        RefreshList(ShownList::MasterPlaylists);
    });
}

void BuildPage::btLocateDirClick() {
    Run([this] {
        // The output may take any playlist format; the category lists stay .m3u.
        SaveQuestion question = context_.sdSavePlaylist;
        question.filter = OutputFileFilter();
        const std::optional<std::string> chosen = context_.prompts.AskSaveFileName(question);
        if (!chosen) return;
        // The dialog proposes this name the next time it opens.
        context_.sdSavePlaylist.proposedName = *chosen;
        context_.session.SetOutputFile(*chosen);
        RefreshList(ShownList::SavePlaylist);
    });
}

void BuildPage::btBuildPlaylistClick() {
    Run([this] {
        BuildSession& s = context_.session;
        s.ComboBox1 = Local8(ComboBox1->currentText());
        s.cbTextOutput = cbTextOutput->isChecked();
        RefreshingPrompts prompts(context_.prompts, [this] { Refresh(); });
        EscStops esc;
        BuildContext build{s,
                           context_.view,
                           prompts,
                           context_.build.seeds,
                           context_.build.clock,
                           context_.build.iniPath,
                           context_.build.historyFolder,
                           context_.build.rules,
                           context_.build.timing};
        kestrune::btBuildPlaylistClick(build);
    });
}

void BuildPage::btAcceptFinalPlaylistClick() {
    Run([this] {
        const BuildSession& s = context_.session;
        context_.session.cbTextOutput = cbTextOutput->isChecked();
        if (!kestrune::btAcceptFinalPlaylistClick(context_.build)) return;
        accepted_ = s.lbFinalPlaylist;
        std::string status = SavedStatus("Final playlist", s.OutputFile());
        if (s.cbTextOutput) status += " " + SavedStatus("Text log", TextLogPath(s));
        context_.view.ShowStatus(status);
    });
}

void BuildPage::btClearFinalPlaylistClick() {
    Run([this] { kestrune::btClearFinalPlaylistClick(context_.build); });
}

}  // namespace kestrune::app
