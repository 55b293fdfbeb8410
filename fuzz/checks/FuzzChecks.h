#pragma once
// The checks behind the fuzz targets. Each runs one input through a part of the program that
// meets files from outside (the MP3 reader, line lists, session files, the configuration file,
// the schedule file, the play history, the bounds of the audio, the texts of tags, the playlist
// writers, the week grid file, category playlists as other programs write them, ID3v2 text
// frames) or decides on them (the separation rules, the fill to the clock) and answers what went wrong: empty text when
// the input was handled as it should be. A crash, a hang or a sanitizer report is a fault too,
// caught by whoever runs the check. The same checks run under libFuzzer and over the saved
// regression inputs in the tests.

#include <string>
#include <string_view>
#include <vector>

namespace kestrune::fuzz {

std::string CheckMp3Reader(std::string_view bytes);
std::string CheckLineList(std::string_view bytes);
std::string CheckSessionFile(std::string_view bytes);
std::string CheckIniFile(std::string_view bytes);
std::string CheckScheduleFile(std::string_view bytes);
std::string CheckHistoryFile(std::string_view bytes);
std::string CheckSeparationRules(std::string_view bytes);
std::string CheckAudioBounds(std::string_view bytes);
std::string CheckTagText(std::string_view bytes);
std::string CheckPlaylistWriters(std::string_view bytes);
std::string CheckWeekGridFile(std::string_view bytes);
std::string CheckPlaylistFile(std::string_view bytes);
std::string CheckId3v2TextFrames(std::string_view bytes);
std::string CheckClockFill(std::string_view bytes);

struct FuzzTarget {
    const char* name;  // also the folder name of its seeds and regression inputs
    std::string (*check)(std::string_view bytes);
};

// Every target, in a fixed order.
const std::vector<FuzzTarget>& FuzzTargets();

}  // namespace kestrune::fuzz
