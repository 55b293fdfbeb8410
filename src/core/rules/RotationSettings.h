#pragma once
// How a category's songs take their turns, from the "[Rotation]" section of the configuration
// files. The default leaves every build as it is without the section.
//   order=shuffle|rotate   shuffle: each build shuffles every category, and a category is
//                          shuffled again when its round comes round; rotate: a category's order
//                          is its rotation and lasts across builds and runs
//   hour_days=N            a song of a counted category does not play in a clock hour in which
//                          it played on any of the N days before (0: off); the weakest rule

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

// The categories already in rotation, kept in the sessions folder ("rotation.txt", one playlist
// path a line): the first build of a category under `rotate` shuffles it once, so that a sorted
// list does not air in its sorted order; later builds keep its order.
std::string RotationStatePath(const std::string& sessionsFolder);

class RotationState {
public:
    // Reads the file; none there: no category is in rotation yet. An empty path keeps nothing:
    // every category counts as in rotation, and none is ever shuffled.
    explicit RotationState(std::string path);
    bool Has(const std::string& category) const;
    // Adds the category and writes the file at once ("Unable to write to %s").
    void Add(const std::string& category);

private:
    std::string path_;
    std::vector<std::string> categories_;  // as compared: ComparablePath
    std::vector<std::string> lines_;       // as written
};

}  // namespace kestrune
