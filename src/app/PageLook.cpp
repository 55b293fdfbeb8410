#include "PageLook.h"

#include <algorithm>

#include "PathNames.h"

namespace kestrune::app {

namespace {

const QColor kPaleYellow(0xFF, 0xFF, 0xD2);
const QColor kLightGrey(0xF2, 0xF2, 0xF2);

}  // namespace

QWidget* Panel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, kPaleYellow);
    panel->setPalette(palette);
    return panel;
}

QListWidget* BigList(QWidget* parent, const char* hint) {
    auto* list = new QListWidget(parent);
    list->setToolTip(hint);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line of text each: a list of hundreds of songs is laid out and painted without
    // measuring every entry.
    list->setUniformItemSizes(true);
    ShowPathsByName(list);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, kLightGrey);
    list->setPalette(palette);
    return list;
}

QPushButton* Button(QWidget* parent, const char* caption, const char* hint, int width, int height) {
    auto* button = new QPushButton(caption, parent);
    if (hint != nullptr) button->setToolTip(hint);
    const QFontMetrics metrics = button->fontMetrics();
    button->setFixedSize(std::max(width, metrics.horizontalAdvance(caption) + 10),
                         std::max(height, metrics.height() + 4));
    button->setAutoDefault(false);
    return button;
}

void SameWidth(std::initializer_list<QPushButton*> buttons) {
    int width = 0;
    for (QPushButton* button : buttons) width = std::max(width, button->width());
    for (QPushButton* button : buttons) button->setFixedWidth(width);
}

QProgressBar* Meter(QWidget* parent) {
    auto* meter = new QProgressBar(parent);
    meter->setRange(0, 100);
    meter->setValue(0);
    meter->setTextVisible(false);
    // A continuous fill in every style: some styles draw blocks otherwise.
    meter->setStyleSheet(
        "QProgressBar { border: 1px solid palette(mid); background: palette(base); }"
        "QProgressBar::chunk { background: palette(highlight); }");
    return meter;
}

QFont SmallFont(const QFont& base) {
    QFont font = base;
    font.setPointSize(6);
    return font;
}

}  // namespace kestrune::app
