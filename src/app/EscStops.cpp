#include "EscStops.h"

#include <QApplication>
#include <QKeyEvent>


namespace kestrune::app {

namespace {
int active = 0;
}

EscStops::EscStops(std::atomic<bool>& stop) : stop_(stop) {
    stop_ = false;
    ++active;
    qApp->installEventFilter(this);
}

EscStops::~EscStops() {
    qApp->removeEventFilter(this);
    --active;
    stop_ = false;
}

bool EscStops::Active() { return active > 0; }

bool EscStops::eventFilter(QObject*, QEvent* event) {
    if (QApplication::activeModalWidget() != nullptr) return false;
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Taken by the filter: no shortcut of the window fires while the command runs.
            event->accept();
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) stop_ = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

}  // namespace kestrune::app
