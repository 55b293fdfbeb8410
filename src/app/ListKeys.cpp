#include "ListKeys.h"

#include <QKeyEvent>

#include <utility>

namespace kestrune::app {

KeyRuns::KeyRuns(QAbstractItemView* list, std::initializer_list<int> keys,
                 std::function<void()> command)
    : QObject(list), keys_(keys), command_(std::move(command)) {
    list->installEventFilter(this);
}

bool KeyRuns::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    if (!keys_.contains(static_cast<QKeyEvent*>(event)->key())) return false;
    command_();
    return true;
}

KeyRuns* EnterRuns(QAbstractItemView* list, std::function<void()> open) {
    return new KeyRuns(list, {Qt::Key_Return, Qt::Key_Enter}, std::move(open));
}

}  // namespace kestrune::app
