#pragma once
// For the length of a long command (a build, a tag pass): Esc sets `stop`, the request the
// command's reader setup looks at. The command lets window events in now and then (the setup's
// pump); while it runs, every other key and click
// meant for the program's windows is dropped, not kept for later, so that nothing is started
// or changed under the command. Boxes the command opens take their input as usual.

#include <QObject>

#include <atomic>

namespace kestrune::app {

class EscStops : public QObject {
public:
    // Clears `stop` now and again when the command ends.
    explicit EscStops(std::atomic<bool>& stop);
    ~EscStops() override;
    EscStops(const EscStops&) = delete;
    EscStops& operator=(const EscStops&) = delete;

    // True while a command that Esc can stop runs.
    static bool Active();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::atomic<bool>& stop_;
};

}  // namespace kestrune::app
