// One backup run at a time per data folder: a run started while another works is refused,
// and a run whose process was killed holds nothing back.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "support/child_process.h"
#include "support/file_tree.h"
#include "support/run_program.h"

namespace arkivo {
namespace {

const std::filesystem::path kArkivo = ARKIVO_CLI_PATH;
constexpr int kFiles = 4000;

class RunLockCli : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < kFiles; ++i) {
            test::MakeFile(base / ("d" + std::to_string(i % 40)) / ("f" + std::to_string(i)),
                           std::string(2000, 'x'));
        }
        ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    }

    test::ProgramResult Arkivo(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--home", home.string()});
        return test::RunProgram(kArkivo, arguments, {}, folder.path());
    }

    // Starts a run and stops the process (SIGSTOP) once its job has begun: it keeps the run
    // lock, as a slow run does, for as long as the test wants.
    pid_t StartRunAndFreezeIt() {
        const auto out = folder / "first.out";
        const pid_t pid = test::StartProgram({kArkivo.string(), "--home", home.string(), "run"},
                                             out, folder / "first.err");
        for (int i = 0; i < 3000 && test::ReadBytes(out).find("Job 1: ") == std::string::npos;
             ++i) {
            ::usleep(2000);
        }
        EXPECT_NE(test::ReadBytes(out).find("Job 1: "), std::string::npos);
        ::kill(pid, SIGSTOP);
        return pid;
    }

    test::TempFolder folder;
    std::filesystem::path home = folder / "home";
    std::filesystem::path base = folder / "base";
    std::filesystem::path target = folder / "target";
};

TEST_F(RunLockCli, ASecondRunIsRefusedUntilTheFirstProcessIsGone) {
    const pid_t first = StartRunAndFreezeIt();
    const auto second = Arkivo({"run"});
    EXPECT_NE(second.exitCode, 0);
    EXPECT_NE(second.err.find("another backup run is in progress"), std::string::npos)
        << second.err;
    EXPECT_EQ(second.out.find("Job 1"), std::string::npos) << second.out;
    // The other commands go on: only runs exclude each other.
    EXPECT_EQ(Arkivo({"jobs", "list"}).exitCode, 0);

    ::kill(first, SIGKILL);
    EXPECT_EQ(test::WaitForExit(first), -SIGKILL);
    const auto third = Arkivo({"run"});
    EXPECT_EQ(third.exitCode, 0) << third.err;
    EXPECT_EQ(third.err.find("another backup run"), std::string::npos);
    EXPECT_EQ(test::FileContents(target).size(), static_cast<std::size_t>(kFiles));
}

}  // namespace
}  // namespace arkivo
