#include "sessions/StationRotation.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "building/BuildContext.h"
#include "onair/AiredHistory.h"
#include "onair/RoyaltyReport.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "rules/SongFactsCache.h"
#include "sessions/SessionFile.h"
#include "sessions/StationConfig.h"

namespace kestrune {

namespace {

// Loading a session to see its lists asks nothing and shows nothing.
class SilentPrompts : public Prompts {
public:
    void ShowMessage(const std::string&) override {}
    int AskOpenError(const std::string&) override { return kAnswerIgnore; }
    std::optional<std::string> AskSaveFileName(const SaveQuestion&) override {
        return std::nullopt;
    }
};

std::vector<std::string> SessionFiles(const std::string& sessionsFolder) {
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(sessionsFolder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().extension() == ".cwt" && it->is_regular_file(error))
            files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The station's plays from `since` on (as far back as the rules look), the as-played log's where
// it covers an hour, each file in one spelling; the start of the earliest play the history holds
// goes to `earliest`.
std::vector<PlayedSong> StationPlays(const RotationRequest& request, int64_t since,
                                     const ReaderSetup& reader, std::optional<int64_t>& earliest,
                                     std::vector<std::string>& problems) {
    const std::string path = PlayHistoryPath(request.sessionsFolder);
    if (!FileExists(path)) {
        problems.push_back("No play history: " + path +
                           " is not there ([Rules] history=1 keeps one)");
        return {};
    }
    std::vector<HistoryLine> lines = ReadHistoryLines(ReadWholeFile(path));
    const auto unread = std::count_if(lines.begin(), lines.end(),
                                      [](const HistoryLine& line) { return !line.song; });
    if (unread > 0)
        problems.push_back(std::to_string(unread) + (unread == 1 ? " line" : " lines") + " of " +
                           path + " not read");
    SongFactsCache facts(reader);
    lines = HistoryFollowingAir(std::move(lines), request.sessionsFolder, since, request.rules,
                                facts, [&](const std::string& text) { problems.push_back(text); });
    std::map<std::string, std::string> spelled;  // each file in one spelling, looked up once
    std::vector<PlayedSong> plays;
    for (HistoryLine& line : lines) {
        if (!line.song) continue;
        earliest = std::min(earliest.value_or(line.song->start), line.song->start);
        if (line.song->start < since) continue;
        auto found = spelled.find(line.song->file);
        if (found == spelled.end())
            found = spelled.emplace(line.song->file, ComparablePath(line.song->file)).first;
        line.song->file = found->second;
        plays.push_back(std::move(*line.song));
    }
    return plays;
}

}  // namespace

std::vector<std::string> StationCategoryLists(const std::string& startFolder,
                                              const std::string& sessionsFolder, int& dupeHours,
                                              std::vector<std::string>& problems) {
    dupeHours = 0;
    std::vector<std::string> lists;
    std::set<std::string> seen;
    const auto take = [&](const std::vector<std::string>& names) {
        for (const std::string& name : names)
            if (!name.empty() && seen.insert(ComparablePath(name)).second) lists.push_back(name);
    };
    const std::string preload = JoinPath(startFolder, kStartupPlaylistsFile);
    if (!startFolder.empty() && FileExists(preload)) {
        LineList lines;
        try {
            LoadList(preload, lines);
            take(lines);
        } catch (const KestruneError& error) {
            problems.push_back(error.what());
        }
    }
    SystemClock clock;
    CountingSeeds seeds(0);
    for (const std::string& file : SessionFiles(sessionsFolder)) {
        BuildSession session;
        HeadlessView view;
        SilentPrompts prompts;
        BuildContext context{session, view, prompts, seeds, clock};
        try {
            LoadSession(file, context);
        } catch (const KestruneError& error) {
            problems.push_back(file + " cannot be read as a session: " + error.what());
            continue;
        }
        take(session.lbMasterPlaylists.Lines());
        if (session.fDMCA.cbDupeCheck) {
            try {
                dupeHours = std::max(dupeHours, StrToInt(session.fDMCA.ComboBox1));
            } catch (const KestruneError&) {
                // Hours that are no number stop that session's builds: it adds no window.
            }
        }
    }
    return lists;
}

StationRotation ReadStationRotation(const RotationRequest& request, const ReaderSetup& reader) {
    StationRotation result;
    int dupeHours = 0;
    std::vector<RotationCategory> categories;
    for (const std::string& list : StationCategoryLists(request.startFolder, request.sessionsFolder,
                                                        dupeHours, result.problems)) {
        RotationCategory category;
        category.name = ExtractFileName(list);
        category.exempt = IsExemptSlot(request.rules, list);
        std::string text;
        try {
            text = ReadWholeFile(list);
        } catch (const KestruneError& error) {
            result.problems.push_back(std::string("Category playlist left out: ") + error.what());
            continue;
        }
        std::set<std::string> seen;
        for (const std::string& file : ListFiles(list, text)) {
            std::string spelled = ComparablePath(file);
            if (seen.insert(spelled).second) category.songs.push_back(std::move(spelled));
        }
        categories.push_back(std::move(category));
    }

    RuleSet rules;
    rules.artistWindow = int64_t{dupeHours} * 3600;
    rules.titleWindow = int64_t{request.rules.titleHours} * 3600;
    rules.albumWindow = int64_t{request.rules.albumHours} * 3600;
    rules.performanceComplement = request.rules.performanceComplement;
    rules.hourDays = request.rotation.hourDays;
    rules.matching = request.rules.artistMatching;
    // From a day before the span at least: the same-hour repeats look back one day.
    const int64_t begin = DaysOf(request.from) * 86400;
    const int64_t since = begin - std::max<int64_t>(86400, rules.LongestWindow());
    std::optional<int64_t> earliest;
    std::vector<PlayedSong> plays =
        StationPlays(request, since, reader, earliest, result.problems);
    result.figures =
        ComputeRotation(categories, std::move(plays), request.from, request.to, rules);
    // The history keeps only what the rules look back at: an earlier span is no longer in it.
    if (result.figures.plays == 0 && earliest)
        result.problems.push_back("No play in the history from " + DateText(request.from) +
                                  " to " + DateText(request.to));
    else if (earliest && *earliest >= begin + 3600)  // the span's first hour has no play
        result.problems.push_back("The play history begins at " + CalendarText(*earliest) +
                                  ": the hours before have no plays in the figures");
    return result;
}

}  // namespace kestrune
