// The scheduler's settings as "Option.ini" holds them, and what a run started from them means.
#include "schedule/schedule_settings.h"

#include <gtest/gtest.h>

#include <list>

#include "schedule/schedule_tick.h"
#include "settings/lang_ini.h"
#include "support/temp_folder.h"
#include "support/time_zone.h"

namespace arkivo::schedule {
namespace {

class ScheduleSettingsFile : public ::testing::Test {
  protected:
    CLangIni& Load(const std::string& bytes) {
        test::WriteBytes(path, bytes);
        CLangIni& store = stores.emplace_back();
        EXPECT_TRUE(store.Open(path));
        return store;
    }

    test::TempFolder folder;
    std::filesystem::path path = folder / "Option.ini";
    std::list<CLangIni> stores;
    test::TimeZone zone{"UTC0"};
};

TEST_F(ScheduleSettingsFile, ValuesAreReadAsStoredAndMissingOnesAreZero) {
    const auto settings = ReadScheduleSettings(
        Load("[Scheduler]\r\nUseScheduler=1\r\nHowToRepeat=2\r\nHour=25\r\nMin=abc\r\n"
             "MON=1\r\nSAT=1\r\nTUE=0\r\nDATE=31\r\n"));
    EXPECT_TRUE(settings.on);
    EXPECT_EQ(settings.repeat, 2);
    EXPECT_EQ(settings.hour, 25);
    EXPECT_EQ(settings.minute, 0);
    EXPECT_EQ(settings.weekdays,
              (std::array<bool, 7>{false, true, false, false, false, false, true}));
    EXPECT_EQ(settings.monthDay, 31);
    EXPECT_FALSE(settings.catchUp);

    const auto empty = ReadScheduleSettings(Load(""));
    EXPECT_FALSE(empty.on);
    EXPECT_EQ(empty.repeat, 0);
    EXPECT_FALSE(empty.catchUp);
}

TEST_F(ScheduleSettingsFile, WithoutHourAndMinuteADailyRunStartsAtMidnight) {
    const auto settings =
        ReadScheduleSettings(Load("[Scheduler]\r\nUseScheduler=1\r\n"
                                  "HowToRepeat=1\r\n"));
    ScheduleMemory memory;
    EXPECT_FALSE(DecideTick(settings, test::Utc(2026, 12, 7, 23, 59, 50), memory).startRun);
    const auto decision = DecideTick(settings, test::Utc(2026, 12, 8, 0, 0, 20), memory);
    EXPECT_TRUE(decision.startRun);
    EXPECT_EQ(decision.dueTime, test::Utc(2026, 12, 8));
}

TEST_F(ScheduleSettingsFile, WrittenSettingsAndTheLastRunAreWhatAFreshReaderFinds) {
    ScheduleSettings settings;
    settings.on = true;
    settings.repeat = 3;
    settings.hour = 23;
    settings.minute = 59;
    settings.weekdays[0] = true;
    settings.weekdays[6] = true;
    settings.monthDay = 29;
    settings.catchUp = true;
    CLangIni& store = Load("[Report]\r\nReport=1\r\n");
    ASSERT_TRUE(WriteScheduleSettings(store, settings));
    ASSERT_TRUE(WriteLastScheduledRun(store, 1796000000));

    CLangIni reader;
    ASSERT_TRUE(reader.Open(path));
    const auto read = ReadScheduleSettings(reader);
    EXPECT_EQ(read.on, settings.on);
    EXPECT_EQ(read.repeat, settings.repeat);
    EXPECT_EQ(read.hour, settings.hour);
    EXPECT_EQ(read.minute, settings.minute);
    EXPECT_EQ(read.weekdays, settings.weekdays);
    EXPECT_EQ(read.monthDay, settings.monthDay);
    EXPECT_EQ(read.catchUp, settings.catchUp);
    EXPECT_EQ(ReadLastScheduledRun(reader), 1796000000);
    EXPECT_EQ(reader.GetValue(u"Report", u"Report"), u"1");
    EXPECT_EQ(reader.GetValue(u"Scheduler", u"CatchUp"), u"1");
    EXPECT_EQ(reader.GetValue(u"Scheduler", u"SUN"), u"1");
    EXPECT_EQ(reader.GetValue(u"Scheduler", u"MON"), u"0");

    CLangIni none;
    test::WriteBytes(folder / "Other.ini", "[Scheduler]\r\nHour=1\r\n");
    ASSERT_TRUE(none.Open(folder / "Other.ini"));
    EXPECT_FALSE(ReadLastScheduledRun(none));
}

}  // namespace
}  // namespace arkivo::schedule
