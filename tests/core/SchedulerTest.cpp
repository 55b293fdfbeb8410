#include <gtest/gtest.h>

#include <utility>

#include "platform/KestruneError.h"
#include "building/BuildCommand.h"
#include "sessions/ScheduleSettings.h"
#include "sessions/Scheduler.h"
#include "sessions/SessionFile.h"
#include "support/Station.h"
#include "support/TimeZone.h"

namespace kestrune {
namespace {

using testing::StationFixture;

class FakeTimer : public AutoBuildTimer {
public:
    void Start(int64_t ms) override {
        on = true;
        interval = ms;
        ++starts;
    }
    void Stop() override { on = false; }
    bool IsOn() const override { return on; }
    int64_t Interval() const override { return interval; }
    bool on = false;
    int64_t interval = 0;
    int starts = 0;
};

// A scheduler with one session on `clock`, whose state is told from it; Start arms the daily run.
struct ClockedScheduler {
    testing::RecordingView view;
    testing::ScriptedPrompts prompts;
    BuildSession session;
    CountingSeeds seeds{1};
    BuildContext context;
    FakeTimer timer;
    Scheduler scheduler{timer};

    explicit ClockedScheduler(const Clock& clock) : context{session, view, prompts, seeds, clock} {
        scheduler.clock = &clock;
    }
    void Start(const std::string& hour) {
        scheduler.AddSessions({"/s/a.cwt"});
        scheduler.ComboBox2 = hour;
        scheduler.btAutoSchedule_StartClick(context);
    }
};

LocalDateTime At(int h, int m, int s) {
    return {2026, 12, 8, h, m, s, 999};
}

TEST(Scheduler, TheNextRunIsToldOnTheCalendar) {
    struct Case {
        LocalDateTime from;
        int64_t ms;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{
             {{2025, 12, 8, 22, 30, 15, 0}, 27585000, "Next run: Tue 9 Dec 06:10"},
             {{2026, 12, 31, 23, 30, 0, 0}, 3600000, "Next run: Fri 1 Jan 00:30"},
             {{2028, 2, 28, 23, 0, 0, 0}, 7200000, "Next run: Tue 29 Feb 01:00"},
             {{2027, 2, 28, 23, 0, 0, 0}, 7200000, "Next run: Mon 1 Mar 01:00"},
             {{2026, 12, 6, 18, 5, 0, 0}, 0, "Next run: Sun 6 Dec 18:05"},
             {{2026, 12, 6, 18, 5, 0, 0}, kOneDay * 30, "Next run: Tue 5 Jan 18:05"},
             {{1970, 1, 1, 0, 0, 0, 0}, -1, "Next run: Wed 31 Dec 23:59"},
         })
        EXPECT_EQ(NextRunText(AddMilliseconds(c.from, c.ms)), c.text);
    const LocalDateTime t = AddMilliseconds({2026, 12, 8, 23, 59, 59, 999}, 1);
    EXPECT_EQ(t.year * 10000 + t.month * 100 + t.day, 20261209);
    EXPECT_EQ(t.hour + t.minute + t.second + t.millisecond, 0);
}

TEST(Scheduler, ItsStateSaysWhetherItRunsAndWhen) {
    testing::FixedClock clock;
    clock.now = {2026, 12, 8, 22, 30, 15, 500};
    ClockedScheduler f(clock);
    Scheduler& scheduler = f.scheduler;
    FakeTimer& timer = f.timer;
    EXPECT_EQ(scheduler.StateText(), "Auto schedule stopped");
    f.Start("11 PM");
    EXPECT_EQ(scheduler.StateText(), "Auto schedule running. Next run: Tue 8 Dec 23:00");
    clock.now.hour = 23;  // an hour later the countdown under way goes on: the same run
    scheduler.ArmAutoBuild(timer.interval);
    EXPECT_EQ(scheduler.StateText(), "Auto schedule running. Next run: Tue 8 Dec 23:00");
    scheduler.btRunScheduleNowClick(f.prompts);
    EXPECT_EQ(scheduler.StateText(), "Auto schedule running. Next run: Tue 8 Dec 23:30");
    scheduler.btAutoSchedule_StopClick(f.view);
    EXPECT_EQ(scheduler.StateText(), "Auto schedule stopped");
}

TEST(Scheduler, DelayUntilTheChosenHour) {
    EXPECT_EQ(DelayUntilHour("11 PM", At(22, 30, 15)), 1785000);
    EXPECT_EQ(DelayUntilHour("11 PM", At(23, 0, 1)), 86399000);
    EXPECT_EQ(DelayUntilHour("12 AM", At(0, 0, 0)), 86400000);
    EXPECT_EQ(DelayUntilHour("12 AM", At(23, 59, 59)), 1000);
    EXPECT_EQ(DelayUntilHour("12 PM", At(11, 0, 0)), 3600000);
    EXPECT_EQ(DelayUntilHour("1 AM", At(1, 0, 0)), 0) << "the very second: a run at once";
    for (const std::string other : {"7am", "", "11 pm", " 1 AM", "13 PM", "0 AM"})
        EXPECT_EQ(TargetHour(other), 24) << other;
    EXPECT_EQ(TargetHour("1 AM"), 1);
    EXPECT_EQ(TargetHour("11 AM"), 11);
    EXPECT_EQ(TargetHour("1 PM"), 13);
    EXPECT_EQ(TargetHour("11 PM"), 23);
    const auto choices = AutoStartChoices();
    ASSERT_EQ(choices.size(), 26u);
    EXPECT_EQ(choices[0], "12 AM");
    EXPECT_EQ(choices[12], "12 PM");
    EXPECT_EQ(choices[23], "11 PM");
    EXPECT_EQ(choices[24], "");
}

// The evening before each clock change of 2026, 22:00: the daily run waits the real time until
// its hour, not the difference of the clock's hours.
TEST(Scheduler, TheDailyRunWaitsRealTimeAcrossAClockChange) {
    using testing::UtcMs;
    const struct {
        testing::ClockChanges zone;
        const char* hour;
        int springHours;  // from 22:00 the evening before to the run
        int autumnHours;
    } cases[] = {
        {testing::kBerlin, "12 AM", 2, 2},   {testing::kBerlin, "1 AM", 3, 3},
        {testing::kBerlin, "2 AM", 4, 4},    // skipped: run when the clock jumps; repeated: first
        {testing::kBerlin, "3 AM", 4, 6},    {testing::kBerlin, "4 AM", 5, 7},
        {testing::kBerlin, "9 PM", 22, 24},  {testing::kNewYork, "12 AM", 2, 2},
        {testing::kNewYork, "1 AM", 3, 3},   {testing::kNewYork, "2 AM", 4, 5},
        {testing::kNewYork, "3 AM", 4, 6},   {testing::kNewYork, "9 PM", 22, 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone.zone) + " " + c.hour);
        const testing::ScopedTimeZone tz(c.zone.zone);
        const int winter = c.zone.standardOffsetHours;
        const int64_t springEve =
            UtcMs(2026, c.zone.springMonth, c.zone.springDay - 1, 22 - winter);
        const int64_t autumnEve =
            UtcMs(2026, c.zone.autumnMonth, c.zone.autumnDay - 1, 22 - winter - 1);
        EXPECT_EQ(DelayUntilHour(c.hour, springEve), c.springHours * kMsPerHour);
        EXPECT_EQ(DelayUntilHour(c.hour, autumnEve + 999), c.autumnHours * kMsPerHour)
            << "the milliseconds of the second are not counted";

        // The scheduler itself, on a clock stopped there: armed for that, told in local time.
        testing::InstantClock clock(springEve);
        ClockedScheduler f(clock);
        f.Start(c.hour);
        EXPECT_EQ(f.timer.interval, c.springHours * kMsPerHour);
        const LocalDateTime at = LocalFieldsOf(springEve + f.timer.interval);
        const int hour = TargetHour(c.hour) % 24;
        EXPECT_EQ(at.hour, hour == 2 ? 3 : hour) << "the skipped 2 AM runs as the clock jumps";
        EXPECT_EQ(at.minute, 0);
    }
}

// A run at its hour on a change day: the next is the same hour of the next day, which may be 23,
// 24 or 25 hours away, and never the second pass of a repeated hour.
TEST(Scheduler, AfterARunOnAChangeDayTheNextIsTomorrowsHour) {
    using testing::UtcMs;
    for (const testing::ClockChanges& z : {testing::kBerlin, testing::kNewYork}) {
        SCOPED_TRACE(z.zone);
        const testing::ScopedTimeZone tz(z.zone);
        const int winter = z.standardOffsetHours;
        // 12 AM at midnight of the spring day: the day has 23 hours.
        EXPECT_EQ(DelayAfterRun("12 AM", UtcMs(2026, z.springMonth, z.springDay, -winter)),
                  23 * kMsPerHour);
        // 3 AM, ended within its second on the spring day: 24 hours, 3 AM summer time.
        const int64_t spring3 = UtcMs(2026, z.springMonth, z.springDay, 3 - winter - 1);
        EXPECT_EQ(DelayAfterRun("3 AM", spring3 + 400), kMsPerDay);
        // The repeated hour, run at its first pass and ended ten minutes on: tomorrow's, not the
        // second pass an hour later.
        const std::string repeated = std::to_string(z.repeatedHour) + " AM";
        const int64_t firstPass =
            UtcMs(2026, z.autumnMonth, z.autumnDay, z.repeatedHour - winter - 1);
        EXPECT_EQ(DelayAfterRun(repeated, firstPass + 10 * 60000),
                  kMsPerDay + kMsPerHour - 10 * 60000);
        EXPECT_EQ(DelayAfterRun(repeated, firstPass), kMsPerDay + kMsPerHour);
    }
}

TEST(Scheduler, ButtonsArmStopAndReArm) {
    StationFixture f;
    FakeTimer timer;
    Scheduler scheduler(timer);
    scheduler.scheduleFolder = f.dir.Path();

    scheduler.btAutoSchedule_StartClick(f.context);
    scheduler.btRunScheduleNowClick(f.prompts);
    EXPECT_EQ(f.prompts.messages, std::vector<std::string>(2, messages::kNoSessionsScheduled));
    EXPECT_EQ(timer.starts, 0);

    scheduler.AddSessions({"/s/Z.cwt", "/s/a.cwt", "/s/m.cwt"});
    EXPECT_EQ(scheduler.lbSchedule.Lines(), (LineList{"/s/a.cwt", "/s/m.cwt", "/s/Z.cwt"}));
    scheduler.Button5Click(-1);
    scheduler.Button5Click(1);
    EXPECT_EQ(scheduler.lbSchedule.Lines(), (LineList{"/s/a.cwt", "/s/Z.cwt"}));
    scheduler.Button7Click(f.prompts);
    EXPECT_EQ(f.dir.Read("auto_build.cws"), "/s/a.cwt\r\n/s/Z.cwt\r\n");
    EXPECT_EQ(f.prompts.messages.back(), messages::kScheduleSaved);

    f.clock.now = At(22, 30, 15);
    scheduler.ComboBox2 = "11 PM";
    scheduler.btAutoSchedule_StartClick(f.context);
    EXPECT_EQ(f.view.Status(), "Auto Build Initiated");
    EXPECT_EQ(scheduler.State(), SchedulerState::Armed);
    EXPECT_EQ(timer.interval, 1785000);

    // Run Now! twice: one fresh countdown, the second press lets it run on.
    scheduler.btRunScheduleNowClick(f.prompts);
    scheduler.btRunScheduleNowClick(f.prompts);
    EXPECT_EQ(timer.interval, 2000);
    EXPECT_EQ(timer.starts, 2);

    scheduler.btAutoSchedule_StopClick(f.view);
    EXPECT_EQ(f.view.Status(), "Auto Build Stopped");
    EXPECT_EQ(scheduler.State(), SchedulerState::Idle);
    scheduler.btAutoSchedule_StopClick(f.view);
    EXPECT_EQ(scheduler.State(), SchedulerState::Idle);

    scheduler.Button6Click();
    EXPECT_TRUE(scheduler.lbSchedule.Empty());
    scheduler.Button7Click(f.prompts);
    EXPECT_EQ(f.dir.Read("auto_build.cws"), "");
}

// Writes a session of one playlist built for `minutes` into `name`.cwt; answers its path.
std::string ScheduledSession(StationFixture& f, const std::string& name, int minutes,
                             bool textLog) {
    std::vector<testing::TestSong> songs;
    for (int i = 0; i < 5; ++i) songs.push_back({240, name + " band " + std::to_string(i), "t"});
    const std::string list = f.Playlist(name + ".m3u", songs);
    const std::string out = f.dir / (name + "-out.m3u");
    f.dir.Write(name + ".cwt", FormatLines({list, "#", list, "##", std::to_string(minutes), "###",
                                            out, "####", textLog ? "101" : "001", "3"}));
    return f.dir / (name + ".cwt");
}

TEST(Scheduler, ARunBuildsEverySessionAndArmsForTomorrow) {
    StationFixture f;
    FakeTimer timer;
    Scheduler scheduler(timer);
    scheduler.AddSessions(
        {ScheduledSession(f, "zulu", 8, true), ScheduledSession(f, "alpha", 4, false)});
    f.dir.Write("zulu-out.m3u.txt", "an old log");
    f.dir.Write("alpha-out.m3u.txt", "untouched");
    f.session.mTextOutput = {"a build made before the run"};
    // A run that nobody armed (the command-line tool's) arms for a day, as it always did.
    int pageShown = 0;
    scheduler.timerAutoBuildTimer(f.context, [&] {
        ++pageShown;
        EXPECT_EQ(scheduler.State(), SchedulerState::Running);
    });
    EXPECT_EQ(pageShown, 1);
    EXPECT_EQ(f.Lines(f.dir / "alpha-out.m3u").size(), 1u);
    EXPECT_EQ(f.Lines(f.dir / "zulu-out.m3u").size(), 2u) << "each file holds only its own build";
    // The session that asks for a log gets the log of its own build, and only that.
    const LineList zuluLog = f.Lines(f.dir / "zulu-out.m3u.txt");
    ASSERT_EQ(zuluLog.size(), 7u);
    EXPECT_EQ(zuluLog[0], "Playlist generated 12/6/2026  18:5");
    EXPECT_EQ(zuluLog[5].substr(0, 6), "0:00  ");
    EXPECT_EQ(zuluLog[6].substr(0, 6), "4:00  ");
    EXPECT_EQ(f.dir.Read("alpha-out.m3u.txt"), "untouched") << "Save to Text off: no log";
    EXPECT_EQ(f.view.SelectedScheduleEntry(), 1);
    EXPECT_EQ(timer.interval, kOneDay);
    EXPECT_EQ(scheduler.State(), SchedulerState::Armed);
    EXPECT_EQ(f.prompts.messages.back(), messages::kScheduleComplete);

    // Tomorrow's run comes also while today's closing message is still open.
    class AnsweringLater : public testing::ScriptedPrompts {
    public:
        std::function<void()> whileOpen;
        void ShowMessage(const std::string& text) override {
            ScriptedPrompts::ShowMessage(text);
            if (whileOpen) std::exchange(whileOpen, nullptr)();
        }
    } later;
    BuildContext laterContext{f.session, f.view, later, f.seeds, f.clock};
    int runs = 0;
    later.whileOpen = [&] {
        EXPECT_EQ(scheduler.State(), SchedulerState::Armed);
        scheduler.timerAutoBuildTimer(laterContext, [&] { ++runs; });
    };
    scheduler.timerAutoBuildTimer(laterContext, [&] { ++runs; });
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(later.messages, std::vector<std::string>(2, messages::kScheduleComplete));

    // An emptied list: nothing built, armed again all the same.
    scheduler.Button6Click();
    f.prompts.messages.clear();
    scheduler.timerAutoBuildTimer(f.context, nullptr);
    EXPECT_EQ(f.prompts.messages, std::vector<std::string>{messages::kScheduleComplete});
    EXPECT_EQ(scheduler.State(), SchedulerState::Armed);
}

TEST(Scheduler, ASessionThatFallsShortIsNamedAndTheRunGoesOn) {
    StationFixture f;
    FakeTimer timer;
    Scheduler scheduler(timer);
    const std::string first = ScheduledSession(f, "a-first", 8, false);
    // A session whose only song is gone: the unattended run does no repair, so nothing fits.
    f.dir.Write("b-gone.m3u", (f.dir / "gone.mp3") + "\r\n");
    f.dir.Write("b-gone.cwt",
                FormatLines({f.dir / "b-gone.m3u", "#", f.dir / "b-gone.m3u", "##", "45", "###",
                             f.dir / "b-gone-out.m3u", "####", "001", "3"}));
    const std::string last = ScheduledSession(f, "c-last", 4, false);
    scheduler.AddSessions({first, f.dir / "b-gone.cwt", last});
    scheduler.timerAutoBuildTimer(f.context, nullptr);

    EXPECT_EQ(f.Lines(f.dir / "a-first-out.m3u").size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(f.dir / "b-gone-out.m3u"))
        << "nothing placed, nothing written";
    EXPECT_EQ(f.Lines(f.dir / "c-last-out.m3u").size(), 1u) << "the run went on";
    ASSERT_EQ(scheduler.ShortSessions().size(), 1u);
    EXPECT_EQ(scheduler.ShortSessions()[0].session, f.dir / "b-gone.cwt");
    EXPECT_FALSE(scheduler.ShortSessions()[0].outcome.reachedLength);
    const std::vector<std::string> expected = {
        (f.dir / "b-gone.cwt") + ": The playlist is 0:45:00 short of the desired 0:45:00. " +
            "Nothing was placed; " + (f.dir / "b-gone-out.m3u") + " was not written.",
        messages::kScheduleComplete};
    EXPECT_EQ(f.prompts.messages, expected);
    EXPECT_EQ(scheduler.State(), SchedulerState::Armed);

    // The next run starts afresh.
    scheduler.Button6Click();
    scheduler.AddSessions({first});
    scheduler.timerAutoBuildTimer(f.context, nullptr);
    EXPECT_TRUE(scheduler.ShortSessions().empty());
}

TEST(Scheduler, ShortSessionsAreOneLineEach) {
    BuildOutcome a{false, 0, 3600, ""};
    BuildOutcome b{false, 1070, 3600, ""};
    EXPECT_EQ(ShortSessionsText({}), "");
    EXPECT_EQ(ShortSessionsText({{"/s/a.cwt", a}, {"/s/b.cwt", b}}),
              "/s/a.cwt: The playlist is 1:00:00 short of the desired 1:00:00.\n"
              "/s/b.cwt: The playlist is 0:42:10 short of the desired 1:00:00.");
}

TEST(Scheduler, ATypedStartTimeNamesAnHourOrIsRefused) {
    const struct {
        const char* typed;
        std::optional<std::string> hour;
    } cases[] = {{"3 AM", "3 AM"},       {"7am", "7 AM"},     {" 7 pm ", "7 PM"},
                 {"07 PM", "7 PM"},      {"12 am", "12 AM"},  {"12 PM", "12 PM"},
                 {"", std::nullopt},     {"7", std::nullopt}, {"half past nine", std::nullopt},
                 {"13 PM", std::nullopt}, {"0 AM", std::nullopt}, {"7 AMX", std::nullopt},
                 {"7:30 PM", std::nullopt}, {"-3 AM", std::nullopt}, {"1234 AM", std::nullopt},
                 // The 24-hour form of a hand-edited configuration.
                 {"03:00", "3 AM"},     {"3:00", "3 AM"},    {" 15:00 ", "3 PM"},
                 {"00", "12 AM"},       {"12:00", "12 PM"},  {"23", "11 PM"},
                 {"24:00", std::nullopt}, {"03:30", std::nullopt}, {"3:0", std::nullopt},
                 {"123", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(AutoStartHourName(c.typed), c.hour) << c.typed;

    StationFixture f;
    FakeTimer timer;
    Scheduler scheduler(timer);
    scheduler.AddSessions({"/s/a.cwt"});
    scheduler.ComboBox2 = "half past nine";
    scheduler.btAutoSchedule_StartClick(f.context);
    EXPECT_EQ(f.prompts.messages.back(),
              "Set auto start time: \"half past nine\" is not an hour. Choose one from the list, "
              "12 AM to 11 PM.");
    EXPECT_EQ(timer.starts, 0) << "no countdown to midnight";
    EXPECT_FALSE(scheduler.Daily());
    scheduler.ComboBox2 = "7pm";
    scheduler.btAutoSchedule_StartClick(f.context);
    EXPECT_EQ(scheduler.ComboBox2, "7 PM") << "shown as the list names it";
    EXPECT_TRUE(scheduler.Daily());
    EXPECT_EQ(scheduler.DailyHour(), "7 PM");
}

TEST(Scheduler, RunNowRunsOnceAndTheDailyRunKeepsItsHour) {
    StationFixture f;
    FakeTimer timer;
    Scheduler scheduler(timer);
    scheduler.AddSessions({ScheduledSession(f, "night", 4, false)});
    f.clock.now = At(2, 36, 0);
    scheduler.ComboBox2 = "3 AM";
    scheduler.btAutoSchedule_StartClick(f.context);
    EXPECT_EQ(timer.interval, 24 * 60000);

    scheduler.btRunScheduleNowClick(f.prompts);
    EXPECT_EQ(timer.interval, kRunNowDelay);
    f.clock.now = At(2, 36, 5);  // when the run ends
    scheduler.timerAutoBuildTimer(f.context, nullptr);
    EXPECT_EQ(timer.interval, (23 * 60 + 55) * 1000) << "still 3 AM today, not 02:36 tomorrow";
    EXPECT_EQ(f.prompts.messages.back(),
              "Entire schedule has completed and will run again at 3 AM.");
    EXPECT_EQ(scheduler.State(), SchedulerState::Armed);

    // The field changed afterwards, garbled even: the daily run keeps the hour "Begin" took.
    scheduler.ComboBox2 = "garbled";
    // Each day's countdown comes from the clock: however long a run takes, 3 AM stays 3 AM.
    const struct {
        LocalDateTime ended;
        int64_t interval;
    } days[] = {{At(3, 7, 30), kOneDay - (7 * 60 + 30) * 1000},
                {At(3, 0, 0), kOneDay},  // ended within the second it began: tomorrow
                {At(3, 59, 59), kOneDay - (59 * 60 + 59) * 1000}};
    for (const auto& day : days) {
        f.clock.now = day.ended;
        scheduler.timerAutoBuildTimer(f.context, nullptr);
        EXPECT_EQ(timer.interval, day.interval);
        EXPECT_EQ(f.prompts.messages.back(), messages::kScheduleComplete);
    }

    // Without the daily run, "Run Now!" is one run, and the scheduler is idle after it.
    scheduler.btAutoSchedule_StopClick(f.view);
    scheduler.btRunScheduleNowClick(f.prompts);
    scheduler.timerAutoBuildTimer(f.context, nullptr);
    EXPECT_EQ(scheduler.State(), SchedulerState::Idle);
    EXPECT_EQ(f.prompts.messages.back(), messages::kScheduleRanOnce);
}

TEST(Scheduler, ResumingTheKeptDailyRun) {
    StationFixture f;
    FakeTimer timer;
    Scheduler scheduler(timer);
    f.clock.now = At(22, 30, 15);
    EXPECT_FALSE(scheduler.ResumeDaily("11 PM", f.clock)) << "no sessions: nothing to resume";
    scheduler.AddSessions({"/s/a.cwt"});
    EXPECT_FALSE(scheduler.ResumeDaily("garbled", f.clock));
    EXPECT_EQ(timer.starts, 0);
    EXPECT_TRUE(scheduler.ResumeDaily("11 pm", f.clock));
    EXPECT_EQ(timer.interval, 1785000);
    EXPECT_EQ(scheduler.ComboBox2, "11 PM");
    EXPECT_TRUE(scheduler.Daily());
}

TEST(Scheduler, TheKeptScheduleLivesInItsOwnSection) {
    EXPECT_EQ(ParseScheduleSettings(""), ScheduleSettings{});
    EXPECT_EQ(ParseScheduleSettings("[schedule]\r\nRunning=1\r\nstart=3 AM\r\n"),
              (ScheduleSettings{true, "3 AM"}));
    EXPECT_EQ(ParseScheduleSettings("[Schedule]\r\nrunning=yes\r\nstart=\r\n"),
              ScheduleSettings{}) << "only 1 is on; an empty start keeps 12 AM";
    const std::string before = "[Config]\r\nplaylistsdir=/p\r\n";
    const std::string after = WithScheduleSettings(before, {true, "3 AM"});
    EXPECT_EQ(after.substr(0, before.size()), before) << "every other line kept";
    EXPECT_EQ(ParseScheduleSettings(after), (ScheduleSettings{true, "3 AM"}));
    EXPECT_EQ(ParseScheduleSettings(WithScheduleSettings(after, {false, "3 AM"})),
              (ScheduleSettings{false, "3 AM"}));

    StationFixture f;
    const std::string ini = f.dir / "kestrune.ini";
    EXPECT_EQ(ReadScheduleSettings(ini), ScheduleSettings{}) << "no file: the defaults";
    WriteScheduleSettings(ini, {true, "5 PM"});
    EXPECT_EQ(ReadScheduleSettings(ini), (ScheduleSettings{true, "5 PM"}));
}

// What build refuses, the unattended run passes over, naming it; a session that places nothing
// leaves the last good playlist on air.
TEST(Scheduler, SessionsBuildWouldRefuseArePassedOverAndAnEmptyBuildWritesNothing) {
    StationFixture f;
    FakeTimer timer;
    Scheduler scheduler(timer);
    const std::string good = ScheduledSession(f, "a-good", 4, false);
    const std::string list = f.dir / "a-good.m3u";
    const std::string listBefore = f.dir.Read("a-good.m3u");
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::string message;
    } refused[] = {
        {"b-onto-category", {list, "#", list, "##", "4", "###", list, "####", "001", "3"},
         OutputIsCategoryMessage(list)},
        {"c-no-template", {list, "#", "##", "4", "###", f.dir / "c.m3u", "####", "001", "3"},
         messages::kNoTemplate},
        {"d-length-0", {list, "#", list, "##", "0", "###", f.dir / "d.m3u", "####", "001", "3"},
         messages::kLengthBelowOne},
        {"e-orphan-slot",
         {list, "#", f.dir / "gone.m3u", "##", "4", "###", f.dir / "e.m3u", "####", "001", "3"},
         OrphanSlotMessage(0, f.dir / "gone.m3u")},
    };
    std::vector<std::string> expected;
    for (const auto& session : refused) {
        f.dir.Write(std::string(session.name) + ".cwt", FormatLines(session.lines));
        scheduler.AddSessions({f.dir / (std::string(session.name) + ".cwt")});
        expected.push_back(f.dir / (std::string(session.name) + ".cwt") + " was passed over: " +
                           session.message);
    }
    // Its only song gone: the unattended run does no repair, and places nothing.
    f.dir.Write("f-empty.m3u", (f.dir / "gone.mp3") + "\r\n");
    f.dir.Write("f-empty-out.m3u", "/good/old/hour.mp3\r\n");
    f.dir.Write("f-empty.cwt", FormatLines({f.dir / "f-empty.m3u", "#", f.dir / "f-empty.m3u",
                                            "##", "30", "###", f.dir / "f-empty-out.m3u", "####",
                                            "101", "3"}));
    scheduler.AddSessions({good, f.dir / "f-empty.cwt"});
    scheduler.timerAutoBuildTimer(f.context, nullptr);

    EXPECT_EQ(f.Lines(f.dir / "a-good-out.m3u").size(), 1u);
    const std::string categoryNow = f.dir.Read("a-good.m3u");
    EXPECT_EQ(ParseLines(categoryNow).size(), ParseLines(listBefore).size())
        << "the category that was an output keeps every line";
    for (const char* output : {"c.m3u", "d.m3u", "e.m3u"})
        EXPECT_FALSE(std::filesystem::exists(f.dir / output)) << output;
    EXPECT_EQ(f.dir.Read("f-empty-out.m3u"), "/good/old/hour.mp3\r\n");
    EXPECT_FALSE(std::filesystem::exists(f.dir / "f-empty-out.m3u.txt"));
    expected.push_back((f.dir / "f-empty.cwt") +
                       ": The playlist is 0:30:00 short of the desired 0:30:00. Nothing was "
                       "placed; " + (f.dir / "f-empty-out.m3u") + " was not written.");
    ASSERT_EQ(f.prompts.messages.size(), 2u);
    EXPECT_EQ(ParseLines(f.prompts.messages[0]), LineList(expected.begin(), expected.end()));
    EXPECT_EQ(f.prompts.messages[1], messages::kScheduleComplete);
    EXPECT_EQ(scheduler.State(), SchedulerState::Armed);
}

TEST(Scheduler, AnErrorStopsTheRunAndLeavesTheSchedulerIdle) {
    StationFixture f;
    FakeTimer timer;
    Scheduler scheduler(timer);
    const std::string good = ScheduledSession(f, "a-good", 4, false);
    f.dir.Write("b-broken.cwt", "only a playlist line\r\n");
    const std::string third = ScheduledSession(f, "c-third", 4, false);
    scheduler.AddSessions({good, f.dir / "b-broken.cwt", third});
    scheduler.btRunScheduleNowClick(f.prompts);
    try {
        scheduler.timerAutoBuildTimer(f.context, nullptr);
        FAIL() << "a broken session stops the run";
    } catch (const KestruneError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (1)");
    }
    EXPECT_EQ(f.Lines(f.dir / "a-good-out.m3u").size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(f.dir / "c-third-out.m3u"));
    EXPECT_EQ(scheduler.State(), SchedulerState::Idle);
    EXPECT_TRUE(f.prompts.messages.empty());

    scheduler.lbSchedule.Clear();
    scheduler.AddSessions({f.dir / "missing.cwt"});
    EXPECT_THROW(scheduler.timerAutoBuildTimer(f.context, nullptr), KestruneError);
    EXPECT_EQ(scheduler.State(), SchedulerState::Idle);
}

}  // namespace
}  // namespace kestrune
