#include "EscStops.h"

#include <QApplication>
#include <QKeyEvent>

#include "building/StopRequest.h"

namespace kestrune::app {

namespace {
int active = 0;
}

EscStops::EscStops() {
    ClearStopRequest();
    ++active;
    qApp->installEventFilter(this);
}

EscStops::~EscStops() {
    qApp->removeEventFilter(this);
    --active;
    ClearStopRequest();
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
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) RequestStop();
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
