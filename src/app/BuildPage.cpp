#include "BuildPage.h"

#include <QRegion>
#include <QScrollBar>
#include <QShowEvent>

#include <algorithm>

#include "EscStops.h"
#include "OliveSplitter.h"
#include "PathNames.h"
#include "LocalText.h"
#include "PageLook.h"
#include "building/BuildCommand.h"
#include "building/TemplateEditor.h"
#include "output/PlaylistWriter.h"

namespace kestrune::app {

namespace {

// Initial pane sizes of the page.
constexpr int kTemplateAreaWidth = 553;
constexpr int kFinalPlaylistHeight = 184;
constexpr int kMasterPaneWidth = 264;

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
        EscStops esc(context_.stopRequest);
        BuildContext build{s,
                           context_.view,
                           prompts,
                           context_.build.seeds,
                           context_.build.clock,
                           context_.build.settingsFiles,
                           context_.build.historyFolder,
                           context_.build.rules,
                           context_.build.timing};
        build.rotation = context_.build.rotation;
        build.reader = context_.build.reader;
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
