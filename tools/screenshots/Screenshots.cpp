// Pictures of the program's pages for the README: the main window on a station, with the demo
// session loaded and built, each page in front in turn. Runs offscreen.
//
// Usage: kestrune-screenshots STATION_FOLDER OUTPUT_FOLDER

#include <QApplication>
#include <QDir>
#include <QTabWidget>

#include <cstdio>

#include "BuildPage.h"
#include "ListCreatorPage.h"
#include "MainForm.h"
#include "OptionWindows.h"
#include "WeekGridPage.h"
#include "building/BuildCommand.h"
#include "building/TemplateEditor.h"
#include "sessions/DemoSession.h"
#include "sessions/SessionFile.h"

namespace {

using namespace kestrune;

// Answers every question as a user who only looks would: no files chosen, Ignore on errors.
class LookingPrompts : public app::AppPrompts {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void ShowError(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
    int AskOpenError(const std::string&) override { return kAnswerIgnore; }
    std::optional<std::string> AskSaveFileName(const SaveQuestion&) override { return std::nullopt; }
    std::vector<std::string> AskOpenFileNames(const app::OpenQuestion&) override { return {}; }
    int AskChoice(const std::string&, const std::vector<std::string>& buttons) override {
        return static_cast<int>(buttons.size()) - 1;  // the button that changes nothing
    }
    std::optional<SlotTimeAnswer> AskSlotTime(const std::string&,
                                              const std::optional<SlotTime>&) override {
        return std::nullopt;  // cancelled
    }
};

bool Save(QWidget& window, const QString& path) {
    window.repaint();
    QApplication::processEvents();
    const bool saved = window.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", path.toLocal8Bit().constData());
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fputs("usage: kestrune-screenshots STATION_FOLDER OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    const QString station = QDir(argv[1]).absolutePath();
    const QString out = QDir(argv[2]).absolutePath();
    QDir().mkpath(out);
    QDir::setCurrent(station);

    LookingPrompts prompts;
    app::TfMainForm form(station.toStdString(), (station + "/kestrune.ini").toStdString(), &prompts);
    app::TfDMCA dupe(form.Context());
    app::TfGenre genre(form.Context());
    app::TfDirectories directories(form.Context());
    form.AttachOptionWindows(&dupe, &genre, &directories);
    app::TfRules rules(form.Context());
    form.AttachRulesWindow(&rules);
    form.show();

    // The demo session, as the menu makes it, then one built hour.
    SaveQuestion dialog = form.Context().sdSaveSessions;
    form.RunCommand([&] { LoadDemoSession2Click(form.Context().build, form.Folders(), dialog); });
    // Two timed slots: the opening jingle on the hour, the second commercial break around :20.
    SetSlotTime(form.Session(), 0, SlotTime{0, SlotTimeKind::Hard, kDefaultSlotWindowSeconds});
    SetSlotTime(form.Session(), 9, SlotTime{20 * 60, SlotTimeKind::Soft, kDefaultSlotWindowSeconds});
    form.tsBuildPlaylist->Refresh();
    form.tsBuildPlaylist->cbTextOutput->setChecked(true);
    form.tsBuildPlaylist->btBuildPlaylist->click();
    form.tsBuildPlaylist->lbFinalPlaylist->scrollToTop();

    bool ok = Save(form, out + "/build-page.png");
    form.ShowPage(1);
    ok = Save(form, out + "/scheduling-page.png") && ok;
    form.ShowPage(2);
    ok = Save(form, out + "/list-creator-page.png") && ok;
    form.tsListCreator->PageControl1->setCurrentIndex(0);
    ok = Save(form, out + "/list-creator-by-folder.png") && ok;
    // A week grid: the demo hour in the mornings and evenings of the working week.
    form.ShowPage(3);
    app::WeekGridModel& grid = form.tsWeekGrid->Model();
    QModelIndexList hours;
    for (int day = 0; day < 5; ++day)
        for (int hour : {6, 7, 8, 9, 16, 17, 18}) hours.push_back(grid.index(day, hour));
    grid.SetSession(hours, "demo_current_hit_radio_format_1hour.cwt");
    form.tsWeekGrid->Table().setCurrentIndex(grid.index(0, 7));
    ok = Save(form, out + "/week-grid-page.png") && ok;
    dupe.show();
    ok = Save(dupe, out + "/dupe-checker.png") && ok;
    form.Rules1Click();
    ok = Save(rules, out + "/rules.png") && ok;
    return ok ? 0 : 1;
}
