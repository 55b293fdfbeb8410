#include "building/TemplateEditor.h"

#include <algorithm>
#include <utility>

namespace kestrune {

namespace messages {
const char* const kNoFilesToMove =
    "There are no files to move. Double click items in the upper left window to add them to the "
    "Clock Wheel Template.";
const char* const kSelectFileToMove = "Select a file to move, then click UP or DOWN.";
}  // namespace messages

namespace {

bool Valid(int index, size_t count) { return index >= 0 && static_cast<size_t>(index) < count; }

// The two move commands: `step` is -1 (up) or +1 (down).
int MoveSlot(BuildSession& session, int selected, int step, Prompts& prompts) {
    LineList& slots = session.lbClockwheelTemplate;
    if (slots.empty()) {
        prompts.ShowMessage(messages::kNoFilesToMove);
        return selected;
    }
    if (!Valid(selected, slots.size())) {
        prompts.ShowMessage(messages::kSelectFileToMove);
        return selected;
    }
    const int other = selected + step;
    if (!Valid(other, slots.size())) return selected;
    std::swap(slots[selected], slots[other]);
    session.slotTimes.Swap(static_cast<size_t>(selected), static_cast<size_t>(other));
    return other;
}

}  // namespace

int lbMasterPlaylistsDblClick(BuildSession& session, int selectedMaster, int selectedSlot) {
    // Nothing selected (an empty list, say): nothing to add.
    if (!Valid(selectedMaster, session.lbMasterPlaylists.Lines().size())) return selectedSlot;
    session.lbClockwheelTemplate.push_back(session.lbMasterPlaylists[selectedMaster]);
    return static_cast<int>(session.lbClockwheelTemplate.size()) - 1;
}

int lbClockwheelTemplateDblClick(BuildSession& session, int selectedSlot) {
    LineList& slots = session.lbClockwheelTemplate;
    if (!Valid(selectedSlot, slots.size())) return -1;
    slots.erase(slots.begin() + selectedSlot);
    session.slotTimes.Erase(static_cast<size_t>(selectedSlot));
    return -1;
}

void btClearTemplateClick(BuildSession& session) {
    session.lbClockwheelTemplate.clear();
    session.slotTimes.Clear();
}

void SetSlotTime(BuildSession& session, int slot, const std::optional<SlotTime>& time) {
    if (!Valid(slot, session.lbClockwheelTemplate.size())) return;
    session.slotTimes.Set(static_cast<size_t>(slot), time);
}

int btFileUpClick(BuildSession& session, int selectedSlot, Prompts& prompts) {
    return MoveSlot(session, selectedSlot, -1, prompts);
}

int btFileDownClick(BuildSession& session, int selectedSlot, Prompts& prompts) {
    return MoveSlot(session, selectedSlot, +1, prompts);
}

void AddMasterPlaylists(BuildSession& session, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) session.lbMasterPlaylists.Add(path);
}

std::string RemoveSlotsQuestion(int slots, const std::string& playlist) {
    return (slots == 1 ? std::string("1 slot") : std::to_string(slots) + " slots") +
           " of the Clock Wheel Template " + (slots == 1 ? "uses " : "use ") + playlist +
           ". Remove " + (slots == 1 ? "that slot" : "those slots") + " too?";
}

void Button2Click(BuildSession& session, int selectedMaster, Prompts& prompts) {
    const LineList& masters = session.lbMasterPlaylists.Lines();
    if (!Valid(selectedMaster, masters.size())) return;
    const std::string playlist = masters[static_cast<size_t>(selectedMaster)];
    session.lbMasterPlaylists.Delete(selectedMaster);
    // Another entry of the same name still feeds the slots.
    if (std::find(masters.begin(), masters.end(), playlist) != masters.end()) return;
    LineList& slots = session.lbClockwheelTemplate;
    const auto using_ = std::count(slots.begin(), slots.end(), playlist);
    if (using_ == 0 || !prompts.AskYesNo(RemoveSlotsQuestion(static_cast<int>(using_), playlist)))
        return;
    // From the end, so that the times of the slots still to look at keep their indices.
    for (size_t slot = slots.size(); slot-- > 0;) {
        if (slots[slot] != playlist) continue;
        slots.erase(slots.begin() + static_cast<long>(slot));
        session.slotTimes.Erase(slot);
    }
}

void Button3Click(BuildSession& session) { session.lbMasterPlaylists.Clear(); }

}  // namespace kestrune
