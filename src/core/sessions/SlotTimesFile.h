#pragma once
// The timed slots of a session, in a file beside it: "morning.cwt" keeps them in
// "morning.cwt.times". The session file itself keeps its format to the byte, so that an older
// version reads it as before; a session without a timed slot has no such file.
//
//   # Timed slots of morning.cwt: SLOT, TIME, KIND, WINDOW (seconds), PLAYLIST; tabs between.
//   1	:00:00	hard	30	/home/radio/Kestrune/Playlists/news.m3u
//   6	:20:00	soft	30	/home/radio/Kestrune/Playlists/spots.m3u
//
// Each line names its slot's playlist: a line whose slot no longer names that playlist (the
// template was edited by a version that does not know this file) is left out and named, never
// applied to another slot. Parse and format are pure and never throw.

#include <string>
#include <vector>

#include "platform/LineList.h"
#include "timing/SlotTime.h"

namespace kestrune {

std::string SlotTimesPath(const std::string& sessionPath);

LineList SlotTimesLines(const std::string& sessionName, const LineList& slots,
                        const SlotTimes& times);

struct SlotTimesRead {
    SlotTimes times;
    std::vector<std::string> problems;  // "line 3: ..." for each line left out
};
SlotTimesRead ParseSlotTimesLines(const LineList& lines, const LineList& slots);

// Beside a session just written: the file with its times, or none when it has no timed slot.
void SaveSlotTimes(const std::string& sessionPath, const LineList& slots, const SlotTimes& times);
// Beside a session just read: its times (none without the file). "Cannot open file %s".
SlotTimesRead LoadSlotTimes(const std::string& sessionPath, const LineList& slots);

}  // namespace kestrune
