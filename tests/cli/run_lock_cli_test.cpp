// One backup run at a time per data folder: a run started while another works is refused,
// and a run whose process was killed holds nothing back.
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using RunLockCli = test::CliTest;

TEST_F(RunLockCli, ASecondRunIsRefusedUntilTheFirstProcessIsGone) {
    AddLongJob();
    // Stopped (SIGSTOP) once its job has begun, the first run keeps the run lock, as a slow
    // run does, for as long as the test wants.
    const pid_t first = StartRun();
    ::kill(first, SIGSTOP);
    const auto second = Arkivo({"run"});
    EXPECT_NE(second.exitCode, 0);
    test::ExpectHas(second.err, "another backup run is in progress");
    test::ExpectLacks(second.out, "Job 1");
    // The other commands go on: only runs exclude each other.
    EXPECT_EQ(Arkivo({"jobs", "list"}).exitCode, 0);

    ::kill(first, SIGKILL);
    EXPECT_EQ(test::WaitForExit(first), -SIGKILL);
    const auto third = Arkivo({"run"});
    EXPECT_EQ(third.exitCode, 0) << third.err;
    test::ExpectLacks(third.err, "another backup run");
    EXPECT_EQ(test::FileContents(target).size(), static_cast<std::size_t>(kLongJobFiles));
}

}  // namespace
}  // namespace arkivo
