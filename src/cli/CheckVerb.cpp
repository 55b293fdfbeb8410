// check PLAYLIST [options]: every separation rule a playlist breaks, each with the song's place
// and start; exit 1 when there is one. With --session, the windows that the session's clock
// template cannot hold, whatever a build does, on standard error.

#include <cstdio>

#include "CliStation.h"
#include "Verbs.h"
#include "building/CategoryRounds.h"
#include "building/PlaylistBuilder.h"
#include "platform/KestruneError.h"
#include "platform/Paths.h"
#include "platform/TimeTexts.h"
#include "rules/PlaylistCheck.h"
#include "rules/WindowsThatHold.h"
#include "sessions/SessionFile.h"

namespace kestrune::cli {

namespace {

int64_t HoursOption(const std::vector<std::string>& args, size_t& i) {
    if (i + 1 == args.size()) throw UsageError{args[i] + " needs a number of hours"};
    const int32_t hours = StrToInt(args[++i]);
    if (hours < 0) throw UsageError{args[i - 1] + " needs hours of 0 or more"};
    return int64_t{hours} * 3600;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args, const ReaderSetup& reader) {
    CliStation station(std::nullopt, reader);
    // The station's own rules, the dupe checker's three hours for the artist; options say more.
    const RuleSettings settings = station.context.rules;
    RuleSet rules;
    rules.artistWindow = 3 * 3600;
    rules.titleWindow = int64_t{settings.titleHours} * 3600;
    rules.albumWindow = int64_t{settings.albumHours} * 3600;
    rules.performanceComplement = settings.performanceComplement;
    rules.matching = settings.artistMatching;
    std::string playlist;
    std::string session;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--session") {
            if (i + 1 == args.size()) throw UsageError{"--session needs a session file"};
            session = ArgumentPath(args[++i]);
        } else if (args[i] == "--performance-complement") {
            rules.performanceComplement = true;
        } else if (args[i] == "--artist-hours") {
            rules.artistWindow = HoursOption(args, i);
        } else if (args[i] == "--title-hours") {
            rules.titleWindow = HoursOption(args, i);
        } else if (args[i] == "--album-hours") {
            rules.albumWindow = HoursOption(args, i);
        } else if (!args[i].empty() && args[i][0] == '-') {
            throw UsageError{"unknown option " + args[i]};
        } else if (playlist.empty()) {
            playlist = ArgumentPath(args[i]);
        } else {
            throw UsageError{"check takes one playlist"};
        }
    }
    if (playlist.empty() && session.empty()) throw UsageError{"check needs a playlist"};
    if (!session.empty()) {
        // Warnings, as the settings' problems are: they stop nothing and leave the status be.
        LoadSession(session, station.context);
        std::fflush(stdout);
        RuleSettings windows = settings;  // the hours of the options, where they are given
        windows.titleHours = static_cast<int>(rules.titleWindow / 3600);
        windows.albumHours = static_cast<int>(rules.albumWindow / 3600);
        // The songs read for the clock's pace ask nothing: one that cannot be read is left out.
        ReaderSetup quiet = station.context.reader;
        quiet.askOnError = nullptr;
        SongFactsCache songs(quiet);
        const std::vector<CategoryRound> rounds = CategoryRoundsOf(station.session, &songs);
        for (const std::string& line : WindowsThatCannotHold(windows, rounds, PassSeconds(rounds)))
            std::fprintf(stderr, "%s\n", line.c_str());
        if (playlist.empty()) return kExitDone;
    }

    LineList lines;
    LoadList(playlist, lines);
    const std::string folder = ExtractFilePath(ExpandFileName(playlist));
    SongFactsCache facts(station.context.reader);
    const PlaylistCheck check = CheckPlaylist(PlaylistSongs(lines, folder), rules, facts);
    for (const std::string& line : check.breaks) std::printf("%s\n", line.c_str());
    std::printf("%zu songs, %s, %s broken\n", check.songs,
                PlayingTimeText(static_cast<int32_t>(check.seconds)).c_str(),
                check.breaks.empty() ? "no rule"
                                     : (std::to_string(check.breaks.size()) +
                                        (check.breaks.size() == 1 ? " rule" : " rules"))
                                           .c_str());
    return check.breaks.empty() ? kExitDone : kExitCheckFailed;
}

}  // namespace kestrune::cli
