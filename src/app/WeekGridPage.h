#pragma once
// The week grid page: a table of the 168 hours of a week, the session chosen for a cell or a
// block of cells, and the grid kept in a ".kwg" file of the sessions folder.

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include "AppContext.h"
#include "WeekGridModel.h"

namespace kestrune::app {

class WeekGridPage : public QWidget {
    Q_OBJECT

public:
    explicit WeekGridPage(AppContext& context, QWidget* parent = nullptr);

    // Asks for a session file and sets it for every selected hour.
    void ChooseSessionForSelection();
    // Builds nothing in the selected hours.
    void ClearSelection();
    // The Sessions menu's commands.
    void LoadGrid();
    void SaveGrid();

    QTableView& Table() { return *table_; }
    WeekGridModel& Model() { return *model_; }
    const WeekGrid& Grid() const { return grid_; }
    const std::string& GridFile() const { return gridFile_; }

private:
    void ShowGridFile();

    AppContext& context_;
    WeekGrid grid_;
    std::string gridFile_;  // where it was loaded from or last saved to
    WeekGridModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* fileLabel_ = nullptr;
    QLabel* legend_ = nullptr;
    QLabel* cellLabel_ = nullptr;  // the session of the current hour, in full
    QPushButton* chooseButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
};

}  // namespace kestrune::app
