#pragma once
// Keys on a list that run a command, as a double-click or a button does: the commands of the
// lists can be reached without the mouse.

#include <QAbstractItemView>
#include <QList>
#include <QObject>

#include <functional>
#include <initializer_list>

namespace kestrune::app {

class KeyRuns : public QObject {
public:
    // Owned by `list`; a press of one of `keys` runs `command` instead of the list's own use.
    KeyRuns(QAbstractItemView* list, std::initializer_list<int> keys, std::function<void()> command);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<int> keys_;
    std::function<void()> command_;
};

// Enter (either key) runs `open`.
KeyRuns* EnterRuns(QAbstractItemView* list, std::function<void()> open);

}  // namespace kestrune::app
