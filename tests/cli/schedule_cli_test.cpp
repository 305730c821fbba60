// `arkivo schedule` as a process on a clock of its own: it starts the ticked jobs once at the
// set time, never doubles a run another process holds, catches up when asked, and stops
// cleanly on SIGTERM and SIGINT. `arkivo detect` and the options that set all this.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "common/text.h"
#include "settings/lang_ini.h"
#include "settings/run_lock.h"
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

constexpr std::int64_t kDay = 86400;
// The clock given to the program runs this many times as fast as the real one: a minute a
// second, a tick every half second.
constexpr int kSpeed = 60;

// A day after the real one, so no due time the settings commands stamp with the real time is
// later than the simulated one.
std::int64_t TomorrowUtc(int hour, int minute, int second) {
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    return (now / kDay + 1) * kDay + hour * 3600 + minute * 60 + second;
}

int Count(const std::string& text, const std::string& what) {
    int count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

class ScheduleCli : public test::CliTest {
  protected:
    void SetUp() override {
        test::MakeFile(base / "a.txt", "a");
        ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string(), "--type", "dif"}).exitCode,
                  0);
    }

    // `arkivo schedule` in UTC with its clock starting at `start`; its lines go to log.
    pid_t StartScheduler(std::int64_t start) {
        ::setenv("TZ", "UTC", 1);
        ::setenv("ARKIVO_TEST_CLOCK",
                 (std::to_string(start) + " " + std::to_string(kSpeed)).c_str(), 1);
        const pid_t pid =
            test::StartProgram({test::kArkivo.string(), "--home", home.string(), "schedule"},
                               folder / "log", folder / "err");
        ::unsetenv("ARKIVO_TEST_CLOCK");
        ::unsetenv("TZ");
        return pid;
    }

    std::string Log() { return test::ReadBytes(folder / "log"); }

    // Waits up to ten seconds for the log to show the text.
    bool WaitForLog(const std::string& text) {
        for (int i = 0; i < 1000; ++i) {
            if (Log().find(text) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // Stops the program with the signal; its exit code, once it ended.
    int StopWith(pid_t pid, int signal) {
        ::kill(pid, signal);
        return test::WaitForExit(pid);
    }

    std::string OptionFile() { return test::ReadBytes(home / "Option.ini"); }
};

TEST_F(ScheduleCli, ARunStartsOnceAtTheSetTimeAndSigtermStopsTheScheduler) {
    ASSERT_EQ(Arkivo({"options", "scheduler", "on", "--daily", "10:00"}).exitCode, 0);
    const pid_t pid = StartScheduler(TomorrowUtc(9, 59, 30));
    ASSERT_TRUE(WaitForLog("run finished")) << Log();
    EXPECT_EQ(test::DatedFolders(target, "DIF_").size(), 1u);
    // Three more minutes of ticks, the first two within 10:00.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_EQ(StopWith(pid, SIGTERM), 0);
    const auto log = Log();
    EXPECT_EQ(Count(log, "starting a run"), 1) << log;
    test::ExpectHas(log, " 10:00:");
    test::ExpectHas(log, "run finished: 1 jobs, 1 files copied");
    EXPECT_EQ(Count(log, "stopped\n"), 1) << log;
    EXPECT_EQ(log.substr(log.size() - 8), "stopped\n") << log;
    EXPECT_EQ(test::DatedFolders(target, "DIF_").size(), 1u);
    EXPECT_EQ(test::ReadBytes(folder / "err"), "");
}

TEST_F(ScheduleCli, ARunThatAnotherProcessHoldsIsNotDoubled) {
    ASSERT_EQ(Arkivo({"options", "scheduler", "on", "--daily", "10:00"}).exitCode, 0);
    pid_t pid = -1;
    {
        const RunLock otherRun(home);
        ASSERT_FALSE(otherRun.Refused());
        pid = StartScheduler(TomorrowUtc(9, 59, 40));
        ASSERT_TRUE(WaitForLog("run not started")) << Log();
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    }
    // The due time passed while the other run went on: it is not started again later.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(StopWith(pid, SIGINT), 0);
    const auto log = Log();
    EXPECT_EQ(Count(log, "starting a run"), 1) << log;
    EXPECT_EQ(Count(log, "run not started: another run holds the data folder"), 1) << log;
    test::ExpectHas(log, "another backup run is in progress");
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(log.substr(log.size() - 8), "stopped\n") << log;
}

TEST_F(ScheduleCli, ARunMissedWhileOffIsCaughtUpOnceWhenAsked) {
    for (const bool catchUp : {false, true}) {
        std::filesystem::remove_all(target);
        ASSERT_EQ(Arkivo({"options", "scheduler", "on", "--daily", "10:00", "--catch-up",
                          catchUp ? "on" : "off"})
                      .exitCode,
                  0);
        // The last run the scheduler started was for yesterday's 10:00; it starts again at
        // 15:00, after today's was missed.
        CLangIni option;
        option.Open(home / "Option.ini");
        ASSERT_TRUE(StoreValue(option, u"Scheduler", u"LastScheduledRun",
                               Utf8ToUtf16(std::to_string(TomorrowUtc(10, 0, 0) - kDay))));
        const pid_t pid = StartScheduler(TomorrowUtc(15, 0, 0));
        if (catchUp) {
            ASSERT_TRUE(WaitForLog("run finished")) << Log();
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));
        EXPECT_EQ(StopWith(pid, SIGTERM), 0);
        const auto log = Log();
        EXPECT_EQ(Count(log, "starting a run"), catchUp ? 1 : 0) << log;
        EXPECT_EQ(Count(log, "missed while the machine was off or asleep"), catchUp ? 1 : 0) << log;
        EXPECT_EQ(test::DatedFolders(target, "DIF_").size(), catchUp ? 1u : 0u);
    }
}

TEST_F(ScheduleCli, DetectMarksWhatARunWouldCopyAndTheListShowsIt) {
    const auto second = folder / "second";
    test::MakeFile(second / "skip.tmp", "t");
    ASSERT_EQ(Arkivo({"jobs", "add", second.string(), (folder / "t2").string(), "--type", "dif"})
                  .exitCode,
              0);
    ASSERT_EQ(Arkivo({"filters", "add", "2", "exclude", "*.tmp"}).exitCode, 0);
    const auto detect = Arkivo({"detect"});
    ASSERT_EQ(detect.exitCode, 0) << detect.err;
    EXPECT_EQ(detect.out,
              "Job 1 has files to copy: " + base.string() + " -> " + target.string() + "\n");
    EXPECT_FALSE(std::filesystem::exists(target));
    const auto list = Arkivo({"jobs", "list"});
    test::ExpectHas(list.out, "TO COPY");
    test::ExpectHas(list.out, "dif   yes");
    test::ExpectHas(list.out, "dif   -");

    // A run clears the mark; a differential compares with the target root, which its run does
    // not fill, so the next pass marks it again.
    ASSERT_EQ(Arkivo({"run", "1"}).exitCode, 0);
    test::ExpectLacks(Arkivo({"jobs", "list"}).out, "yes");
    EXPECT_EQ(Arkivo({"detect"}).out, detect.out);
    test::MakeFile(target / "a.txt", "a");
    EXPECT_EQ(Arkivo({"detect"}).out, "No job has files to copy.\n");
}

TEST_F(ScheduleCli, SchedulerOptionsAreStoredAndOutOfRangeValuesRefusedWithTheSettingsTexts) {
    const auto weekly =
        Arkivo({"options", "scheduler", "on", "--weekly", "mon,FRI", "07:05", "--catch-up", "on"});
    ASSERT_EQ(weekly.exitCode, 0) << weekly.err;
    auto file = OptionFile();
    for (const char* line : {"UseScheduler=1", "HowToRepeat=2", "Hour=7", "Min=5", "MON=1", "FRI=1",
                             "SUN=0", "CatchUp=1"}) {
        EXPECT_NE(file.find(std::string(line) + "\r\n"), std::string::npos) << line << file;
    }
    ASSERT_EQ(Arkivo({"options", "scheduler", "--monthly", "31", "23:59"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"options", "set", "auto-detect", "on", "--every", "0"}).exitCode, 0);
    const auto shown = Arkivo({"options"}).out;
    test::ExpectHas(shown, "scheduler = on, monthly on day 31 at 23:59, catch-up on");
    test::ExpectHas(shown, "auto-detect = on, every 1 hour\n");

    file = OptionFile();
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        const char* message;
    } refused[] = {
        {{"scheduler", "--daily", "24:00"}, 1, "Please enter an hour from 0 to 23."},
        {{"scheduler", "--daily", "10:60"}, 1, "Please enter a minute from 0 to 59."},
        {{"scheduler", "--monthly", "0", "10:00"}, 1, "Please enter a day of the month from 1"},
        {{"scheduler", "--monthly", "32", "10:00"}, 1, "Please enter a day of the month from 1"},
        {{"scheduler", "--weekly", "MON,XYZ", "10:00"}, 2, "days are SUN, MON"},
        {{"scheduler", "--daily", "10h30"}, 2, "the time is HH:MM"},
        {{"set", "auto-detect", "on", "--every", "24"}, 1, "Please enter an hour from 0 to 23."},
    };
    for (const auto& r : refused) {
        std::vector<std::string> arguments = {"options"};
        arguments.insert(arguments.end(), r.arguments.begin(), r.arguments.end());
        const auto result = Arkivo(arguments);
        EXPECT_EQ(result.exitCode, r.exitCode) << r.message;
        test::ExpectHas(result.err, r.message);
        EXPECT_EQ(OptionFile(), file) << r.message;
    }
}

}  // namespace
}  // namespace arkivo
