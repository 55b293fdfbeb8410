#include "QtBuildView.h"

namespace kestrune::app {

void QtBuildView::Attach(QLabel* status, std::array<QProgressBar*, 3> meters) {
    status_ = status;
    meters_ = meters;
}

void QtBuildView::ShowStatus(const std::string& text) {
    if (status_ == nullptr) return;
    status_->setText(QString::fromLocal8Bit(text.c_str()));
    status_->repaint();
}

void QtBuildView::SetMeterMax(Meter meter, int maximum) {
    QProgressBar* bar = Bar(meter);
    if (bar == nullptr) return;
    // A maximum below the minimum would make the meter swap them; 0 shows an empty meter.
    bar->setMaximum(maximum < 0 ? 0 : maximum);
    paintedWidth_[static_cast<size_t>(meter)] = -1;
    Show(meter, positions_[static_cast<size_t>(meter)], false);
}

void QtBuildView::SetMeterPosition(Meter meter, int position) { Show(meter, position, false); }

void QtBuildView::SetMeterStep(Meter meter, int step) { steps_[static_cast<size_t>(meter)] = step; }

void QtBuildView::StepMeter(Meter meter) {
    const size_t i = static_cast<size_t>(meter);
    Show(meter, positions_[i] + steps_[i], true);
}

void QtBuildView::Show(Meter meter, int position, bool step) {
    const size_t i = static_cast<size_t>(meter);
    positions_[i] = position;
    QProgressBar* bar = Bar(meter);
    if (bar == nullptr) return;
    const int maximum = bar->maximum();
    const int clamped = position < 0 ? 0 : (position > maximum ? maximum : position);
    const int width = maximum > 0 ? static_cast<int>(static_cast<long long>(bar->width()) * clamped / maximum) : 0;
    // A step that leaves the filled width as it is changes nothing on screen: the bar takes the
    // value at the next step that does, and always at its ends. (A shuffle steps a meter
    // thousands of times a second.)
    if (step && width == paintedWidth_[i] && clamped != maximum && clamped != 0) return;
    bar->setValue(clamped);
    if (width == paintedWidth_[i]) return;
    paintedWidth_[i] = width;
    ++paints_;
    bar->repaint();
}

void QtBuildView::SelectMasterPlaylist(int index) {
    if (hooks_.selectMasterPlaylist) hooks_.selectMasterPlaylist(index);
}
void QtBuildView::SelectTemplateSlot(int index) {
    if (hooks_.selectTemplateSlot) hooks_.selectTemplateSlot(index);
}
void QtBuildView::SelectScheduleEntry(int index) {
    if (hooks_.selectScheduleEntry) hooks_.selectScheduleEntry(index);
}
void QtBuildView::ListChanged(ShownList list) {
    if (hooks_.listChanged) hooks_.listChanged(list);
}

}  // namespace kestrune::app
