#pragma once
// Waiting in window tests: on a condition, never for a fixed time, so that a busy machine only
// makes a test slower, never makes it fail.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

namespace kestrune::app::testing {

// Long enough for any machine; it only keeps a broken build from hanging.
inline constexpr int kGenerousMilliseconds = 60000;

// Handles events until `done` holds or the limit passes; answers `done()`.
inline bool ProcessEventsUntil(const std::function<bool()>& done,
                               int limitMilliseconds = kGenerousMilliseconds) {
    QDeadlineTimer limit(limitMilliseconds);
    while (!done() && !limit.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}

}  // namespace kestrune::app::testing
