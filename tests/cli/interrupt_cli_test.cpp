// Ctrl-C during a run asks for a stop, as the stop button does.
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using InterruptCli = test::CliTest;

TEST_F(InterruptCli, TheFirstCtrlCStopsTheRunLikeTheStopButton) {
    AddLongJob();
    ASSERT_EQ(Arkivo({"options", "set", "report", "on"}).exitCode, 0);
    const pid_t run = StartRun();
    ::kill(run, SIGINT);
    EXPECT_EQ(test::WaitForExit(run), 130);
    const std::string printed =
        test::ReadBytes(folder / "run.out") + test::ReadBytes(folder / "run.err");
    test::ExpectHas(printed, "stopping");
    test::ExpectHas(printed, "(stopped)");
    // The epilogue ran: the report is written, and says the job was stopped.
    const auto reportLine = printed.find("Report: ");
    ASSERT_NE(reportLine, std::string::npos) << printed;
    const auto reportPath =
        printed.substr(reportLine + 8, printed.find('\n', reportLine) - reportLine - 8);
    EXPECT_NE(test::ReadBytes(reportPath).find("The run was stopped during this job"),
              std::string::npos);
    EXPECT_LT(test::FileContents(target).size(), static_cast<std::size_t>(kLongJobFiles));
}

}  // namespace
}  // namespace arkivo
