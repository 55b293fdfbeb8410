#pragma once
// What the build logic tells the user while it works. The desktop program paints it, the
// command-line tool prints or records it, tests watch it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

enum class Meter { ProgressBar1 = 0, ProgressBar2 = 1, ProgressBar3 = 2 };

enum class ShownList { MasterPlaylists, ClockwheelTemplate, FinalPlaylist, SavePlaylist, Schedule };

class BuildView {
public:
    virtual ~BuildView() = default;
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void SetMeterMax(Meter meter, int maximum) = 0;
    virtual void SetMeterPosition(Meter meter, int position) = 0;
    virtual void SetMeterStep(Meter meter, int step) = 0;
    virtual void StepMeter(Meter meter) = 0;
    virtual void SelectMasterPlaylist(int index) = 0;
    virtual void SelectTemplateSlot(int index) = 0;
    virtual void SelectScheduleEntry(int index) = 0;
    virtual void ListChanged(ShownList list) = 0;
    // Something the user must be told, not only shown in passing (a line removed from a
    // playlist, a song passed over). The status line shows it; a view may also keep it.
    virtual void ReportProblem(const std::string& text) { ShowStatus(text); }
};

// The status after a command wrote a file: "<what> saved to <path>."
inline std::string SavedStatus(const std::string& what, const std::string& path) {
    return what + " saved to " + path + ".";
}

// A count with a comma between thousands, as a status line shows it: 2,557.
inline std::string GroupedNumber(int64_t value) {
    const uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const std::string digits = std::to_string(magnitude);
    std::string grouped = value < 0 ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

struct MeterState {
    int maximum = 100;
    int position = 0;
    int step = 1;
};

// A view without a window: it keeps the meters and the status line as values.
class HeadlessView : public BuildView {
public:
    void ShowStatus(const std::string& text) override { status_ = text; }
    void SetMeterMax(Meter meter, int maximum) override { At(meter).maximum = maximum; }
    void SetMeterPosition(Meter meter, int position) override { At(meter).position = position; }
    void SetMeterStep(Meter meter, int step) override { At(meter).step = step; }
    void StepMeter(Meter meter) override { At(meter).position += At(meter).step; }
    void SelectMasterPlaylist(int index) override { selectedMaster_ = index; }
    void SelectTemplateSlot(int index) override { selectedSlot_ = index; }
    void SelectScheduleEntry(int index) override { selectedSchedule_ = index; }
    void ListChanged(ShownList) override {}
    void ReportProblem(const std::string& text) override {
        problems_.push_back(text);
        ShowStatus(text);
    }

    const std::string& Status() const { return status_; }
    const MeterState& State(Meter meter) const { return meters_[static_cast<size_t>(meter)]; }
    int SelectedMasterPlaylist() const { return selectedMaster_; }
    int SelectedTemplateSlot() const { return selectedSlot_; }
    int SelectedScheduleEntry() const { return selectedSchedule_; }
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    MeterState& At(Meter meter) { return meters_[static_cast<size_t>(meter)]; }

    std::string status_;
    std::vector<std::string> problems_;
    std::array<MeterState, 3> meters_{};
    int selectedMaster_ = -1;
    int selectedSlot_ = -1;
    int selectedSchedule_ = -1;
};

}  // namespace kestrune
