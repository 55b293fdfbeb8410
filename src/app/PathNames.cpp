#include "PathNames.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace kestrune::app {

namespace {
constexpr int kRounding = 4;
}

QString ElidePath(const QString& path, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width) return path;
    const qsizetype cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1;
    const QString name = path.mid(cut);
    const int nameWidth = metrics.horizontalAdvance(name);
    if (cut == 0 || nameWidth >= width) return metrics.elidedText(name, Qt::ElideMiddle, width);
    return metrics.elidedText(path.left(cut), Qt::ElideMiddle, width - nameWidth) + name;
}

void PathItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* widget = item.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    // The room the style leaves for the text in the row, less the margins it keeps inside it
    // and a little for the style's own measure (in fractions of a pixel), which would cut the
    // end of the name otherwise.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    const QString badge = index.data(kBadgeRole).toString();
    const int badgeWidth = badge.isEmpty() ? 0 : item.fontMetrics.horizontalAdvance(badge) + 3 * margin;
    item.text = ElidePath(item.text, item.fontMetrics,
                          textRect.width() - 2 * margin - kRounding - badgeWidth);
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    if (badge.isEmpty()) return;
    painter->save();
    const bool selected = (item.state & QStyle::State_Selected) != 0;
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Link));
    painter->drawText(textRect.adjusted(0, 0, -margin, 0), Qt::AlignRight | Qt::AlignVCenter, badge);
    painter->restore();
}

QSize PathItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    return {1, QStyledItemDelegate::sizeHint(option, index).height()};
}

bool PathItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString badge = index.data(Qt::ToolTipRole).toString();
    const QString path = index.data(Qt::DisplayRole).toString();
    QToolTip::showText(event->globalPos(), badge.isEmpty() ? path : path + "\n" + badge, view,
                       option.rect);
    return true;
}

void ShowPathsByName(QAbstractItemView* list) {
    list->setItemDelegate(new PathItemDelegate(list));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

}  // namespace kestrune::app
