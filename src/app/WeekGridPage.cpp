#include "WeekGridPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "platform/Paths.h"

namespace kestrune::app {

namespace {
constexpr const char* kGridFilter = "Week Grid|*.kwg";
constexpr const char* kSessionFilter = "Clock Wheel Template|*.cwt";
}  // namespace

WeekGridPage::WeekGridPage(AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel("Week Grid: the session built for each hour of the week", this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    fileLabel_ = new QLabel(this);
    layout->addWidget(fileLabel_);

    model_ = new WeekGridModel(grid_, this);
    table_ = new QTableView(this);
    table_->setModel(model_);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setToolTip(
        "Select an hour or a block of hours, then choose the session to build for them. "
        "kestrune-cli week builds one playlist per hour from the saved grid.");
    layout->addWidget(table_, 1);
    cellLabel_ = new QLabel(this);
    layout->addWidget(cellLabel_);
    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                const QString session = model_->data(current, Qt::EditRole).toString();
                cellLabel_->setText(
                    model_->headerData(current.row(), Qt::Vertical).toString() + " " +
                    model_->headerData(current.column(), Qt::Horizontal).toString() + ": " +
                    (session.isEmpty() ? QString("nothing is built") : session));
            });

    auto* buttons = new QHBoxLayout();
    chooseButton_ = new QPushButton("Session for Selected Hours...", this);
    clearButton_ = new QPushButton("Clear Selected Hours", this);
    buttons->addWidget(chooseButton_);
    buttons->addWidget(clearButton_);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(chooseButton_, &QPushButton::clicked, this, [this] { ChooseSessionForSelection(); });
    connect(clearButton_, &QPushButton::clicked, this, [this] { ClearSelection(); });
    connect(table_, &QTableView::doubleClicked, this,
            [this](const QModelIndex&) { ChooseSessionForSelection(); });
    ShowGridFile();
}

void WeekGridPage::ChooseSessionForSelection() {
    context_.run([this] {
        const QModelIndexList cells = table_->selectionModel()->selectedIndexes();
        if (cells.isEmpty()) return;
        const auto chosen = context_.prompts.AskOpenFileNames(
            OpenQuestion{kSessionFilter, "cwt", context_.folders.sessions, "*.cwt", false});
        if (chosen.empty()) return;
        // Sessions in the grid's own folder are kept by name, so the station can move.
        std::string session = chosen.front();
        if (ExtractFilePath(session) == IncludeTrailingSeparator(context_.folders.sessions))
            session = ExtractFileName(session);
        model_->SetSession(cells, session);
    });
}

void WeekGridPage::ClearSelection() {
    model_->SetSession(table_->selectionModel()->selectedIndexes(), std::string());
}

void WeekGridPage::LoadGrid() {
    context_.run([this] {
        const auto chosen = context_.prompts.AskOpenFileNames(
            OpenQuestion{kGridFilter, "kwg", context_.folders.sessions, "*.kwg", false});
        if (chosen.empty()) return;
        grid_ = LoadWeekGrid(chosen.front());
        gridFile_ = chosen.front();
        model_->Reset();
        ShowGridFile();
        context_.showPage(3);
    });
}

void WeekGridPage::SaveGrid() {
    context_.run([this] {
        const auto chosen = context_.prompts.AskSaveFileName(
            SaveQuestion{"", kGridFilter, "kwg", context_.folders.sessions,
                         gridFile_.empty() ? "week.kwg" : ExtractFileName(gridFile_)});
        if (!chosen) return;
        SaveWeekGrid(*chosen, grid_);
        gridFile_ = *chosen;
        ShowGridFile();
    });
}

void WeekGridPage::ShowGridFile() {
    fileLabel_->setText(gridFile_.empty() ? QString("Not saved yet")
                                          : QString::fromLocal8Bit(gridFile_.c_str()));
}

}  // namespace kestrune::app
