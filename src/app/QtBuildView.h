#pragma once
// The view of a running command on the main window: the status line and the three meters show
// every new value at once (painted straight away, without handing control to the event loop).

#include <QLabel>
#include <QProgressBar>

#include <array>
#include <functional>

#include "building/BuildView.h"

namespace kestrune::app {

struct ViewHooks {
    std::function<void(int)> selectMasterPlaylist;
    std::function<void(int)> selectTemplateSlot;
    std::function<void(int)> selectScheduleEntry;
    std::function<void(ShownList)> listChanged;
};

class QtBuildView : public BuildView {
public:
    explicit QtBuildView(ViewHooks hooks) : hooks_(std::move(hooks)) {}
    // The status line and the meters (ProgressBar1, ProgressBar2, ProgressBar3) to show.
    void Attach(QLabel* status, std::array<QProgressBar*, 3> meters);

    void ShowStatus(const std::string& text) override;
    void SetMeterMax(Meter meter, int maximum) override;
    void SetMeterPosition(Meter meter, int position) override;
    void SetMeterStep(Meter meter, int step) override;
    void StepMeter(Meter meter) override;
    void SelectMasterPlaylist(int index) override;
    void SelectTemplateSlot(int index) override;
    void SelectScheduleEntry(int index) override;
    void ListChanged(ShownList list) override;

    // Number of times a meter was painted (the picture changed), for tests and benchmarks.
    int MeterPaints() const { return paints_; }

private:
    QProgressBar* Bar(Meter meter) const { return meters_[static_cast<size_t>(meter)]; }
    // Paints the meter only when its filled width changes; a step (`step`) that changes nothing
    // on screen does not even reach the bar, unless it ends at either end of the meter.
    void Show(Meter meter, int position, bool step);

    QLabel* status_ = nullptr;
    std::array<QProgressBar*, 3> meters_{};
    std::array<int, 3> steps_{1, 1, 1};
    std::array<int, 3> positions_{0, 0, 0};
    std::array<int, 3> paintedWidth_{-1, -1, -1};
    ViewHooks hooks_;
    int paints_ = 0;
};

}  // namespace kestrune::app
