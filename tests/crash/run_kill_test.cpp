// Backup runs killed (SIGKILL) at random moments while the source keeps changing between
// runs: whatever moment the kill comes at, the target holds no torn file and no broken
// archive under a real name, the job list still loads, and one run left to finish brings the
// backup up to date.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "crash/backup_checks.h"
#include "crash/kill_plan.h"
#include "crash/source_history.h"
#include "support/cli_fixture.h"

namespace arkivo::test {
namespace {

enum class Kind { SyncWithDeletion, Differential, DifferentialZip, Incremental };

std::string KindName(const ::testing::TestParamInfo<Kind>& info) {
    switch (info.param) {
        case Kind::SyncWithDeletion:
            return "SyncWithDeletion";
        case Kind::Differential:
            return "Differential";
        case Kind::DifferentialZip:
            return "DifferentialZip";
        case Kind::Incremental:
            return "Incremental";
    }
    return "";
}

class RunKillTest : public CliTest, public ::testing::WithParamInterface<Kind> {
  protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        seed_ = SeedFor(CrashSeed(), test);
        random_.seed(seed_);
        std::printf("%s: seed %llu (ARKIVO_CRASH_SEED replays the run)\n", test.c_str(),
                    static_cast<unsigned long long>(CrashSeed()));
    }

    // The job, with a finished full copy as the reference of a differential one.
    void AddJob() {
        const Kind kind = GetParam();
        const bool incremental = kind == Kind::Incremental;
        ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string(), "--type",
                          incremental ? "inc" : "sync"})
                      .exitCode,
                  0);
        if (kind == Kind::SyncWithDeletion) {
            ASSERT_EQ(Arkivo({"options", "set", "sync-delete", "on", "--job", "1"}).exitCode, 0);
        }
        if (kind == Kind::Differential || kind == Kind::DifferentialZip) {
            ASSERT_EQ(Arkivo({"run"}).exitCode, 0);
            std::vector<std::string> set = {"jobs", "set", "1", "--type", "dif"};
            if (kind == Kind::DifferentialZip) {
                set.insert(set.end(), {"--zip", "on"});
            }
            ASSERT_EQ(Arkivo(set).exitCode, 0);
        }
    }

    // One run killed after a random delay, or let finish when it ends first; true when the
    // kill came while it ran. A run that ends first shortens the delays that follow.
    bool RunAndKill() {
        const auto delay = std::chrono::microseconds(random_() % maxDelay_.count());
        const auto started = std::chrono::steady_clock::now();
        const pid_t pid = StartProgram({kArkivo.string(), "--home", home.string(), "run"},
                                       folder / "run.out", folder / "run.err");
        ::usleep(static_cast<useconds_t>(delay.count()));
        ::kill(pid, SIGKILL);
        const int exit = WaitForExit(pid);
        if (exit == -SIGKILL) {
            return true;
        }
        EXPECT_EQ(exit, 0) << "a run after a kill failed: " << ReadBytes(folder / "run.err");
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - started);
        maxDelay_ = std::max(std::chrono::microseconds(2000), took * 9 / 10);
        return false;
    }

    void CheckJobListLoads() {
        const JobTable table = Jobs();
        ASSERT_EQ(table.loadStatus, LoadStatus::Ok);
        EXPECT_EQ(table.jobCount(), 1u);
    }

    std::uint64_t seed_ = 0;
    std::mt19937_64 random_;
    std::chrono::microseconds maxDelay_{400000};
};

TEST_P(RunKillTest, KilledRunsLeaveNoTornFileAndTheNextRunCompletes) {
    SourceHistory history(base, random_);
    history.MakeInitialTree(150);
    AddJob();
    if (HasFatalFailure()) {
        return;
    }
    const int wanted = std::max(1, TotalKills() / 4);
    int kills = 0;
    int rounds = 0;
    for (; kills < wanted && rounds < wanted * 10 && !HasFailure(); ++rounds) {
        history.Mutate();
        kills += RunAndKill() ? 1 : 0;
        SCOPED_TRACE("after round " + std::to_string(rounds));
        CheckTarget(target, kArkivo, history);
        CheckJobListLoads();
    }
    std::printf("%d kills in %d runs\n", kills, rounds);
    EXPECT_EQ(kills, wanted) << "the runs ended before the kills";

    history.Mutate();
    const auto finished = Arkivo({"run"});
    ASSERT_EQ(finished.exitCode, 0) << finished.out << finished.err;
    CheckTarget(target, kArkivo, history);
    CheckJobListLoads();
    if (GetParam() == Kind::SyncWithDeletion) {
        EXPECT_EQ(FileContents(target), FileContents(base));
        return;
    }
    const auto dated = NewestDated(target);
    ASSERT_FALSE(dated.empty());
    TempFolder unpacked;
    auto copies = dated;
    if (GetParam() == Kind::DifferentialZip) {
        ASSERT_EQ(
            RunProgram("/usr/bin/unzip", {"-qo", dated.string(), "-d", unpacked.path()}, {}, "/")
                .exitCode,
            0);
        copies = unpacked / dated.stem();
    }
    for (const auto& changed : history.changed()) {
        EXPECT_EQ(ReadBytes(copies / changed), ReadBytes(base / changed))
            << changed << " changed but its last version is not in " << dated;
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, RunKillTest,
                         ::testing::Values(Kind::SyncWithDeletion, Kind::Differential,
                                           Kind::DifferentialZip, Kind::Incremental),
                         KindName);

}  // namespace
}  // namespace arkivo::test
