#pragma once
// The auto scheduler: a sorted list of session files built once a day, unattended, at a
// chosen hour. The timer itself belongs to whoever runs the scheduler (a window's timer, a
// test's fake); the scheduler only arms and disarms it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "building/BuildContext.h"
#include "building/PlaylistBuilder.h"
#include "sessions/WeekRun.h"
#include "sessions/ShortSessions.h"

namespace kestrune {

namespace messages {
extern const char* const kNoSessionsScheduled;
extern const char* const kScheduleSaved;
extern const char* const kScheduleComplete;
extern const char* const kScheduleRanOnce;
}  // namespace messages

inline constexpr int64_t kRunNowDelay = 2000;
inline constexpr int64_t kOneDay = 86400000;

class AutoBuildTimer {
public:
    virtual ~AutoBuildTimer() = default;
    // Switches the timer on with a fresh countdown of `milliseconds` (0: at once).
    virtual void Start(int64_t milliseconds) = 0;
    virtual void Stop() = 0;
    virtual bool IsOn() const = 0;
    virtual int64_t Interval() const = 0;
};

// The hour that an auto start text names: "1 AM" 1 .. "11 PM" 23; anything else 24.
int TargetHour(const std::string& text);
// Milliseconds from the instant `nowMs` (UTC) until the local clock next reaches that hour,
// counted in real time: the evening before summer time begins, 3 AM is an hour nearer than the
// clock's hours say. An hour the clock skips that night is reached when the clock jumps over it;
// an hour it shows twice, at its first pass. 0 (the very second) to a day (25 hours when the
// clock turns back).
int64_t DelayUntilHour(const std::string& text, int64_t nowMs);
// The same from a reading of the local clock (its earlier instant, where it has two).
int64_t DelayUntilHour(const std::string& text, const LocalDateTime& now);
// The same after a run: a run that ended within the second its hour began waits for tomorrow.
int64_t DelayAfterRun(const std::string& text, int64_t nowMs);

// The list's name of the hour a typed start time means ("7am", "7 pm", "12 AM", or the 24-hour
// "03", "15:00", "3:00" of a hand-edited configuration), if it is one. A lone "7" is none.
std::optional<std::string> AutoStartHourName(const std::string& text);
// The message for a start time that names no hour.
std::string NotAnHourMessage(const std::string& text);

// What the local clock reads `milliseconds` after it read `from`, clock changes counted.
LocalDateTime AddMilliseconds(const LocalDateTime& from, int64_t milliseconds);
// "Next run: Tue 9 Dec 06:00".
std::string NextRunText(const LocalDateTime& at);

// The status line after a run: "Auto schedule ran at 02:36 and built 2 sessions."
std::string RunDoneStatus(const LocalDateTime& at, int sessions);

// The 26 entries of the auto start time list.
std::vector<std::string> AutoStartChoices();

enum class SchedulerState { Idle, Armed, Running };


class Scheduler {
public:
    explicit Scheduler(AutoBuildTimer& timer) : timer_(timer) {}

    SortedList lbSchedule;
    std::string ComboBox2 = "12 AM";  // auto start time, as typed
    std::string scheduleFolder;       // where "Save Schedule" writes
    const Clock* clock = nullptr;     // tells when an armed run comes; none: not told

    std::string ScheduleFilePath() const;

    // "+": every chosen session goes to its sorted place.
    void AddSessions(const std::vector<std::string>& paths);
    // "--": the selected entry, if any (-1: none).
    void Button5Click(int selected);
    // "Clear Schedule".
    void Button6Click() { lbSchedule.Clear(); }
    // "Save Schedule".
    void Button7Click(Prompts& prompts);
    // Writes the list to the schedule file without a word: the list a daily run uses is the
    // one the next start reads back.
    void SaveScheduleFile() const;

    // "Begin Auto Schedule": every day at the chosen hour; a start time that names no hour is
    // refused with a message. "Stop Auto Schedule". "Run Now!": one run in two seconds; the
    // daily run, when there is one, stays at its hour.
    void btAutoSchedule_StartClick(BuildContext& context);
    void btAutoSchedule_StopClick(BuildView& view);
    void btRunScheduleNowClick(Prompts& prompts);
    // The daily run as a start-up finds it kept: armed for its next hour, as "Begin" arms it.
    // False (nothing armed) without sessions or with a start time that names no hour.
    bool ResumeDaily(const std::string& hour, const Clock& now);

    // A fresh countdown when the timer is off or the interval changes; otherwise the
    // countdown under way goes on.
    void ArmAutoBuild(int64_t milliseconds);

    // The timer's event: builds every scheduled session and writes its playlist. An error
    // stops the run where it happens and leaves the scheduler idle. A session that fails one of
    // the build's checks is passed over; one that places nothing leaves its playlist as it was;
    // one that falls short of its length is written as built; the run goes on, and at the end
    // one message names every such session (and every such hour of a week grid).
    void timerAutoBuildTimer(BuildContext& context, const std::function<void()>& showBuildPage);

    SchedulerState State() const;
    // Whether the daily run is on (it may wait behind a "Run Now!"), and at which hour.
    bool Daily() const { return daily_; }
    const std::string& DailyHour() const { return dailyHour_; }
    // "Auto schedule stopped", or running with the next run's time.
    std::string StateText() const;
    // The sessions of the last run that were passed over or fell short, in the order run.
    const std::vector<ShortSession>& ShortSessions() const { return shortSessions_; }
    // How far each hour a week grid built in the last run ends from its hour.
    const std::vector<HourEnd>& GridHourEnds() const { return gridHourEnds_; }

private:
    // Stops the run, before anything is written, when the music of its sessions is away.
    void CheckSessionsMusic(BuildContext& context);

    AutoBuildTimer& timer_;
    bool running_ = false;
    bool daily_ = false;     // "Begin" pressed and not stopped since
    std::string dailyHour_;  // the hour "Begin" took, whatever the field shows since
    bool oneOff_ = false;    // the countdown under way is a "Run Now!"
    std::optional<LocalDateTime> nextRun_;
    std::vector<ShortSession> shortSessions_;
    std::vector<HourEnd> gridHourEnds_;
};

}  // namespace kestrune
