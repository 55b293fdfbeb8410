// The verbs that work on a station: build, schedule and demo.

#include <cstdio>

#include "CliStation.h"
#include "Verbs.h"
#include "building/BuildCommand.h"
#include "platform/Paths.h"
#include "sessions/DemoSession.h"
#include "sessions/Scheduler.h"
#include "sessions/SessionFile.h"

namespace kestrune::cli {

namespace {

int ReportCheck(const UnattendedPrompts& prompts) {
    const std::string text = prompts.messages.empty() ? std::string() : prompts.messages.back();
    std::fprintf(stderr, "%s\n", text.c_str());
    return kExitCheckFailed;
}

// The scheduler's run, once, without a timer to re-arm.
class NoTimer : public AutoBuildTimer {
public:
    void Start(int64_t) override {}
    void Stop() override {}
    bool IsOn() const override { return false; }
    int64_t Interval() const override { return 0; }
};

// The rules the builds of this run had to break, on standard error; with --strict that makes
// the run's status 3.
int ReportBreaks(const BuildSession& session, bool strict, int status) {
    if (session.lbRuleBreaks.empty()) return status;
    std::fflush(stdout);
    std::fprintf(stderr, "%zu rule%s broken:\n", session.lbRuleBreaks.size(),
                 session.lbRuleBreaks.size() == 1 ? "" : "s");
    for (const std::string& line : session.lbRuleBreaks)
        std::fprintf(stderr, "  %s\n", line.c_str());
    return strict && status == kExitDone ? kExitRuleBroken : status;
}

}  // namespace

int RunBuild(const std::vector<std::string>& arguments, const ReaderSetup& reader) {
    std::vector<std::string> args = arguments;
    const auto seed = TakeSeedOption(args);
    const bool strict = TakeFlag(args, "--strict");
    if (args.size() != 1) throw UsageError{"build needs one session file"};
    const std::string sessionFile = ArgumentPath(args[0]);
    CliStation station(seed, reader);
    station.Lock("build of " + ExtractFileName(sessionFile));
    LoadSession(sessionFile, station.context);
    const auto outcome = btBuildPlaylistClick(station.context);
    if (!outcome) return ReportCheck(station.prompts);
    btAcceptFinalPlaylistClick(station.context);
    // The last status stays the last line.
    std::fflush(stdout);
    std::fprintf(stderr, "Playlist written to %s%s\n", station.session.OutputFile().c_str(),
                 station.session.cbTextOutput
                     ? (", text log to " + station.session.OutputFile() + ".txt").c_str()
                     : "");
    // What was built is written all the same; a cron job still learns that it is short.
    int status = kExitDone;
    if (!outcome->reachedLength) {
        std::fprintf(stderr, "%s\n", ShortfallText(*outcome).c_str());
        status = kExitCheckFailed;
    }
    return ReportBreaks(station.session, strict, status);
}

int RunSchedule(const std::vector<std::string>& arguments, const ReaderSetup& reader) {
    std::vector<std::string> args = arguments;
    const auto seed = TakeSeedOption(args);
    const bool strict = TakeFlag(args, "--strict");
    if (args.size() > 1) throw UsageError{"schedule takes at most one schedule file"};
    CliStation station(seed, reader);
    NoTimer timer;
    Scheduler scheduler(timer);
    scheduler.scheduleFolder = station.folders.schedule;
    const std::string schedule =
        args.empty() ? scheduler.ScheduleFilePath() : ArgumentPath(args[0]);
    station.Lock("schedule run of " + ExtractFileName(schedule));
    LineList sessions;
    LoadList(schedule, sessions);
    scheduler.AddSessions(sessions);
    scheduler.timerAutoBuildTimer(station.context, nullptr);
    // The sessions that fell short go to standard error, the other messages to standard output.
    const std::string shortText = ShortSessionsText(scheduler.ShortSessions());
    for (const std::string& message : station.prompts.messages) {
        const bool aboutShortSessions = !shortText.empty() && message == shortText;
        std::fprintf(aboutShortSessions ? stderr : stdout, "%s\n", message.c_str());
    }
    return ReportBreaks(station.session, strict,
                        scheduler.ShortSessions().empty() ? kExitDone : kExitCheckFailed);
}

int RunDemo(const std::vector<std::string>& args, const ReaderSetup& reader) {
    if (!args.empty()) throw UsageError{"demo takes no arguments"};
    CliStation station(std::nullopt, reader);
    station.Lock("demo");
    SaveQuestion dialog = SessionSaveDialog(station.folders.sessions);
    if (!LoadDemoSession2Click(station.context, station.folders, dialog))
        return ReportCheck(station.prompts);
    std::printf("Demo playlists written to %s\nDemo session saved as %s\n",
                station.folders.playlists.c_str(), dialog.proposedName.c_str());
    return kExitDone;
}

}  // namespace kestrune::cli
