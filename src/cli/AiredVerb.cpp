// The aired verb: each hour's plan against what the as-played log says went out.

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>

#include "Verbs.h"
#include "onair/AsPlayedLog.h"
#include "onair/PlanAgainstAir.h"
#include "platform/Files.h"
#include "sessions/WeekGrid.h"

namespace kestrune::cli {

namespace {

std::optional<std::string> TakeValue(std::vector<std::string>& args, const std::string& name) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        if (i + 1 == args.size()) throw UsageError{name + " needs a value"};
        std::string value = args[i + 1];
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        return value;
    }
    return std::nullopt;
}

CalendarDate DateOption(const std::string& name, const std::string& text) {
    const std::optional<CalendarDate> date = ParseCalendarDate(text);
    if (!date) throw UsageError{name + " must be a date YYYY-MM-DD, not \"" + text + "\""};
    return *date;
}

int64_t LateOption(const std::optional<std::string>& text) {
    if (!text) return 10;
    if (text->empty() || text->size() > 5 ||
        text->find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{"--late must be a whole number of seconds"};
    return std::stoll(*text);
}

// The start of a local hour as UTC milliseconds (the system's time zone, as the script's clock).
int64_t LocalHourStart(const CalendarDate& date, int hour) {
    std::tm local{};
    local.tm_year = date.year - 1900;
    local.tm_mon = date.month - 1;
    local.tm_mday = date.day;
    local.tm_hour = hour;
    local.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&local)) * 1000;
}

std::string LocalTime(int64_t ms) {
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

// One spelling for a path, so that the log's playlists and the plan's compare as files.
std::string SamePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

void PrintDifference(const AirDifference& difference) {
    const std::string& file = difference.file;
    switch (difference.kind) {
    case AirDifferenceKind::NeverAired:
        std::printf("  never aired  %s%s\n", file.c_str(),
                    difference.plannedMs
                        ? (" (planned " + LocalTime(*difference.plannedMs) + ")").c_str()
                        : "");
        break;
    case AirDifferenceKind::NotPlanned:
        std::printf("  not planned  %s (%s, aired %s)\n", file.c_str(),
                    difference.airedKind.c_str(), LocalTime(*difference.airedMs).c_str());
        break;
    case AirDifferenceKind::Late: {
        const long long off = (*difference.airedMs - *difference.plannedMs) / 1000;
        std::printf("  late         %s (planned %s, aired %s, %+lld s)\n", file.c_str(),
                    LocalTime(*difference.plannedMs).c_str(),
                    LocalTime(*difference.airedMs).c_str(), off);
        break;
    }
    }
}

}  // namespace

int RunAired(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    const std::optional<std::string> fromText = TakeValue(args, "--from");
    const std::optional<std::string> toText = TakeValue(args, "--to");
    const std::string station = TakeValue(args, "--station").value_or(".");
    const std::optional<std::string> logOption = TakeValue(args, "--log");
    const std::optional<std::string> patternOption = TakeValue(args, "--playlist");
    const int64_t lateMs = LateOption(TakeValue(args, "--late")) * 1000;
    if (!fromText) throw UsageError{"aired needs --from YYYY-MM-DD"};
    if (!args.empty()) throw UsageError{"aired takes no argument \"" + args.front() + "\""};
    const CalendarDate from = DateOption("--from", *fromText);
    const CalendarDate to = toText ? DateOption("--to", *toText) : from;
    if (DateText(to) < DateText(from)) throw UsageError{"--to comes before --from"};

    const std::string folder = SamePath(station);
    const std::string logPath = logOption.value_or(folder + "/Sessions/" + kAsPlayedLogFile);
    const std::string pattern =
        patternOption.value_or(folder + "/Playlists/onair_%Y-%m-%d_%H.m3u8");
    AsPlayedLog log = ParseAsPlayedLog(ReadWholeFile(logPath));
    std::map<std::string, std::string> spelled;
    for (AiredItem& item : log.items) {
        auto known = spelled.find(item.playlist);
        if (known == spelled.end())
            known = spelled.emplace(item.playlist, SamePath(item.playlist)).first;
        item.playlist = known->second;
    }
    if (log.unreadLines > 0)
        std::fprintf(stderr, "%d line%s of %s not read\n", log.unreadLines,
                     log.unreadLines == 1 ? "" : "s", logPath.c_str());

    // A pattern that names the minute gives every minute a list of its own, as in the script.
    const bool minutes = pattern.find("%M") != std::string::npos;
    int hours = 0, planned = 0, aired = 0, never = 0, unplanned = 0, late = 0;
    for (CalendarDate date = from; DateText(date) <= DateText(to); date = AddDays(date, 1)) {
        for (int turn = 0; turn < (minutes ? 24 * 60 : 24); ++turn) {
            const int hour = minutes ? turn / 60 : turn;
            const int minute = minutes ? turn % 60 : 0;
            HourPlan plan;
            plan.playlist = SamePath(
                HourPlaylistPath(pattern, date.year, date.month, date.day, hour, minute));
            plan.startMs = LocalHourStart(date, hour) + minute * int64_t{60000};
            plan.endMs = minutes       ? plan.startMs + 60000
                         : hour == 23 ? LocalHourStart(AddDays(date, 1), 0)
                                      : LocalHourStart(date, hour + 1);
            const bool hasPlan = std::filesystem::is_regular_file(plan.playlist);
            if (hasPlan) plan.items = PlannedItems(ReadWholeFile(plan.playlist), plan.startMs);
            const HourOnAir result = CompareHour(plan, log.items, lateMs);
            if (!hasPlan && result.aired == 0) continue;
            ++hours;
            std::printf("%s %02d:%02d  %s: %d planned, %d aired\n", DateText(date).c_str(), hour,
                        minute, hasPlan ? plan.playlist.c_str() : "no playlist", result.planned,
                        result.aired);
            for (const AirDifference& difference : result.differences) {
                PrintDifference(difference);
                never += difference.kind == AirDifferenceKind::NeverAired;
                unplanned += difference.kind == AirDifferenceKind::NotPlanned;
                late += difference.kind == AirDifferenceKind::Late;
            }
            planned += result.planned;
            aired += result.aired;
        }
    }
    std::printf("%d %s%s: %d planned, %d aired; %d never aired, %d not planned, %d late\n",
                hours, minutes ? "minute" : "hour", hours == 1 ? "" : "s", planned, aired, never,
                unplanned, late);
    return never + unplanned + late == 0 ? kExitDone : kExitCheckFailed;
}

}  // namespace kestrune::cli
