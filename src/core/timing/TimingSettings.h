#pragma once
// How a build is timed against the clock, from the "[Timing]" section of the configuration file.
// The defaults leave a build exactly as it is without the section: the walk, whole seconds.
//   fill=walk|exact   exact: the last part of the build is chosen so that it ends on time
//   tolerance=2       seconds either side of the desired end that count as on time
//   overlap=0         seconds the playout crossfades at each join, taken off the timing
//   prefer=over|under|closest   which end, within the tolerance, the fill prefers: at or just
//                     after the hour (the item under way then fades out at it), at or just
//                     before it, or the nearest

#include <string>
#include <vector>

#include "platform/SettingsFiles.h"

namespace kestrune {

inline constexpr const char* kTimingSection = "Timing";
// Beyond these no clock can be honoured: a crossfade longer than most jingles makes them count
// less than nothing, and a tolerance of minutes calls a short hour complete.
inline constexpr int kMostToleranceSeconds = 120;
inline constexpr int kMostOverlapSeconds = 30;

enum class FillMode { Walk, Exact };
// Which end of the window the fill prefers; `Rotation` (for stretches before a timed item) has
// no side: the choice least far down the rotations.
enum class EndPreference { Over, Under, Closest, Rotation };

struct TimingSettings {
    FillMode fill = FillMode::Walk;
    int toleranceSeconds = 2;
    int overlapSeconds = 0;
    EndPreference prefer = EndPreference::Over;  // read from the file, never written by a window

    bool operator==(const TimingSettings&) const = default;
    bool AllDefault() const { return *this == TimingSettings{}; }
};

// Text forms (pure). A key that is absent or empty keeps its default; seconds below zero are
// taken as 0; seconds that are not a whole number, or beyond the most above, keep the default
// and add a problem naming the file (`iniPath`), the section and the key; a fill that is not
// one of the words is taken as the walk.
TimingSettings ParseTimingSettings(const std::string& iniText,
                                   std::vector<std::string>* problems = nullptr,
                                   const std::string& iniPath = "kestrune.ini");
std::string WithTimingSettings(const std::string& iniText, const TimingSettings& settings);

// From and to the files: none there or readable gives the defaults; "Unable to write to %s".
TimingSettings ReadTimingSettings(const SettingsFiles& files,
                                  std::vector<std::string>* problems = nullptr);
void WriteTimingSettings(const SettingsFiles& files, const TimingSettings& settings);

}  // namespace kestrune
