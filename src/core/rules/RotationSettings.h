#pragma once
// How a category's songs take their turns, from the "[Rotation]" section of the configuration
// files. The default leaves every build as it is without the section.
//   order=shuffle|rotate   shuffle: each build shuffles every category, and a category is
//                          shuffled again when its round comes round; rotate: a category's order
//                          is its rotation and lasts across builds and runs
//   hour_days=N            a song of a counted category does not play in a clock hour in which
//                          it played on any of the N days before (0: off); the weakest rule

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/SettingsFiles.h"

namespace kestrune {

inline constexpr const char* kRotationSection = "Rotation";

enum class RotationOrder { Shuffle, Rotate };

struct RotationSettings {
    RotationOrder order = RotationOrder::Shuffle;
    int hourDays = 0;

    bool operator==(const RotationSettings&) const = default;
};

inline constexpr int kMostHourDays = 28;

// An order that is not one of the words is taken as the shuffle, as the fill takes the walk; days
// that are not a whole number up to the most keep 0 and add a problem naming the file, the
// section and the key.
RotationSettings ParseRotationSettings(const std::string& iniText,
                                       std::vector<std::string>* problems = nullptr);
RotationSettings ReadRotationSettings(const SettingsFiles& files,
                                      std::vector<std::string>* problems = nullptr);

// The categories already in rotation, kept in the sessions folder ("rotation.txt"), one a line:
// the playlist's path, and after a tab each the place of its round (the songs at its top not yet
// played this round, a tab, the songs at its end that already played in the next one). The first
// build of a category under `rotate` shuffles it once, so that a sorted list does not air in its
// sorted order; later builds keep its order and go on with its round. A line of a path alone is
// a category in rotation whose round begins again.
std::string RotationStatePath(const std::string& sessionsFolder);
// The same for a build's sessions folder, which may be none: then empty, and no round is kept.
std::string RotationStatePath(const std::string* sessionsFolder);

struct RoundPlace {
    int64_t unplayed = 0;
    int64_t early = 0;
    bool operator==(const RoundPlace&) const = default;
};

class RotationState {
public:
    // Reads the file; none there: no category is in rotation yet. An empty path keeps nothing:
    // every category counts as in rotation, and none is ever shuffled.
    explicit RotationState(std::string path);
    const std::string& Path() const { return path_; }
    bool Has(const std::string& category) const;
    std::optional<RoundPlace> Round(const std::string& category) const;
    // Adds the category, or sets its round; the file is written by the caller, with Text().
    void Keep(const std::string& category, RoundPlace round);
    std::string Text() const;

private:
    struct Line {
        std::string path;        // as written
        std::string comparable;  // as compared: ComparablePath
        std::optional<RoundPlace> round;
    };
    size_t Find(const std::string& category) const;  // lines_.size() when not there
    std::string path_;
    std::vector<Line> lines_;
};

}  // namespace kestrune
