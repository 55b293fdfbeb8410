#include "WeekGridPage.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "platform/Paths.h"

namespace kestrune::app {

namespace {
constexpr const char* kGridFilter = "Week Grid|*.kwg";
constexpr const char* kSessionFilter = "Clock Wheel Template|*.cwt";

// What the marks of a built hour mean, with the colours of the scale.
QString Legend() {
    QString text = "After a build: \"on time\" within the hour's window; otherwise how far it "
                   "ends from the hour, - early, + late: ";
    const char* steps[] = {"under a minute", "under five minutes", "five minutes or more"};
    for (int step = 1; step <= 3; ++step)
        text += QString("<span style=\"background-color:%1\">&nbsp;%2&nbsp;</span> ")
                    .arg(WeekGridModel::OffColour(step).name(), steps[step - 1]);
    return text;
}
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
    // Wide enough for a miss ("-0:40:06") and a short name; a narrow window scrolls instead.
    table_->horizontalHeader()->setMinimumSectionSize(
        QFontMetrics(WeekGridModel::CellFont()).horizontalAdvance("+0:00:00") + 12);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setToolTip(
        "Select an hour or a block of hours, then choose the session to build for them. "
        "kestrune-cli week builds one playlist per hour from the saved grid.");
    layout->addWidget(table_, 1);
    legend_ = new QLabel(Legend(), this);
    layout->addWidget(legend_);
    cellLabel_ = new QLabel(this);
    layout->addWidget(cellLabel_);
    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                const QString session = model_->data(current, Qt::EditRole).toString();
                // The last build of the hour, in words, after its session.
                const QStringList tip =
                    model_->data(current, Qt::ToolTipRole).toString().split('\n');
                cellLabel_->setText(
                    model_->headerData(current.row(), Qt::Vertical).toString() + " " +
                    model_->headerData(current.column(), Qt::Horizontal).toString() + ": " +
                    (session.isEmpty() ? QString("nothing is built") : session) +
                    (tip.size() > 1 ? "; " + tip.back().toLower() : QString()));
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
