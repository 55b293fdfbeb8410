#pragma once
// The week grid as a table: a row per day (Monday first), a column per hour of the clock; each
// cell shows the name of the session built for that hour. The core grid is the truth: the model
// reads it and writes every change into it.

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QModelIndexList>

#include <array>
#include <optional>
#include <vector>

#include "sessions/WeekGrid.h"
#include "sessions/WeekRun.h"

namespace kestrune::app {

class WeekGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit WeekGridModel(WeekGrid& grid, QObject* parent = nullptr)
        : QAbstractTableModel(parent), grid_(grid) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Edit role: the session's path (local 8-bit text); an empty text clears the hour.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Sets the session of every given cell at once (one change signal).
    void SetSession(const QModelIndexList& cells, const std::string& session);
    // The grid was replaced as a whole (a file loaded).
    void Reset();
    // How far each hour of the last run ends from the hour: shown under its session ("on time",
    // or "-0:40:06" early, "+0:00:41" late), and in words in its tooltip; an hour that missed
    // its window takes the colour of how far off it is. Hours not in the list show none.
    void SetHourEnds(const std::vector<HourEnd>& ends);

    // How far off an hour's end is, as a step of the colour scale: 0 within its window, 1 under a
    // minute, 2 under five minutes, 3 five minutes or more; and the colour of a step above 0.
    static int OffStep(const HourEnd& end);
    static QColor OffColour(int step);
    // The cells' font.
    static QFont CellFont();

private:
    const std::optional<HourEnd>& EndAt(const QModelIndex& index) const;

    WeekGrid& grid_;
    std::array<std::optional<HourEnd>, kDaysInWeek * kHoursInDay> ends_{};
};

}  // namespace kestrune::app
