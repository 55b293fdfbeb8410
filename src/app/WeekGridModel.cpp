#include "WeekGridModel.h"

#include <QColor>
#include <QFont>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "LocalText.h"
#include "platform/Paths.h"

namespace kestrune::app {

namespace {

// "morning show" for "/st/Sessions/morning show.cwt": the cells are narrow.
QString ShortName(const std::string& session) {
    std::string name = ExtractFileName(session);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return Local(name);
}

// One light colour per session, so that blocks of hours show at a glance in narrow cells.
QColor SessionColour(const std::string& session) {
    uint32_t hash = 2166136261u;
    for (const char c : session) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    return QColor::fromHsv(static_cast<int>(hash % 360), 60, 250);
}

bool Inside(const QModelIndex& index) {
    return index.isValid() && index.row() >= 0 && index.row() < kDaysInWeek &&
           index.column() >= 0 && index.column() < kHoursInDay;
}

}  // namespace

int WeekGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kDaysInWeek;
}

int WeekGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kHoursInDay;
}

QVariant WeekGridModel::data(const QModelIndex& index, int role) const {
    if (!Inside(index)) return {};
    const std::string& session = grid_.At(index.row(), index.column());
    const std::optional<HourEnd>& end = EndAt(index);
    const int step = end ? OffStep(*end) : 0;
    switch (role) {
        case Qt::DisplayRole:
            if (!end) return ShortName(session);
            // The cell is narrow: on time in words, a miss as a signed time the legend explains.
            return ShortName(session) + "\n" +
                   (end->onTime ? QString("on time") : Local(HourEndClock(end->errorMs)));
        case Qt::ToolTipRole:
            if (session.empty()) return QString("Nothing is built for this hour");
            return end ? Local(session) + "\nLast built: ends " + Local(HourEndWords(end->errorMs)) +
                             (end->onTime ? QString(", within its window")
                                          : QString(", outside its window"))
                       : Local(session);
        case Qt::EditRole: return Local(session);
        case Qt::FontRole: return CellFont();
        case Qt::BackgroundRole:
            // How far a miss is off outweighs which session it is; the name says that.
            if (step > 0) return OffColour(step);
            return session.empty() ? QVariant() : QVariant(SessionColour(session));
        default: return {};
    }
}

QFont WeekGridModel::CellFont() {
    // A point smaller than the text around: 24 hours side by side, each wide enough for a miss.
    QFont font;
    font.setPointSizeF(std::max(6.0, font.pointSizeF() - 1));
    return font;
}

int WeekGridModel::OffStep(const HourEnd& end) {
    if (end.onTime) return 0;
    const int64_t off = std::llabs(end.errorMs);
    return off < 60000 ? 1 : off < 300000 ? 2 : 3;
}

QColor WeekGridModel::OffColour(int step) {
    switch (step) {
        case 1: return QColor(255, 236, 153);  // under a minute: pale yellow
        case 2: return QColor(255, 183, 77);   // under five minutes: orange
        default: return QColor(229, 115, 115);  // five minutes or more: red
    }
}

const std::optional<HourEnd>& WeekGridModel::EndAt(const QModelIndex& index) const {
    return ends_[static_cast<size_t>(index.row() * kHoursInDay + index.column())];
}

void WeekGridModel::SetHourEnds(const std::vector<HourEnd>& ends) {
    ends_.fill(std::nullopt);
    for (const HourEnd& end : ends)
        if (end.weekday >= 0 && end.weekday < kDaysInWeek && end.hour >= 0 &&
            end.hour < kHoursInDay)
            ends_[static_cast<size_t>(end.weekday * kHoursInDay + end.hour)] = end;
    emit dataChanged(index(0, 0), index(kDaysInWeek - 1, kHoursInDay - 1));
}

QVariant WeekGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) {
        if (section < 0 || section >= kDaysInWeek) return {};
        return Local(std::string(DayName(section)));
    }
    if (section < 0 || section >= kHoursInDay) return {};
    return QString("%1").arg(section, 2, 10, QChar('0'));
}

Qt::ItemFlags WeekGridModel::flags(const QModelIndex& index) const {
    if (!Inside(index)) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool WeekGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!Inside(index) || role != Qt::EditRole) return false;
    grid_.Set(index.row(), index.column(), value.toString().toLocal8Bit().toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
    return true;
}

void WeekGridModel::SetSession(const QModelIndexList& cells, const std::string& session) {
    int top = kDaysInWeek, left = kHoursInDay, bottom = -1, right = -1;
    for (const QModelIndex& cell : cells) {
        if (!Inside(cell)) continue;
        grid_.Set(cell.row(), cell.column(), session);
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    if (bottom < 0) return;
    emit dataChanged(index(top, left), index(bottom, right),
                     {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
}

void WeekGridModel::Reset() {
    beginResetModel();
    endResetModel();
}

}  // namespace kestrune::app
