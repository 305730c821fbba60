// A run while another run holds the data folder does nothing but say so.
#include "settings/run_lock.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace arkivo
