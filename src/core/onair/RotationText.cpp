#include "onair/RotationText.h"

#include <cmath>
#include <cstdio>

#include "onair/RoyaltyReport.h"

namespace kestrune {

namespace {

std::string Count(int count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::string Percent(const RulePassRate& rate) {
    const int plays = rate.kept + rate.broken;
    if (plays == 0) return std::string();
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 100.0 * rate.kept / plays);
    return text;
}

std::string CategoryLine(const CategoryRotation& c) {
    std::string line = c.name + (c.exempt ? " (exempt)" : "") + ": " + Count(c.songs, "song");
    if (c.exempt) return line + ", not counted";
    line += ", " + Count(c.plays, "play");
    if (!c.listed) return line;
    if (c.turnoverHours) line += ", turnover " + FigureText(*c.turnoverHours) + " h";
    line += "; plays per song min " + std::to_string(c.minPlays) + " median " +
            FigureText(c.medianPlays) + " max " + std::to_string(c.maxPlays) + ", never played " +
            std::to_string(c.neverPlayed);
    if (c.meanExposure)
        line += "; hour exposure mean " + FigureText(*c.meanExposure) + " min " +
                std::to_string(c.minExposure);
    return line + "; same-hour repeats " + std::to_string(c.sameHourRepeats);
}

}  // namespace

std::string FigureText(double value) {
    const double tenths = std::round(value * 10) / 10;
    char text[32];
    if (tenths == std::round(tenths)) std::snprintf(text, sizeof text, "%.0f", tenths);
    else std::snprintf(text, sizeof text, "%.1f", tenths);
    return text;
}

std::string RotationText(const RotationFigures& figures) {
    std::string text = "Rotation " + DateText(figures.from) + " to " + DateText(figures.to) +
                       ": " + Count(figures.spanHours, "hour") + ", " +
                       std::to_string(figures.hours) + " with plays, " +
                       Count(figures.plays, "play") + "\n";
    for (const CategoryRotation& category : figures.categories)
        text += CategoryLine(category) + "\n";
    if (figures.rules.empty()) text += "No rule is on\n";
    for (const RulePassRate& rate : figures.rules) {
        text += "Rule " + RuleName(rate.rule) + ": ";
        if (rate.kept + rate.broken == 0) {
            text += "no counted play\n";
            continue;
        }
        text += std::to_string(rate.kept) + " kept, " + std::to_string(rate.broken) +
                " broken (" + Percent(rate) + "% kept)\n";
    }
    return text;
}

std::string RotationCsv(const RotationFigures& figures) {
    constexpr const char* kEnd = "\r\n";
    std::string csv =
        "kind,name,exempt,songs,plays,turnover_hours,min_plays,median_plays,max_plays,"
        "never_played,mean_exposure,min_exposure,same_hour_repeats,kept,broken,kept_percent";
    csv += kEnd;
    for (const CategoryRotation& c : figures.categories) {
        csv += "category," + CsvField(CleanField(c.name)) + "," + (c.exempt ? "1" : "0") + "," +
               std::to_string(c.songs) + ",";
        if (!c.exempt) csv += std::to_string(c.plays);
        csv += ",";
        if (c.listed && !c.exempt) {
            csv += (c.turnoverHours ? FigureText(*c.turnoverHours) : "") + "," +
                   std::to_string(c.minPlays) + "," + FigureText(c.medianPlays) + "," +
                   std::to_string(c.maxPlays) + "," + std::to_string(c.neverPlayed) + "," +
                   (c.meanExposure ? FigureText(*c.meanExposure) : "") + "," +
                   (c.meanExposure ? std::to_string(c.minExposure) : "") + "," +
                   std::to_string(c.sameHourRepeats);
        } else {
            csv += ",,,,,,,";
        }
        csv += ",,,";
        csv += kEnd;
    }
    for (const RulePassRate& rate : figures.rules) {
        csv += "rule," + CsvField(RuleName(rate.rule)) + ",,,,,,,,,,,," +
               std::to_string(rate.kept) + "," + std::to_string(rate.broken) + "," +
               Percent(rate);
        csv += kEnd;
    }
    return csv;
}

}  // namespace kestrune
