// FTP passwords that never pass through the command line: from a file, from the environment,
// and typed at a prompt that does not echo them.
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <utmp.h>

#include <chrono>
#include <csignal>

#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using test::ExpectHas;

// `arkivo` on a pseudo-terminal of its own, as in a terminal window. The test keeps the
// terminal's far side open too, so its settings outlive the program and can be checked.
class TerminalSession {
  public:
    TerminalSession(const std::filesystem::path& workingFolder, std::vector<std::string> arguments,
                    std::vector<std::string> environment) {
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& variable : environment) {
            envp.push_back(variable.data());
        }
        envp.push_back(nullptr);
        if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::signal(SIGINT, SIG_DFL);
            ::close(master_);
            if (::login_tty(slave_) != 0 || ::chdir(workingFolder.c_str()) != 0) {
                ::_exit(127);
            }
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }
    ~TerminalSession() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(master_);
        ::close(slave_);
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // Reads what the program shows until `text` has appeared; false after ten seconds.
    bool WaitFor(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (shown_.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            ReadSome(100);
        }
        return true;
    }

    void Type(const std::string& keys) {
        ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Waits for the program to end and takes the rest of what it showed; the wait status.
    int Finish() {
        int status = -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            ReadSome(50);
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                while (ReadSome(50)) {
                }
                return status;
            }
        }
        ADD_FAILURE() << "the program did not end; it showed:\n" << shown_;
        return status;
    }

    bool EchoIsOn() const {
        struct termios settings {};
        EXPECT_EQ(::tcgetattr(slave_, &settings), 0);
        return (settings.c_lflag & ECHO) != 0;
    }

    const std::string& shown() const { return shown_; }

  private:
    bool ReadSome(int milliseconds) {
        struct pollfd ready {
            master_, POLLIN, 0
        };
        if (::poll(&ready, 1, milliseconds) <= 0) {
            return false;
        }
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        shown_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int master_ = -1;
    int slave_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    std::string shown_;
};

class FtpPasswordCli : public test::CliTest {
  protected:
    std::unique_ptr<TerminalSession> OnTerminal(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {test::kArkivo.string(), "--home", home.string()});
        return std::make_unique<TerminalSession>(
            folder.path(), arguments,
            std::vector<std::string>{"HOME=" + folder.path().string(), "PATH=/usr/bin:/bin"});
    }
};

TEST_F(FtpPasswordCli, ComesFromAFileOrTheEnvironmentAndIsNeverShown) {
    test::MakeFile(folder / "password.txt", "file-secret\r\nsecond line\n");
    // A relative name is the user's, not the data folder's.
    const auto fromFile = Arkivo({"jobs", "add", "/a", "ftp://nas/a", "--target-user", "mika",
                                  "--target-password-file", "password.txt"});
    ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;
    EXPECT_EQ(Jobs().jobs.at(0).targetFtpPassword, u"file-secret");

    const std::vector<std::string> variables = {"ARKIVO_TARGET_PASSWORD=env-secret",
                                                "ARKIVO_BASE_PASSWORD=base-secret"};
    ASSERT_EQ(ArkivoWith(variables, {"jobs", "add", "/b", "ftp://nas/b", "--target-user", "mika"})
                  .exitCode,
              0);
    auto job = Jobs().jobs.at(1);
    EXPECT_EQ(job.targetFtpPassword, u"env-secret");
    EXPECT_EQ(job.baseFtpPassword, u"") << "the base is a local folder";
    ASSERT_EQ(ArkivoWith(variables, {"jobs", "add", "ftp://nas/c", "/c", "--base-user", "ren",
                                     "--base-password", "typed"})
                  .exitCode,
              0);
    EXPECT_EQ(Jobs().jobs.at(2).baseFtpPassword, u"typed") << "the option comes first";
    ASSERT_EQ(ArkivoWith(variables, {"jobs", "add", "/d", "ftp://nas/d", "--target-user", "mika",
                                     "--target-password", "hunter2", "--target-port", "2121"})
                  .exitCode,
              0);
    EXPECT_EQ(Jobs().jobs.at(3).targetFtpPassword, u"hunter2");
    EXPECT_EQ(Jobs().jobs.at(3).targetFtpPort, 2121u);

    // A new password for a job, and one for a new user; a change of anything else keeps it.
    test::MakeFile(folder / "new.txt", "renewed");
    ASSERT_EQ(
        Arkivo({"jobs", "set", "1", "--target-password-file", folder.path().string() + "/new.txt"})
            .exitCode,
        0);
    EXPECT_EQ(Jobs().jobs.at(0).targetFtpPassword, u"renewed");
    ASSERT_EQ(ArkivoWith(variables, {"jobs", "set", "1", "--dot-folders", "on"}).exitCode, 0);
    EXPECT_EQ(Jobs().jobs.at(0).targetFtpPassword, u"renewed");
    ASSERT_EQ(ArkivoWith(variables, {"jobs", "set", "1", "--target-user", "ren", "--target-port",
                                     "2121", "--target-active"})
                  .exitCode,
              0);
    job = Jobs().jobs.at(0);
    EXPECT_EQ(job.targetFtpUser, u"ren");
    EXPECT_EQ(job.targetFtpPassword, u"env-secret");
    EXPECT_EQ(job.targetFtpPort, 2121u);
    EXPECT_EQ(job.targetFtpPassive, 0u);

    const auto shown = Arkivo({"jobs", "show", "1", "2", "3", "4"});
    ASSERT_EQ(shown.exitCode, 0);
    ExpectHas(shown.out, "Target FTP        user ren, port 2121, active mode, password set\n");
    ExpectHas(shown.out, "Target FTP        user mika, port 21, passive mode, password set\n");
    for (auto secret : {"secret", "renewed", "typed", "hunter2"}) {
        EXPECT_EQ(shown.out.find(secret), std::string::npos) << secret;
        test::ExpectLacks(Arkivo({"jobs", "list"}).out, secret);
    }
}

TEST_F(FtpPasswordCli, AFileThatCannotBeReadOrTwoSourcesAreRefused) {
    ASSERT_EQ(Arkivo({"jobs", "list"}).exitCode, 0);
    const auto missing = Arkivo({"jobs", "add", "/a", "ftp://nas/a", "--target-user", "mika",
                                 "--target-password-file", "missing.txt"});
    EXPECT_NE(missing.exitCode, 0);
    ExpectHas(missing.err, (folder / "missing.txt").string());
    ExpectHas(missing.err, "No such file or directory");
    test::MakeFile(folder / "password.txt", "secret");
    EXPECT_NE(Arkivo({"jobs", "add", "/a", "ftp://nas/a", "--target-user", "mika",
                      "--target-password", "x", "--target-password-file", "password.txt"})
                  .exitCode,
              0);
    EXPECT_TRUE(Jobs().jobs.empty());
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0);
    const auto local = Arkivo({"jobs", "set", "1", "--target-password-file", "password.txt"});
    EXPECT_EQ(local.exitCode, 1);
    ExpectHas(local.err, English(u"MsgJobSet", u"FtpOnLocalSide"));
    const auto help = Arkivo({"jobs", "add", "--help"});
    ExpectHas(help.out, "other users can see it in the process list");
}

TEST_F(FtpPasswordCli, APromptOnTheTerminalTakesThePasswordWithoutShowingIt) {
    auto session = OnTerminal({"jobs", "add", "/a", "ftp://nas/backup", "--target-user", "mika"});
    ASSERT_TRUE(session->WaitFor("FTP password for mika at ftp://nas/backup (target): "))
        << session->shown();
    EXPECT_FALSE(session->EchoIsOn());
    session->Type("pty-secret\n");
    const int status = session->Finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << session->shown();
    ExpectHas(session->shown(), "Added job 1");
    EXPECT_EQ(session->shown().find("pty-secret"), std::string::npos) << session->shown();
    EXPECT_TRUE(session->EchoIsOn());
    EXPECT_EQ(Jobs().jobs.at(0).targetFtpPassword, u"pty-secret");

    // Given another way, or for a local side, nothing is asked.
    test::MakeFile(folder / "password.txt", "file-secret");
    auto fromFile = OnTerminal({"jobs", "add", "ftp://nas/b", "/b", "--base-user", "mika",
                                "--base-password-file", "password.txt"});
    EXPECT_EQ(fromFile->Finish(), 0) << fromFile->shown();
    EXPECT_EQ(fromFile->shown().find("password for"), std::string::npos) << fromFile->shown();
    EXPECT_EQ(Jobs().jobs.at(1).baseFtpPassword, u"file-secret");

    // Without a terminal there is no prompt to wait for: the job has no password.
    ASSERT_EQ(Arkivo({"jobs", "add", "/c", "ftp://nas/c", "--target-user", "mika"}).exitCode, 0);
    EXPECT_EQ(Jobs().jobs.at(2).targetFtpPassword, u"");
}

// Ctrl-C at the prompt ends the program, and the terminal echoes again.
TEST_F(FtpPasswordCli, InterruptingThePromptGivesTheTerminalItsEchoBack) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "ftp://nas/a", "--target-user", "mika"}).exitCode, 0);
    auto session = OnTerminal({"jobs", "set", "1", "--target-user", "ren"});
    ASSERT_TRUE(session->WaitFor("FTP password for ren")) << session->shown();
    EXPECT_FALSE(session->EchoIsOn());
    session->Type("half");
    session->Type("\x03");
    const int status = session->Finish();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(session->EchoIsOn());
    EXPECT_EQ(Jobs().jobs.at(0).targetFtpUser, u"mika");
}

}  // namespace
}  // namespace arkivo
