#pragma once
// Lists of paths that a person can read in a narrow window: a path too long for its row gives
// way in the folders, in the middle, so that the file name stays whole; the pointer resting on
// an entry shows the full path.

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QString>
#include <QStyledItemDelegate>

namespace kestrune::app {

// `path` within `width` pixels: whole when it fits; else the folders elided in the middle and
// the file name whole; the file name itself elided only when even it does not fit.
QString ElidePath(const QString& path, const QFontMetrics& metrics, int width);

// A short text shown at the right end of an entry (a slot's time), the path elided before it.
inline constexpr int kBadgeRole = Qt::UserRole + 1;

class PathItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // No wider than the list: a long path is elided, not scrolled.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

// Shows the list's entries as paths by name; the list's own hint stays where no entry is.
void ShowPathsByName(QAbstractItemView* list);

}  // namespace kestrune::app
