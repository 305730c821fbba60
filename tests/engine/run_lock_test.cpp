// A run while another run holds the data folder does nothing but say so.
#include "settings/run_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "support/engine_fixture.h"

namespace arkivo {
namespace {

using RunLockTest = test::EngineTest;

TEST_F(RunLockTest, ARunWhileAnotherHoldsTheFolderIsRefusedAndTouchesNothing) {
    test::MakeFile(base / "a.txt", "a");
    AddJob(base, target);
    {
        const RunLock other(home);
        ASSERT_FALSE(other.Refused());
        const auto summary = Run();
        EXPECT_TRUE(summary.refused);
        EXPECT_FALSE(summary.Succeeded());
        EXPECT_EQ(summary.jobsRun, 0u);
        EXPECT_TRUE(summary.reportFile.empty());
        ASSERT_EQ(observer.messages.size(), 1u);
        EXPECT_TRUE(observer.messages[0].IsText(text::RunAnotherInProgress));
        EXPECT_TRUE(observer.startedJobs.empty());
        EXPECT_FALSE(std::filesystem::exists(target));
    }
    const auto summary = Run();
    EXPECT_FALSE(summary.refused);
    EXPECT_TRUE(summary.Succeeded());
    EXPECT_EQ(test::FileContents(target), (std::map<std::string, std::string>{{"a.txt", "a"}}));
}

// An auto-detect pass looks at the lock by taking it for an instant; a run starting in that
// instant goes ahead once the look lets go, while a look never waits for a run.
TEST_F(RunLockTest, ARunWaitsOutAMomentaryLookButALookNeverWaits) {
    test::MakeFile(base / "a.txt", "a");
    AddJob(base, target);
    std::promise<void> taken;
    auto look = std::async(std::launch::async, [&] {
        const RunLock momentary(home, RunLockPatience::None);
        taken.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return momentary.Refused();
    });
    taken.get_future().wait();
    const auto summary = Run();
    EXPECT_FALSE(look.get());
    EXPECT_FALSE(summary.refused);
    EXPECT_TRUE(summary.Succeeded());

    const RunLock run(home);
    ASSERT_FALSE(run.Refused());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunLock(home, RunLockPatience::None).Refused());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));
}

}  // namespace
}  // namespace arkivo
