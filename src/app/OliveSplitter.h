#pragma once
// The pages' splitters: a bar painted olive whatever the style draws, panes that never collapse.

#include <QColor>
#include <QPainter>
#include <QSplitter>
#include <QSplitterHandle>

namespace kestrune::app {

inline const QColor kOlive(0x80, 0x80, 0x00);

class OliveHandle : public QSplitterHandle {
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), kOlive);
    }
};

class OliveSplitter : public QSplitter {
public:
    OliveSplitter(Qt::Orientation orientation, int handleWidth, QWidget* parent)
        : QSplitter(orientation, parent) {
        setHandleWidth(handleWidth);
        setChildrenCollapsible(false);
    }

protected:
    QSplitterHandle* createHandle() override { return new OliveHandle(orientation(), this); }
};

}  // namespace kestrune::app
