// Auto-detect passes over real trees: which jobs they mark, that they copy nothing, and how
// they give way to runs and to each other.
#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include "jobs/job_flags.h"
#include "platform/file_lock.h"
#include "schedule/auto_detect_pass.h"
#include "schedule/auto_detect_worker.h"
#include "settings/data_folder_lock.h"
#include "settings/run_lock.h"
#include "support/engine_fixture.h"

namespace arkivo::schedule {
namespace {

constexpr std::int64_t kOld = 1700000000;
constexpr std::int64_t kNew = kOld + 3600;

class AutoDetect : public test::EngineTest {
  protected:
    PassOutcome Pass(bool firstPass = false, engine::RunController* ownRun = nullptr) {
        PassWatch watch(home, ownRun);
        return RunAutoDetectPass(home, watch, firstPass);
    }

    // The job's mark as a fresh reader of "Setting.ini" finds it.
    std::u16string Mark(std::size_t jobIndex) {
        CLangIni setting;
        setting.Open(home / "Setting.ini");
        return setting.GetValue(JobSectionName(jobIndex), u"ThereisFileToCopy");
    }

    // Whether a run would copy anything, from a dry run of the job alone.
    bool DryRunWouldCopy(std::size_t jobIndex) {
        observer.plannedCopies.clear();
        engine::RunOptions options;
        options.dryRun = true;
        options.jobs = {jobIndex};
        Run(options);
        return !observer.plannedCopies.empty();
    }
};

TEST_F(AutoDetect, ANewerFileMarksTheJobAndNothingIsCopied) {
    test::MakeFile(base / "a.txt", "new", kNew);
    test::MakeFile(base / "sub" / "b.txt", "b", kOld);
    test::MakeFile(target / "a.txt", "old", kOld);
    test::MakeFile(target / "sub" / "b.txt", "b", kOld);
    const auto job = AddJob(base, target, BackupType::Dif);
    const auto listBefore = test::ReadBytes(home / "LastSetting.env");
    const auto targetBefore = test::TreeContents(target);

    const auto outcome = Pass();
    EXPECT_EQ(outcome.marked, std::vector<std::size_t>{job});
    EXPECT_FALSE(outcome.ended);
    EXPECT_EQ(Mark(job), u"1");
    EXPECT_EQ(test::TreeContents(target), targetBefore);
    EXPECT_EQ(test::ReadBytes(home / "LastSetting.env"), listBefore);

    // Once the target has it, the first pass of a new program finds nothing.
    test::MakeFile(target / "a.txt", "new", kNew);
    EXPECT_TRUE(Pass(true).marked.empty());
    EXPECT_EQ(Mark(job), u"0");
}

TEST_F(AutoDetect, FilesThatARunWouldLeaveOutMarkNothing) {
    test::MakeFile(base / "same.txt", "s", kOld);
    test::MakeFile(target / "same.txt", "s", kOld);
    test::MakeFile(base / "skip.tmp", "new", kNew);
    test::MakeFile(base / ".cache" / "state", "new", kNew);
    const auto job = AddJob(base, target, BackupType::Dif);
    Edit(job, [](JobRecord& record) { record.filterOn = 1; });
    test::WriteBytes(home / "Filter.ini", "[1]\r\n1=*.tmp\r\n");

    EXPECT_TRUE(Pass(true).marked.empty());
    EXPECT_EQ(Mark(job), u"0");
    EXPECT_FALSE(DryRunWouldCopy(job));

    // The job that takes dot folders would copy the one inside ".cache".
    WriteTakeDotFolders(stores.setting, job, true);
    EXPECT_EQ(Pass(true).marked, std::vector<std::size_t>{job});
    EXPECT_TRUE(DryRunWouldCopy(job));
}

// Each type's own rule: the pass marks a job exactly when a run of it would copy something.
TEST_F(AutoDetect, APassMarksAJobExactlyWhenARunWouldCopy) {
    struct Case {
        const char* what;
        BackupType type;
        std::function<void(const std::filesystem::path&, const std::filesystem::path&)> make;
        std::function<void(JobRecord&)> edit;
    };
    const auto none = [](JobRecord&) {};
    const Case cases[] = {
        // A synchronisation mirrors: a copy of another size counts even at the same time.
        {"sync, other size", BackupType::Sync,
         [](auto& b, auto& t) {
             test::MakeFile(b / "f", "longer", kOld);
             test::MakeFile(t / "f", "short", kOld);
         },
         none},
        {"sync, same", BackupType::Sync,
         [](auto& b, auto& t) {
             test::MakeFile(b / "f", "same", kOld);
             test::MakeFile(t / "f", "same", kOld);
         },
         none},
        // A differential copies only what is newer than the target's copy.
        {"dif, target newer", BackupType::Dif,
         [](auto& b, auto& t) {
             test::MakeFile(b / "f", "a", kOld);
             test::MakeFile(t / "f", "b", kNew);
         },
         none},
        {"dif, missing in target", BackupType::Dif,
         [](auto& b, auto&) { test::MakeFile(b / "deep" / "er" / "f", "a", kOld); }, none},
        {"inc, changed since", BackupType::Inc,
         [](auto& b, auto&) { test::MakeFile(b / "f", "a", kNew); },
         [](JobRecord& r) { r.lastIncTime = static_cast<std::uint64_t>(kOld); }},
        {"inc, unchanged", BackupType::Inc,
         [](auto& b, auto&) { test::MakeFile(b / "f", "a", kOld); },
         [](JobRecord& r) {
             r.lastIncTime = static_cast<std::uint64_t>(platform::NowUnixSeconds() + 3600);
         }},
        {"spd, within", BackupType::Spd, [](auto& b, auto&) { test::MakeFile(b / "f", "a", kNew); },
         [](JobRecord& r) {
             r.periodStart = static_cast<std::uint64_t>(kOld);
             r.periodEnd = static_cast<std::uint64_t>(kNew + 60);
         }},
        {"spd, after the end", BackupType::Spd,
         [](auto& b, auto&) { test::MakeFile(b / "f", "a", kNew); },
         [](JobRecord& r) {
             r.periodStart = static_cast<std::uint64_t>(kOld - 60);
             r.periodEnd = static_cast<std::uint64_t>(kOld);
         }},
        {"spd, no period", BackupType::Spd,
         [](auto& b, auto&) { test::MakeFile(b / "f", "a", kNew); },
         [](JobRecord& r) { r.periodEnd = 0; }},
    };
    int number = 0;
    for (const auto& c : cases) {
        const auto b = folder / ("base" + std::to_string(number));
        const auto t = folder / ("target" + std::to_string(number));
        ++number;
        std::filesystem::create_directories(b);
        std::filesystem::create_directories(t);
        c.make(b, t);
        const auto job = AddJob(b, t, c.type);
        Edit(job, c.edit);
        const auto outcome = Pass(true);
        const bool marked =
            std::find(outcome.marked.begin(), outcome.marked.end(), job) != outcome.marked.end();
        EXPECT_EQ(marked, DryRunWouldCopy(job)) << c.what;
        EXPECT_EQ(Mark(job), marked ? u"1" : u"0") << c.what;
    }
}

TEST_F(AutoDetect, MarksStayUntilARunOrTheFirstPassOfAProgramClearsThem) {
    test::MakeFile(base / "f", "a", kOld);
    test::MakeFile(target / "f", "a", kOld);
    const auto job = AddJob(base, target, BackupType::Dif);
    WriteFileToCopyFlag(stores.setting, job, 1);  // left by an earlier program

    EXPECT_EQ(Pass(false).marked, std::vector<std::size_t>{job});
    EXPECT_EQ(Mark(job), u"1");
    EXPECT_TRUE(Pass(true).marked.empty());
    EXPECT_EQ(Mark(job), u"0");

    test::MakeFile(base / "g", "new", kNew);
    EXPECT_EQ(Pass(false).marked, std::vector<std::size_t>{job});
    Run();
    EXPECT_EQ(Mark(job), u"0");
}

TEST_F(AutoDetect, JobsWithAnFtpSideAreLeftAlone) {
    test::MakeFile(base / "f", "a", kNew);
    // Taken for a local folder, the FTP side would lack the file and mark the job.
    const auto ftp = AddJob(base, folder / "to-be-ftp", BackupType::Dif);
    Edit(ftp, [](JobRecord& record) { record.targetPath = u"FTP://example.invalid/backup"; });
    const auto local = AddJob(base, target, BackupType::Dif);
    const auto outcome = Pass(true);
    EXPECT_EQ(outcome.marked, std::vector<std::size_t>{local});
    EXPECT_EQ(Mark(ftp), u"0");
    EXPECT_TRUE(outcome.messages.empty());
}

TEST_F(AutoDetect, ARunInAnotherProcessEndsThePassAndNothingIsMarked) {
    test::MakeFile(base / "f", "a", kNew);
    const auto job = AddJob(base, target, BackupType::Dif);
    const RunLock otherRun(home);
    ASSERT_FALSE(otherRun.Refused());
    const auto outcome = Pass(true);
    EXPECT_TRUE(outcome.ended);
    EXPECT_TRUE(outcome.marked.empty());
    EXPECT_NE(Mark(job), u"1");
}

TEST_F(AutoDetect, ARunStartedAfterThePassBeganEndsIt) {
    test::MakeFile(base / "f", "a", kNew);
    AddJob(base, target, BackupType::Dif);
    const auto other = folder / "other";
    test::MakeFile(other / "g", "g", kOld);
    const auto otherJob = AddJob(other, folder / "otherTarget", BackupType::Dif);
    Edit(0, [](JobRecord& record) { record.checked = 0; });
    engine::RunController control;
    // The run goes on until the pass has ended, however quick its job.
    std::promise<void> passEnded;
    std::shared_future<void> passEndedFuture = passEnded.get_future().share();
    observer.onJobStarted = [passEndedFuture](std::size_t) { passEndedFuture.wait(); };
    std::future<PassOutcome> pass;
    {
        // The pass waits for the job list while the run is being started.
        const DataFolderLock holdTheList(home);
        pass = std::async(std::launch::async, [this, &control] { return Pass(true, &control); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        control.Start(stores, observer);
    }
    const auto outcome = pass.get();
    passEnded.set_value();
    control.Wait();
    EXPECT_TRUE(outcome.ended);
    EXPECT_TRUE(outcome.marked.empty());
    EXPECT_NE(Mark(0), u"1");
    EXPECT_EQ(observer.startedJobs, std::vector<std::size_t>{otherJob});
}

TEST_F(AutoDetect, APassWaitsWhileARunIsPausedAndThenGivesWay) {
    test::MakeFile(base / "f", "a", kNew);
    const auto job = AddJob(base, target, BackupType::Dif);
    const auto other = folder / "other";
    test::MakeFile(other / "g1", "g", kOld);
    test::MakeFile(other / "g2", "g", kOld);
    AddJob(other, folder / "otherTarget", BackupType::Dif);
    Edit(job, [](JobRecord& record) { record.checked = 0; });
    engine::RunController control;
    std::promise<void> pausedAtFile;
    std::atomic<bool> once{false};
    // Paused at its first file; once resumed, it goes on until the pass has ended.
    std::promise<void> passEnded;
    std::shared_future<void> passEndedFuture = passEnded.get_future().share();
    observer.onFile = [&](const std::filesystem::path&) {
        if (!once.exchange(true)) {
            control.Pause();
            pausedAtFile.set_value();
        } else {
            passEndedFuture.wait();
        }
    };
    control.Start(stores, observer);
    pausedAtFile.get_future().wait();
    auto pass = std::async(std::launch::async, [this, &control] { return Pass(true, &control); });
    EXPECT_EQ(pass.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    control.Resume();
    const auto outcome = pass.get();
    passEnded.set_value();
    control.Wait();
    EXPECT_TRUE(outcome.ended);
    EXPECT_TRUE(outcome.marked.empty());
}

TEST_F(AutoDetect, OnePassAtATime) {
    test::MakeFile(base / "f", "a", kNew);
    const auto job = AddJob(base, target, BackupType::Dif);
    {
        platform::FileLock otherPass;
        ASSERT_FALSE(otherPass.Lock(home / "AutoDetect.lock", platform::LockWait::NotAtAll));
        const auto outcome = Pass(true);
        EXPECT_TRUE(outcome.anotherPass);
        EXPECT_TRUE(outcome.marked.empty());
    }
    // Two starts in quick succession begin one pass.
    AutoDetectWorker worker(home, nullptr);
    std::atomic<int> passes{0};
    const auto ended = [&passes](const PassOutcome&) { ++passes; };
    EXPECT_TRUE(worker.Start(ended));
    EXPECT_FALSE(worker.Start(ended));
    worker.Wait();
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(Mark(job), u"1");
    EXPECT_TRUE(worker.Start(ended));
    worker.Wait();
    EXPECT_EQ(passes, 2);
}

}  // namespace
}  // namespace arkivo::schedule
