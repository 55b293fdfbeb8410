#pragma once
// For the length of a long command (a build, a tag pass): Esc asks it to stop. The command
// lets window events in now and then (PumpMessages); while it runs, every other key and click
// meant for the program's windows is dropped, not kept for later, so that nothing is started
// or changed under the command. Boxes the command opens take their input as usual.

#include <QObject>

namespace kestrune::app {

class EscStops : public QObject {
public:
    EscStops();
    ~EscStops() override;
    EscStops(const EscStops&) = delete;
    EscStops& operator=(const EscStops&) = delete;

    // True while a command that Esc can stop runs.
    static bool Active();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kestrune::app
