#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <functional>

#include "AppPrompts.h"
#include "QtPrompts.h"
#include "sessions/SessionFile.h"
#include "support/TempDir.h"

namespace kestrune::app {
namespace {

TEST(AppPrompts, ErrorsEndWithAFullStopUnlessTheyEndInOneOrBelow) {
    EXPECT_EQ(WithFullStop("Cannot open file /a.m3u"), "Cannot open file /a.m3u.");
    EXPECT_EQ(WithFullStop("'abc' is not a valid integer value"), "'abc' is not a valid integer value.");
    EXPECT_EQ(WithFullStop("List index out of bounds (3)"), "List index out of bounds (3)");
    EXPECT_EQ(WithFullStop("Done."), "Done.");
    EXPECT_EQ(WithFullStop("Stop!"), "Stop!");
    EXPECT_EQ(WithFullStop("trailing blank "), "trailing blank ");
    EXPECT_EQ(WithFullStop("a-"), "a-");
    EXPECT_EQ(WithFullStop("path/"), "path/.");
    EXPECT_EQ(WithFullStop(""), ".");
}

// Runs `inside` in the next modal file dialog once it is open, then makes sure it closes.
// (Accepting goes through QDialog: QFileDialog keeps its own accept() protected.)
void InTheNextFileDialog(const std::function<void(QDialog&, QLineEdit&)>& inside) {
    QTimer::singleShot(0, [inside] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            ADD_FAILURE() << "no file dialog open";
            return;
        }
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (name == nullptr) {
            ADD_FAILURE() << "the dialog has no name field";
        } else {
            inside(*dialog, *name);
        }
        if (dialog->isVisible()) dialog->reject();
    });
}

TEST(QtPrompts, TheSessionDialogsProposeTheWildcardWhichOnlyFilters) {
    kestrune::testing::TempDir dir;
    dir.Write("morning.cwt", "x");
    QtPrompts prompts(nullptr);

    QString proposed;
    bool stayedOpen = false;
    InTheNextFileDialog([&](QDialog& dialog, QLineEdit& name) {
        proposed = name.text();
        dialog.accept();  // "Save" with the proposal itself
        stayedOpen = dialog.isVisible();
        name.setText("evening");
        dialog.accept();
    });
    const auto saved = prompts.AskSaveFileName(SessionSaveDialog(dir.Path()));
    EXPECT_EQ(proposed, "*.cwt");
    EXPECT_TRUE(stayedOpen) << "a wildcard is no file name";
    EXPECT_EQ(saved, std::optional<std::string>(dir / "evening.cwt"));

    proposed.clear();
    stayedOpen = false;
    InTheNextFileDialog([&](QDialog& dialog, QLineEdit& name) {
        proposed = name.text();
        dialog.accept();
        stayedOpen = dialog.isVisible();
        name.setText("morning.cwt");
        dialog.accept();
    });
    const auto opened = prompts.AskOpenFileNames(
        OpenQuestion{"Clock Wheel Template|*.cwt", "", dir.Path(), "*.cwt", false});
    EXPECT_EQ(proposed, "*.cwt");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(opened, std::vector<std::string>{dir / "morning.cwt"});
}

}  // namespace
}  // namespace kestrune::app
