#pragma once
// One day on air as a table: for each hour a heading row (its playlist, how many items were
// planned and aired, its differences), then its items, the planned one beside the one that
// aired for it. An item that never aired, one that aired without being planned and one that
// aired early or late are coloured and say so in words, so the table reads without colour too;
// so is an item whose hour the air has not reached yet: planned, not missed.

#include <QAbstractTableModel>

#include <vector>

#include "onair/AirDays.h"

namespace kestrune::app {

class OnAirModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { PlannedAt, Planned, AiredAt, Aired, Length, Difference, ColumnCount };

    explicit OnAirModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Shows these hours (one day's, in order) in place of the ones before.
    void SetHours(std::vector<AirHour> hours);
    const std::vector<AirHour>& Hours() const { return hours_; }
    // The row of the heading of the hour on air at that instant (of its pass, where the clock
    // shows the hour twice); -1 for an hour not shown.
    int HeadingRowAt(int64_t utcMs) const;
    bool IsHeading(int row) const;

private:
    struct Row {
        size_t hour = 0;
        int line = -1;  // -1: the hour's heading
    };
    QVariant HeadingData(const AirHour& hour, int column, int role) const;
    QVariant LineData(const AirLine& line, int column, int role) const;

    std::vector<AirHour> hours_;
    std::vector<Row> rows_;
};

}  // namespace kestrune::app
