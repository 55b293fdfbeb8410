#pragma once
// The view of an unattended run: it builds in a model of its own, so it may tell the status
// line, the meters and the schedule's selection, but not select anything on the build page,
// which keeps showing the operator's session.

#include "building/BuildView.h"

namespace kestrune::app {

class ScheduledRunView : public BuildView {
public:
    explicit ScheduledRunView(BuildView& shown) : shown_(shown) {}

    void ShowStatus(const std::string& text) override { shown_.ShowStatus(text); }
    void SetMeterMax(Meter meter, int maximum) override { shown_.SetMeterMax(meter, maximum); }
    void SetMeterPosition(Meter meter, int position) override {
        shown_.SetMeterPosition(meter, position);
    }
    void SetMeterStep(Meter meter, int step) override { shown_.SetMeterStep(meter, step); }
    void StepMeter(Meter meter) override { shown_.StepMeter(meter); }
    void SelectMasterPlaylist(int) override {}
    void SelectTemplateSlot(int) override {}
    void SelectScheduleEntry(int index) override { shown_.SelectScheduleEntry(index); }
    void ListChanged(ShownList list) override {
        if (list == ShownList::Schedule) shown_.ListChanged(list);
    }
    void ReportProblem(const std::string& text) override { shown_.ReportProblem(text); }

private:
    BuildView& shown_;
};

}  // namespace kestrune::app
