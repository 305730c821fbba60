// Ctrl-C during a run asks for a stop, as the stop button does.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/file_tree.h"
#include "support/numbered_name.h"
#include "support/run_program.h"

extern char** environ;

namespace arkivo {
namespace {

const std::filesystem::path kArkivo = ARKIVO_CLI_PATH;

class InterruptCli : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 4000; ++i) {
            test::MakeFile(base / test::NumberedName("d", i % 40) / test::NumberedName("f", i),
                           std::string(2000, 'x'));
        }
        ASSERT_EQ(test::RunProgram(kArkivo,
                                   {"--home", home.string(), "jobs", "add", base.string(),
                                    (folder / "target").string()},
                                   {}, folder.path())
                      .exitCode,
                  0);
        ASSERT_EQ(
            test::RunProgram(kArkivo, {"--home", home.string(), "options", "set", "report", "on"},
                             {}, folder.path())
                .exitCode,
            0);
    }

    // Starts "arkivo run", waits until the job has started, sends a SIGINT, and returns the
    // exit code and everything the program printed.
    std::pair<int, std::string> RunAndInterrupt() {
        int out[2];
        EXPECT_EQ(::pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string program = kArkivo.string(), homeArg = home.string();
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--home"),
                        const_cast<char*>(homeArg.c_str()), const_cast<char*>("run"), nullptr};
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        std::string printed;
        char buffer[256];
        bool sent = false;
        for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
            printed.append(buffer, static_cast<std::size_t>(n));
            if (!sent && printed.find("Job 1: ") != std::string::npos) {
                sent = true;
                ::kill(pid, SIGINT);
            }
        }
        ::close(out[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, printed};
    }

    test::TempFolder folder;
    std::filesystem::path home = folder / "home";
    std::filesystem::path base = folder / "base";
};

TEST_F(InterruptCli, TheFirstCtrlCStopsTheRunLikeTheStopButton) {
    const auto [code, printed] = RunAndInterrupt();
    EXPECT_EQ(code, 1);
    EXPECT_NE(printed.find("stopping"), std::string::npos) << printed;
    EXPECT_NE(printed.find("(stopped)"), std::string::npos) << printed;
    // The epilogue ran: the report is written, and says the job was stopped.
    const auto reportLine = printed.find("Report: ");
    ASSERT_NE(reportLine, std::string::npos) << printed;
    const auto reportPath =
        printed.substr(reportLine + 8, printed.find('\n', reportLine) - reportLine - 8);
    EXPECT_NE(test::ReadBytes(reportPath).find("The run was stopped during this job"),
              std::string::npos);
    EXPECT_LT(test::FileContents(folder / "target").size(), 4000u);
}

}  // namespace
}  // namespace arkivo
