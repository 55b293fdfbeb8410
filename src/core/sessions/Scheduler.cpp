#include "sessions/Scheduler.h"

#include <algorithm>
#include <utility>

#include "building/BuildCommand.h"
#include "building/PlaylistBuilder.h"
#include "building/BuildWrite.h"
#include "building/PlaysToRecord.h"
#include "building/StationJob.h"
#include "output/FinalPlaylistFile.h"
#include "platform/CalendarDate.h"
#include "platform/Digits.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "sessions/SessionFile.h"
#include "sessions/StationConfig.h"
#include "sessions/WeekRun.h"

namespace kestrune {

namespace messages {
const char* const kNoSessionsScheduled =
    "You have no sessions scheduled. Please add sessions to the upper left window before starting "
    "the clock.";
const char* const kScheduleSaved =
    "The current schedule has been saved. Press \"BEGIN AUTO SCHEDULE\" to start the countdown.";
const char* const kScheduleComplete =
    "Entire schedule has completed and will run again in 24 hours.";
const char* const kScheduleRanOnce = "Entire schedule has completed.";
}  // namespace messages

int TargetHour(const std::string& text) {
    for (int hour = 1; hour <= 11; ++hour) {
        if (text == std::to_string(hour) + " AM") return hour;
        if (text == std::to_string(hour) + " PM") return hour + 12;
    }
    if (text == "12 PM") return 12;
    return 24;
}

int64_t DelayUntilHour(const std::string& text, int64_t nowMs) {
    // The milliseconds of the current second are not counted: the run starts within the
    // second after the hour, never before it.
    const int64_t now = nowMs - ((nowMs % 1000) + 1000) % 1000;
    const int hour = TargetHour(text);
    // "12 AM" is the next midnight, never the one of this very second.
    const int64_t at = hour == 24 ? NextLocalHourMs(now + 1, 0) : NextLocalHourMs(now, hour);
    return at - now;
}

int64_t DelayUntilHour(const std::string& text, const LocalDateTime& now) {
    return DelayUntilHour(text, InstantOfLocal(now));
}

int64_t DelayAfterRun(const std::string& text, int64_t nowMs) {
    const int64_t delay = DelayUntilHour(text, nowMs);
    // Ended within the second its hour began: the same hour tomorrow, however long the day.
    return delay == 0 ? DelayUntilHour(text, nowMs + 1000) + 1000 : delay;
}

namespace {

// The 24-hour form of a hand-edited or copied configuration: "03", "15", "3:00", "15:00".
std::optional<std::string> TwentyFourHourName(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    const size_t colon = text.find(':');
    const std::string_view hours = text.substr(0, colon);
    if (colon == std::string_view::npos ? hours.size() != 2 : text.substr(colon) != ":00")
        return std::nullopt;
    if (hours.size() > 2) return std::nullopt;
    const std::optional<int64_t> read = WholeNumber(hours, 23);
    if (!read) return std::nullopt;
    const int hour = static_cast<int>(*read);
    const int twelve = hour % 12 == 0 ? 12 : hour % 12;
    return std::to_string(twelve) + (hour < 12 ? " AM" : " PM");
}

}  // namespace

std::optional<std::string> AutoStartHourName(const std::string& text) {
    if (auto name = TwentyFourHourName(text)) return name;
    // Digits, blanks, then AM or PM in any case: "7am", " 7 PM ", "07 pm".
    size_t i = 0;
    const auto blanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    blanks();
    // Three digits at most ("007 pm"); a fourth is no A or P below.
    const DigitRun hour = LeadingDigits(std::string_view(text).substr(i, 3), 12);
    if (!hour.value || *hour.value < 1) return std::nullopt;
    i += hour.length;
    blanks();
    if (i + 2 > text.size()) return std::nullopt;
    const char half = static_cast<char>(text[i] & ~0x20);
    const char m = static_cast<char>(text[i + 1] & ~0x20);
    if ((half != 'A' && half != 'P') || m != 'M') return std::nullopt;
    i += 2;
    blanks();
    if (i != text.size()) return std::nullopt;
    return std::to_string(*hour.value) + (half == 'A' ? " AM" : " PM");
}

std::string NotAnHourMessage(const std::string& text) {
    return "Set auto start time: \"" + text +
           "\" is not an hour. Choose one from the list, 12 AM to 11 PM.";
}

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

LocalDateTime AddMilliseconds(const LocalDateTime& from, int64_t milliseconds) {
    return LocalFieldsOf(InstantOfLocal(from) + milliseconds);
}

std::string NextRunText(const LocalDateTime& at) {
    static const char* const kDays[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int64_t days = DaysFromCivil(at.year, at.month, at.day);  // day 0 was a Thursday
    const auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return std::string("Next run: ") + kDays[days - FloorDiv(days, 7) * 7] + " " +
           std::to_string(at.day) + " " + kMonths[at.month - 1] + " " + two(at.hour) + ":" +
           two(at.minute);
}

std::vector<std::string> AutoStartChoices() {
    std::vector<std::string> choices{"12 AM"};
    for (int hour = 1; hour <= 11; ++hour) choices.push_back(std::to_string(hour) + " AM");
    choices.push_back("12 PM");
    for (int hour = 1; hour <= 11; ++hour) choices.push_back(std::to_string(hour) + " PM");
    choices.push_back("");
    choices.push_back("");
    return choices;
}

std::string Scheduler::ScheduleFilePath() const {
    return JoinPath(scheduleFolder, kScheduleFile);
}

void Scheduler::AddSessions(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) lbSchedule.Add(path);
}

void Scheduler::Button5Click(int selected) {
    if (selected >= 0 && selected < lbSchedule.Count()) lbSchedule.Delete(selected);
}

void Scheduler::Button7Click(Prompts& prompts) {
    SaveScheduleFile();
    prompts.ShowMessage(messages::kScheduleSaved);
}

void Scheduler::SaveScheduleFile() const {
    SaveList(ScheduleFilePath(), lbSchedule.Lines());
}

void Scheduler::btAutoSchedule_StartClick(BuildContext& context) {
    if (lbSchedule.Empty()) {
        context.prompts.ShowMessage(messages::kNoSessionsScheduled);
        return;
    }
    const std::optional<std::string> hour = AutoStartHourName(ComboBox2);
    if (!hour) {
        context.prompts.ShowMessage(NotAnHourMessage(ComboBox2));
        return;
    }
    ComboBox2 = *hour;
    context.view.ShowStatus("Auto Build Initiated");
    daily_ = true;
    dailyHour_ = *hour;
    oneOff_ = false;
    ArmAutoBuild(DelayUntilHour(dailyHour_, context.clock.UtcMilliseconds()));
}

bool Scheduler::ResumeDaily(const std::string& hour, const Clock& now) {
    const std::optional<std::string> name = AutoStartHourName(hour);
    if (!name || lbSchedule.Empty()) return false;
    ComboBox2 = *name;
    daily_ = true;
    dailyHour_ = *name;
    oneOff_ = false;
    ArmAutoBuild(DelayUntilHour(dailyHour_, now.UtcMilliseconds()));
    return true;
}

void Scheduler::btAutoSchedule_StopClick(BuildView& view) {
    timer_.Stop();
    daily_ = false;
    oneOff_ = false;
    view.ShowStatus("Auto Build Stopped");
}

void Scheduler::btRunScheduleNowClick(Prompts& prompts) {
    if (lbSchedule.Empty()) {
        prompts.ShowMessage(messages::kNoSessionsScheduled);
        return;
    }
    ArmAutoBuild(kRunNowDelay);
    oneOff_ = true;
}

void Scheduler::ArmAutoBuild(int64_t milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    if (timer_.IsOn() && timer_.Interval() == milliseconds) return;
    timer_.Start(milliseconds);
    if (clock != nullptr) nextRun_ = LocalFieldsOf(clock->UtcMilliseconds() + milliseconds);
}

void Scheduler::CheckSessionsMusic(BuildContext& context) {
    // A library away stops the run before any hour is written, as a build is stopped; the week
    // grids check their own sessions.
    std::vector<std::string> categories;
    for (int i = 0; i < lbSchedule.Count(); ++i) {
        if (IsWeekGridFile(lbSchedule[i])) continue;
        // A session that cannot be read stops the run in its place, after those before it.
        try {
            LoadSession(lbSchedule[i], context);
        } catch (const KestruneError&) {
            continue;
        }
        const SortedList& lists = context.session.lbMasterPlaylists;
        for (int j = 0; j < lists.Count(); ++j)
            if (FileExists(lists[j]) &&
                std::find(categories.begin(), categories.end(), lists[j]) == categories.end())
                categories.push_back(lists[j]);
    }
    CheckMusicFolders(context, categories);
}

void Scheduler::timerAutoBuildTimer(BuildContext& context,
                                    const std::function<void()>& showBuildPage) {
    if (running_) return;  // a modal box inside a run cannot start a second one
    struct RunningFlag {
        bool& flag;
        explicit RunningFlag(bool& f) : flag(f) { flag = true; }
        ~RunningFlag() { flag = false; }
    };
    std::string closing = messages::kScheduleComplete;
    try {
        RunningFlag runningFlag(running_);
        const StationJob job(context, "schedule run");
        if (showBuildPage) showBuildPage();
        timer_.Stop();
        const bool oneOff = std::exchange(oneOff_, false);
        shortSessions_.clear();
        gridHourEnds_.clear();
        const int count = lbSchedule.Count();
        CheckSessionsMusic(context);
        for (int i = 0; i < count; ++i) {
            context.view.SelectScheduleEntry(i);
            const std::string& entry = lbSchedule[i];
            if (IsWeekGridFile(entry)) {
                WeekRunReport grid = BuildNextDayOfGrid(context, entry);
                gridHourEnds_.insert(gridHourEnds_.end(), grid.hourEnds.begin(),
                                     grid.hourEnds.end());
                for (ShortSession& hour : grid.shortHours) {
                    hour.session = entry + ", " + hour.session;
                    shortSessions_.push_back(std::move(hour));
                }
                continue;
            }
            LoadSession(entry, context);
            BuildSession& s = context.session;
            // What build would refuse, the unattended run refuses too: an output that is a
            // category would be written over.
            if (std::string refusal = FailedBuildCheck(s); !refusal.empty()) {
                shortSessions_.push_back({entry, BuildOutcome{}, std::move(refusal), ""});
                continue;
            }
            // What it names for the user starts with the session's name.
            context.problemPrefix = ExtractFileName(entry) + ": ";
            BuildOutcome outcome;
            try {
                outcome = BuildPlaylist(context);
            } catch (...) {
                context.problemPrefix.clear();
                throw;
            }
            context.problemPrefix.clear();
            context.view.ListChanged(ShownList::FinalPlaylist);
            // An empty playlist would take the place of the last good one on air.
            if (s.lbFinalPlaylist.empty()) {
                shortSessions_.push_back({entry, outcome, "", s.OutputFile()});
                continue;
            }
            if (!outcome.reachedLength) shortSessions_.push_back({entry, outcome, "", ""});
            WriteFinalBuild(s, context.reader);
        }
        context.view.ShowStatus(RunDoneStatus(context.clock.Now(), count));
        if (daily_) {
            // The next day's hour, from the clock: the run's own length never shifts it.
            const int64_t delay = DelayAfterRun(dailyHour_, context.clock.UtcMilliseconds());
            ArmAutoBuild(delay);
            if (delay < kOneDay - 3600000)
                closing = "Entire schedule has completed and will run again at " + dailyHour_ + ".";
        } else if (oneOff) {
            closing = messages::kScheduleRanOnce;  // nothing armed: it was one run
        } else {
            ArmAutoBuild(kOneDay);  // a run nobody armed (the tool's) keeps the old rhythm
        }
    } catch (...) {
        daily_ = false;  // idle until the operator starts it again
        oneOff_ = false;
        throw;
    }
    // The page tells the next run while the closing message is still open.
    context.view.ListChanged(ShownList::Schedule);
    // The run is over before its closing message: a box nobody answers holds up no later run.
    if (!shortSessions_.empty()) context.prompts.ShowMessage(ShortSessionsText(shortSessions_));
    context.prompts.ShowMessage(closing);
}

std::string RunDoneStatus(const LocalDateTime& at, int sessions) {
    const auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return "Auto schedule ran at " + two(at.hour) + ":" + two(at.minute) + " and built " +
           std::to_string(sessions) + (sessions == 1 ? " session." : " sessions.");
}

std::string Scheduler::StateText() const {
    switch (State()) {
        case SchedulerState::Running:
            return "Auto schedule running now";
        case SchedulerState::Armed:
            return nextRun_ ? "Auto schedule running. " + NextRunText(*nextRun_)
                            : std::string("Auto schedule running");
        case SchedulerState::Idle:
            break;
    }
    return "Auto schedule stopped";
}

SchedulerState Scheduler::State() const {
    if (running_) return SchedulerState::Running;
    return timer_.IsOn() ? SchedulerState::Armed : SchedulerState::Idle;
}

}  // namespace kestrune
