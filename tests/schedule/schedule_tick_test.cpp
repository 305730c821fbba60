// The scheduler's tick over a simulated clock: which ticks start a run, for which due time.
#include "schedule/schedule_tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/clock.h"
#include "support/time_zone.h"

namespace arkivo::schedule {
namespace {

using test::Utc;

struct Start {
    std::int64_t tick;
    std::int64_t due;
    bool caughtUp;
};

// Ticks at each of the given times, in order, with one memory, as one program would.
class SimulatedClock {
  public:
    explicit SimulatedClock(ScheduleSettings settings) : settings_(settings) {}

    void TickAt(std::int64_t now) {
        if (beforeTick) {
            beforeTick();
        }
        const auto decision = DecideTick(settings_, now, memory);
        if (decision.startRun) {
            starts.push_back({now, decision.dueTime, decision.caughtUp});
        }
    }
    // Every `step` seconds from `first` to `last`.
    void TickEvery(std::int64_t step, std::int64_t first, std::int64_t last) {
        for (std::int64_t now = first; now <= last; now += step) {
            TickAt(now);
        }
    }
    // A program that starts afresh: it remembers only what it stored.
    void Restart() { memory.previousTick.reset(); }

    ScheduleMemory memory;
    std::vector<Start> starts;
    std::function<void()> beforeTick;

  private:
    ScheduleSettings settings_;
};

ScheduleSettings Daily(long long hour, long long minute) {
    ScheduleSettings settings;
    settings.on = true;
    settings.repeat = static_cast<long long>(Repeat::Daily);
    settings.hour = hour;
    settings.minute = minute;
    return settings;
}

// The days of the starts, as the UTC date of their due time.
std::vector<std::int64_t> DueDays(const std::vector<Start>& starts) {
    std::vector<std::int64_t> days;
    for (const auto& start : starts) {
        days.push_back(start.due / 86400);
    }
    return days;
}

std::int64_t DayOf(int year, unsigned month, unsigned day) {
    return Utc(year, month, day) / 86400;
}

class ScheduleTick : public ::testing::Test {
  protected:
    test::TimeZone zone{"UTC0"};
};

TEST_F(ScheduleTick, ADailyTimeStartsOneRunInItsMinuteEveryDayWhateverTheTicksTake) {
    // 30-second ticks, and ticks stretched by a slow handler: one run a day, at the first tick
    // at or after 10:00.
    for (const std::int64_t step : {30, 37, 59}) {
        SimulatedClock clock(Daily(10, 0));
        clock.TickEvery(step, Utc(2026, 12, 7, 9, 55, 13), Utc(2026, 12, 9, 10, 5));
        ASSERT_EQ(clock.starts.size(), 3u) << "every " << step << " s";
        for (const auto& start : clock.starts) {
            EXPECT_EQ(start.due % 86400, 10 * 3600);
            EXPECT_GE(start.tick, start.due);
            EXPECT_LT(start.tick, start.due + step);
            EXPECT_FALSE(start.caughtUp);
        }
    }
}

TEST_F(ScheduleTick, TwoTicksInTheMinuteOrAClockSetBackStartNoSecondRun) {
    SimulatedClock clock(Daily(10, 0));
    clock.TickAt(Utc(2026, 12, 7, 10, 0, 0));
    clock.TickAt(Utc(2026, 12, 7, 10, 0, 59));
    clock.TickAt(Utc(2026, 12, 7, 10, 0, 59));
    // The clock is put back a minute and comes through 10:00 again.
    clock.TickAt(Utc(2026, 12, 7, 9, 59, 50));
    clock.TickAt(Utc(2026, 12, 7, 10, 0, 20));
    ASSERT_EQ(clock.starts.size(), 1u);
    EXPECT_EQ(clock.starts[0].tick, Utc(2026, 12, 7, 10, 0, 0));
}

TEST_F(ScheduleTick, ALateTickStartsTheRunItMissedButASleepDoesNot) {
    SimulatedClock late(Daily(10, 0));
    late.TickAt(Utc(2026, 12, 7, 9, 59, 50));
    late.TickAt(Utc(2026, 12, 7, 10, 3, 20));  // three and a half minutes late
    late.TickAt(Utc(2026, 12, 7, 10, 3, 50));
    ASSERT_EQ(late.starts.size(), 1u);
    EXPECT_EQ(late.starts[0].tick, Utc(2026, 12, 7, 10, 3, 20));
    EXPECT_EQ(late.starts[0].due, Utc(2026, 12, 7, 10, 0));
    EXPECT_FALSE(late.starts[0].caughtUp);

    SimulatedClock asleep(Daily(10, 0));
    asleep.TickAt(Utc(2026, 12, 7, 9, 59, 50));
    asleep.TickEvery(30, Utc(2026, 12, 7, 13, 0), Utc(2026, 12, 7, 14, 0));
    EXPECT_TRUE(asleep.starts.empty());
}

TEST_F(ScheduleTick, AWeeklyChoiceStartsOnlyOnItsDays) {
    ScheduleSettings settings = Daily(10, 0);
    settings.repeat = static_cast<long long>(Repeat::Weekly);
    settings.weekdays[1] = true;  // Monday
    settings.weekdays[3] = true;  // Wednesday
    SimulatedClock clock(settings);
    // 2026-12-06 is a Sunday.
    for (unsigned day = 6; day <= 20; ++day) {
        clock.TickEvery(30, Utc(2026, 12, day, 9, 59), Utc(2026, 12, day, 10, 1));
    }
    EXPECT_EQ(DueDays(clock.starts),
              (std::vector<std::int64_t>{DayOf(2026, 12, 7), DayOf(2026, 12, 9),
                                         DayOf(2026, 12, 14), DayOf(2026, 12, 16)}));
}

TEST_F(ScheduleTick, AMonthlyDayThatAMonthLacksSkipsThatMonth) {
    ScheduleSettings day31 = Daily(10, 0);
    day31.repeat = static_cast<long long>(Repeat::Monthly);
    day31.monthDay = 31;
    SimulatedClock clock(day31);
    for (std::int64_t day = DayOf(2026, 11, 1); day <= DayOf(2027, 1, 2); ++day) {
        clock.TickEvery(30, day * 86400 + 10 * 3600 - 60, day * 86400 + 10 * 3600 + 60);
    }
    // November has 30 days: nothing on the 30th, nor on the 1st of December.
    EXPECT_EQ(DueDays(clock.starts), (std::vector<std::int64_t>{DayOf(2026, 12, 31)}));
}

TEST_F(ScheduleTick, The29thOfFebruaryComesOnlyInLeapYears) {
    ScheduleSettings day29 = Daily(0, 0);
    day29.repeat = static_cast<long long>(Repeat::Monthly);
    day29.monthDay = 29;
    SimulatedClock monthly(day29);
    SimulatedClock daily(Daily(0, 0));
    for (std::int64_t day = DayOf(2027, 1, 1); day <= DayOf(2028, 3, 31); ++day) {
        monthly.TickEvery(30, day * 86400 - 30, day * 86400 + 30);
        daily.TickEvery(30, day * 86400 - 30, day * 86400 + 30);
    }
    const auto days = DueDays(monthly.starts);
    EXPECT_EQ(days.size(), 14u);  // every month from January 2027 to March 2028 but one
    EXPECT_EQ(std::count(days.begin(), days.end(), DayOf(2028, 2, 29)), 1);
    EXPECT_EQ(std::count(days.begin(), days.end(), DayOf(2027, 3, 1)), 0);
    EXPECT_EQ(daily.starts.size(),
              static_cast<std::size_t>(DayOf(2028, 3, 31) - DayOf(2027, 1, 1) + 1));
}

TEST_F(ScheduleTick, SettingsThatCanNeverMatchStartNothing) {
    std::vector<ScheduleSettings> never;
    never.push_back(Daily(25, 0));
    never.push_back(Daily(10, -1));
    never.push_back(Daily(10, 60));
    ScheduleSettings noRepeat = Daily(10, 0);
    noRepeat.repeat = 0;
    never.push_back(noRepeat);
    ScheduleSettings unknownRepeat = Daily(10, 0);
    unknownRepeat.repeat = 4;
    never.push_back(unknownRepeat);
    ScheduleSettings off = Daily(10, 0);
    off.on = false;
    off.catchUp = true;
    never.push_back(off);
    ScheduleSettings noWeekday = Daily(10, 0);
    noWeekday.repeat = static_cast<long long>(Repeat::Weekly);
    never.push_back(noWeekday);
    for (const auto& settings : never) {
        SimulatedClock clock(settings);
        clock.TickEvery(30, Utc(2026, 12, 6, 23, 0), Utc(2026, 12, 14, 1, 0));
        EXPECT_TRUE(clock.starts.empty()) << settings.hour << ":" << settings.minute << " repeat "
                                          << settings.repeat << " on " << settings.on;
    }
}

struct ZoneChange {
    const char* zone;
    int year;
    unsigned month;
    unsigned day;
    long long hour;  // the local set time, inside the skipped or repeated hour
    long long minute;
    std::int64_t due;  // when its run must start
};

// Berlin skips 02:00-03:00 on 29 March 2026 (CET to CEST) and shows 02:00-03:00 twice on 25
// October; New York skips 02:00-03:00 on 8 March 2026 and repeats 01:00-02:00 on 1 November.
TEST(ScheduleTickZones, ASkippedSetTimeRunsRightAfterTheGapAndARepeatedOneRunsOnce) {
    ARKIVO_NEEDS_ZONE_RULES();
    const ZoneChange changes[] = {
        {"Europe/Berlin", 2026, 3, 29, 2, 30, Utc(2026, 3, 29, 1, 0)},
        {"Europe/Berlin", 2026, 10, 25, 2, 30, Utc(2026, 10, 25, 0, 30)},
        {"America/New_York", 2026, 3, 8, 2, 15, Utc(2026, 3, 8, 7, 0)},
        {"America/New_York", 2026, 11, 1, 1, 30, Utc(2026, 11, 1, 5, 30)},
    };
    // Which occurrence of a repeated time the runtime's conversion gives depends on the
    // conversions it made before: make it come from winter, and from summer.
    for (const int primerMonth : {1, 7}) {
        for (const auto& change : changes) {
            const test::TimeZone zone(change.zone);
            SimulatedClock clock(Daily(change.hour, change.minute));
            clock.beforeTick = [&change, primerMonth] {
                platform::LocalTime primer;
                primer.year = change.year;
                primer.month = primerMonth;
                primer.day = 15;
                primer.hour = 12;
                platform::FromLocalTime(primer);
            };
            const std::int64_t midnight = Utc(change.year, change.month, change.day);
            // From the evening before to the morning after, both in local and in UTC terms.
            clock.TickEvery(30, midnight - 8 * 3600, midnight + 14 * 3600);
            const auto where = std::string(change.zone) + " month " + std::to_string(change.month) +
                               " primer " + std::to_string(primerMonth);
            ASSERT_EQ(clock.starts.size(), 1u) << where;
            EXPECT_EQ(clock.starts[0].due, change.due) << where;
            EXPECT_EQ(clock.starts[0].tick, change.due) << where;
        }
    }
}

TEST(ScheduleTickZones, TheDayAfterAChangeRunsAtTheSetTimeInTheNewOffset) {
    ARKIVO_NEEDS_ZONE_RULES();
    const test::TimeZone zone("Europe/Berlin");
    SimulatedClock clock(Daily(2, 30));
    clock.TickEvery(30, Utc(2026, 3, 28, 0, 0), Utc(2026, 3, 31, 0, 0));
    std::vector<std::int64_t> dues;
    for (const auto& start : clock.starts) {
        dues.push_back(start.due);
    }
    // 02:30 CET, then right after the skipped hour, then 02:30 CEST.
    EXPECT_EQ(dues, (std::vector<std::int64_t>{Utc(2026, 3, 28, 1, 30), Utc(2026, 3, 29, 1, 0),
                                               Utc(2026, 3, 30, 0, 30)}));
}

TEST_F(ScheduleTick, ARunMissedWhileTheMachineWasOffIsCaughtUpOnceAtStartUpWhenAsked) {
    for (const bool catchUp : {false, true}) {
        ScheduleSettings settings = Daily(10, 0);
        settings.catchUp = catchUp;
        SimulatedClock clock(settings);
        clock.TickEvery(30, Utc(2026, 12, 1, 9, 59), Utc(2026, 12, 1, 10, 1));
        ASSERT_EQ(clock.starts.size(), 1u);
        // Off for five days, started again in the afternoon.
        clock.Restart();
        clock.TickEvery(30, Utc(2026, 12, 6, 15, 0), Utc(2026, 12, 7, 10, 1));
        if (!catchUp) {
            ASSERT_EQ(clock.starts.size(), 2u);
            EXPECT_EQ(clock.starts[1].due, Utc(2026, 12, 7, 10, 0));
            continue;
        }
        ASSERT_EQ(clock.starts.size(), 3u);
        EXPECT_EQ(clock.starts[1].tick, Utc(2026, 12, 6, 15, 0));
        EXPECT_EQ(clock.starts[1].due, Utc(2026, 12, 6, 10, 0));  // the last one missed
        EXPECT_TRUE(clock.starts[1].caughtUp);
        EXPECT_EQ(clock.starts[2].due, Utc(2026, 12, 7, 10, 0));
        EXPECT_FALSE(clock.starts[2].caughtUp);
    }
}

TEST_F(ScheduleTick, ARunMissedWhileAsleepIsCaughtUpOnceOnWaking) {
    ScheduleSettings settings = Daily(10, 0);
    settings.catchUp = true;
    SimulatedClock clock(settings);
    clock.TickEvery(30, Utc(2026, 12, 7, 8, 0), Utc(2026, 12, 7, 9, 0));
    clock.TickEvery(30, Utc(2026, 12, 9, 18, 0), Utc(2026, 12, 9, 19, 0));
    ASSERT_EQ(clock.starts.size(), 1u);
    EXPECT_EQ(clock.starts[0].tick, Utc(2026, 12, 9, 18, 0));
    EXPECT_EQ(clock.starts[0].due, Utc(2026, 12, 9, 10, 0));
    EXPECT_TRUE(clock.starts[0].caughtUp);
}

TEST_F(ScheduleTick, NothingIsCaughtUpBeforeTheSchedulerFirstLookedOrAfterItRan) {
    ScheduleSettings settings = Daily(10, 0);
    settings.catchUp = true;
    SimulatedClock first(settings);
    first.TickEvery(30, Utc(2026, 12, 7, 15, 0), Utc(2026, 12, 7, 16, 0));
    EXPECT_TRUE(first.starts.empty());
    ASSERT_TRUE(first.memory.lastScheduledRun);

    SimulatedClock ran(settings);
    ran.memory.lastScheduledRun = Utc(2026, 12, 7, 10, 0);
    ran.TickEvery(30, Utc(2026, 12, 7, 15, 0), Utc(2026, 12, 7, 16, 0));
    EXPECT_TRUE(ran.starts.empty());
}

}  // namespace
}  // namespace arkivo::schedule
