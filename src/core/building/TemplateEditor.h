#pragma once
// The commands that edit the master playlists and the clock template. Selections belong to the
// view: each command takes the selected index (-1 for none) and answers the one to select.

#include <optional>
#include <string>
#include <vector>

#include "building/BuildSession.h"
#include "building/Prompts.h"

namespace kestrune {

namespace messages {
extern const char* const kNoFilesToMove;
extern const char* const kSelectFileToMove;
}  // namespace messages

// Double-click in the master playlists: the selected one becomes the last slot, selected.
int lbMasterPlaylistsDblClick(BuildSession& session, int selectedMaster, int selectedSlot);
// Double-click in the template: the selected slot goes.
int lbClockwheelTemplateDblClick(BuildSession& session, int selectedSlot);
void btClearTemplateClick(BuildSession& session);
// Sets or clears (nullopt) the time of a slot; nothing for an index outside the template.
void SetSlotTime(BuildSession& session, int slot, const std::optional<SlotTime>& time);
// "Up" and "Down": exchange with the neighbour, the selection following the moved slot.
int btFileUpClick(BuildSession& session, int selectedSlot, Prompts& prompts);
int btFileDownClick(BuildSession& session, int selectedSlot, Prompts& prompts);
// "+": the chosen files, each to its sorted place (repeats allowed).
void AddMasterPlaylists(BuildSession& session, const std::vector<std::string>& paths);
// "--": the selected master playlist goes. When slots use it (and no other entry of the list
// names it), the user is asked whether those slots go too; otherwise they stay.
void Button2Click(BuildSession& session, int selectedMaster, Prompts& prompts);
// The question "--" asks about the slots that use a playlist.
std::string RemoveSlotsQuestion(int slots, const std::string& playlist);
// "C".
void Button3Click(BuildSession& session);

}  // namespace kestrune
