#include "FuzzChecks.h"

namespace kestrune::fuzz {

const std::vector<FuzzTarget>& FuzzTargets() {
    static const std::vector<FuzzTarget> targets = {
        {"mp3_reader", CheckMp3Reader},
        {"line_list", CheckLineList},
        {"session_file", CheckSessionFile},
        {"ini_file", CheckIniFile},
        {"schedule_file", CheckScheduleFile},
        {"history_file", CheckHistoryFile},
        {"separation_rules", CheckSeparationRules},
        {"audio_bounds", CheckAudioBounds},
        {"tag_text", CheckTagText},
        {"playlist_writers", CheckPlaylistWriters},
        {"week_grid_file", CheckWeekGridFile},
        {"playlist_file", CheckPlaylistFile},
        {"id3v2_text_frames", CheckId3v2TextFrames},
        {"clock_fill", CheckClockFill},
    };
    return targets;
}

}  // namespace kestrune::fuzz
