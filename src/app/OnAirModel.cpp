#include "OnAirModel.h"

#include <QColor>
#include <QFont>

#include <algorithm>

#include "LocalText.h"
#include "onair/LocalHours.h"
#include "platform/Paths.h"

namespace kestrune::app {

namespace {

QString Plural(int count, const char* word) {
    return QString("%1 %2").arg(count).arg(word);
}

// "3:41"
QString MinutesSeconds(int64_t ms) {
    const int64_t seconds = (ms + 500) / 1000;
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

QString PlannedName(const PlannedItem& item) {
    return Local(item.title.empty() ? ExtractFileName(item.file) : item.title);
}

QString AiredName(const AiredItem& item) {
    if (item.artist.empty() && item.title.empty()) return Local(ExtractFileName(item.file));
    if (item.artist.empty()) return Local(item.title);
    return Local(item.artist + " - " + item.title);
}

QString DifferenceText(const AirLine& line) {
    if (!line.difference) return "as planned";
    switch (*line.difference) {
    case AirDifferenceKind::NeverAired: return "never aired";
    case AirDifferenceKind::Planned: return "planned";
    case AirDifferenceKind::NotPlanned:
        return line.aired->kind == "filler" ? "not planned: filler" : "not planned";
    case AirDifferenceKind::Late: {
        const int64_t off = (line.aired->startMs - *line.planned->startMs) / 1000;
        return off >= 0 ? QString("late by %1 s").arg(off) : QString("early by %1 s").arg(-off);
    }
    }
    return {};
}

QColor DifferenceColour(AirDifferenceKind kind) {
    switch (kind) {
    case AirDifferenceKind::NeverAired: return QColor(246, 198, 198);  // light red
    case AirDifferenceKind::NotPlanned: return QColor(251, 227, 166);  // amber
    case AirDifferenceKind::Late: return QColor(207, 224, 247);        // light blue
    case AirDifferenceKind::Planned: return QColor(223, 240, 216);     // pale green: still to come
    }
    return {};
}

QString HourSummary(const HourOnAir& onAir) {
    int never = 0, unplanned = 0, late = 0, coming = 0;
    for (const AirDifference& difference : onAir.differences) {
        never += difference.kind == AirDifferenceKind::NeverAired;
        coming += difference.kind == AirDifferenceKind::Planned;
        unplanned += difference.kind == AirDifferenceKind::NotPlanned;
        late += difference.kind == AirDifferenceKind::Late;
    }
    if (never + unplanned + late + coming == 0) return "as planned";
    if (never + unplanned + late == 0 && coming == onAir.planned) return "planned";
    QStringList parts;
    if (coming > 0) parts << Plural(coming, "still planned");
    if (never > 0) parts << Plural(never, "never aired");
    if (unplanned > 0) parts << Plural(unplanned, "not planned");
    if (late > 0) parts << Plural(late, "early or late");
    return parts.join(", ");
}

// An hour the air has not reached: every item still to come.
bool WhollyPlanned(const HourOnAir& onAir) {
    return onAir.aired == 0 && onAir.planned > 0 &&
           std::all_of(onAir.differences.begin(), onAir.differences.end(),
                       [](const AirDifference& d) { return d.kind == AirDifferenceKind::Planned; });
}

}  // namespace

int OnAirModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int OnAirModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OnAirModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    switch (section) {
    case PlannedAt: return "Planned";
    case Planned: return "Planned item";
    case AiredAt: return "Aired";
    case Aired: return "Aired item";
    case Length: return "Length";
    case Difference: return "Difference";
    default: return {};
    }
}

QVariant OnAirModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount() || index.column() < 0 ||
        index.column() >= ColumnCount)
        return {};
    const Row& row = rows_[static_cast<size_t>(index.row())];
    const AirHour& hour = hours_[row.hour];
    if (row.line < 0) return HeadingData(hour, index.column(), role);
    return LineData(hour.onAir.lines[static_cast<size_t>(row.line)], index.column(), role);
}

QVariant OnAirModel::HeadingData(const AirHour& hour, int column, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case PlannedAt:
            return QString("%1:%2%3")
                .arg(hour.hour, 2, 10, QChar('0'))
                .arg(hour.minute, 2, 10, QChar('0'))
                .arg(hour.again ? " again" : "");
        case Planned:
            return hour.hasPlan ? Local(ExtractFileName(hour.plan.playlist)) + ": " +
                                      Plural(hour.onAir.planned, "planned")
                                : QString("no playlist");
        case Aired: return Plural(hour.onAir.aired, "aired");
        case Difference: return HourSummary(hour.onAir);
        default: return QString();
        }
    case Qt::ToolTipRole:
        return hour.hasPlan ? Local(hour.plan.playlist)
                            : "No playlist " + Local(hour.plan.playlist);
    case Qt::FontRole: {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    case Qt::BackgroundRole:
        return WhollyPlanned(hour.onAir) ? DifferenceColour(AirDifferenceKind::Planned)
                                         : QColor(224, 224, 224);
    default: return {};
    }
}

QVariant OnAirModel::LineData(const AirLine& line, int column, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case PlannedAt:
            return line.planned && line.planned->startMs
                       ? Local(LocalClockText(*line.planned->startMs))
                       : QString();
        case Planned: return line.planned ? PlannedName(*line.planned) : QString();
        case AiredAt: return line.aired ? Local(LocalClockText(line.aired->startMs)) : QString();
        case Aired: return line.aired ? AiredName(*line.aired) : QString();
        case Length:
            if (!line.aired) return QString();
            if (!line.aired->endMs) return QString("no end");
            return MinutesSeconds(*line.aired->endMs - line.aired->startMs) +
                   (line.aired->how == "ended" ? QString() : ", " + Local(line.aired->how));
        case Difference: return DifferenceText(line);
        default: return {};
        }
    case Qt::ToolTipRole:
        if ((column == Planned || column == PlannedAt) && line.planned)
            return Local(line.planned->file);
        if ((column == Aired || column == AiredAt) && line.aired)
            return Local(line.aired->file) + "\n" + Local(line.aired->kind) + " from " +
                   Local(line.aired->playlist);
        if (column == Length && line.aired && !line.aired->endMs)
            return QString("The log has no end for it: still on air, or the end was lost");
        return {};
    case Qt::BackgroundRole:
        return line.difference ? QVariant(DifferenceColour(*line.difference)) : QVariant();
    default: return {};
    }
}

void OnAirModel::SetHours(std::vector<AirHour> hours) {
    beginResetModel();
    hours_ = std::move(hours);
    rows_.clear();
    for (size_t h = 0; h < hours_.size(); ++h) {
        rows_.push_back({h, -1});
        for (size_t l = 0; l < hours_[h].onAir.lines.size(); ++l)
            rows_.push_back({h, static_cast<int>(l)});
    }
    endResetModel();
}

int OnAirModel::HeadingRowAt(int64_t utcMs) const {
    for (size_t r = 0; r < rows_.size(); ++r) {
        const HourPlan& plan = hours_[rows_[r].hour].plan;
        if (rows_[r].line < 0 && plan.startMs <= utcMs && utcMs < plan.endMs)
            return static_cast<int>(r);
    }
    return -1;
}

bool OnAirModel::IsHeading(int row) const {
    return row >= 0 && row < rowCount() && rows_[static_cast<size_t>(row)].line < 0;
}

}  // namespace kestrune::app
