// The periodic auto-detect switch and its cycle time as "Option.ini" holds them.
#include "schedule/auto_detect_settings.h"

#include <gtest/gtest.h>

#include <list>

#include "settings/lang_ini.h"
#include "support/temp_folder.h"

namespace arkivo::schedule {
namespace {

TEST(AutoDetectSettings, OnlyOneSwitchesItOnAndACycleOfNoHoursIsOneHour) {
    const test::TempFolder folder;
    std::list<CLangIni> stores;
    const auto read = [&](const std::string& bytes) {
        test::WriteBytes(folder / "Option.ini", bytes);
        stores.emplace_back().Open(folder / "Option.ini");
        return ReadAutoDetectSettings(stores.back());
    };
    const struct {
        std::string file;
        bool on;
        long long hours;
    } cases[] = {
        {"", false, 1},
        {"[HowToBackup]\r\nAutoDetect=1\r\n", true, 1},
        {"[HowToBackup]\r\nAutoDetect=2\r\nAutoDetectCycleTime=3\r\n", false, 3},
        {"[HowToBackup]\r\nAutoDetect=1\r\nAutoDetectCycleTime=0\r\n", true, 1},
        {"[HowToBackup]\r\nAutoDetect=1\r\nAutoDetectCycleTime=\r\n", true, 1},
        {"[HowToBackup]\r\nAutoDetectCycleTime=23\r\n", false, 23},
    };
    for (const auto& c : cases) {
        const auto settings = read(c.file);
        EXPECT_EQ(settings.on, c.on) << c.file;
        EXPECT_EQ(settings.cycleHours, c.hours) << c.file;
    }

    ASSERT_TRUE(WriteAutoDetectSettings(stores.back(), true, 5));
    const auto written = read(test::ReadBytes(folder / "Option.ini"));
    EXPECT_TRUE(written.on);
    EXPECT_EQ(written.cycleHours, 5);
    ASSERT_TRUE(WriteAutoDetectSettings(stores.back(), false, std::nullopt));
    const auto off = read(test::ReadBytes(folder / "Option.ini"));
    EXPECT_FALSE(off.on);
    EXPECT_EQ(off.cycleHours, 5);
}

}  // namespace
}  // namespace arkivo::schedule
