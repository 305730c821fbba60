// `arkivo run` with jobs on a real FTP server (pyftpdlib): a job that cannot log in fails the
// run with the server's reason and the exit code, and the jobs after it still run.
#include "support/cli_fixture.h"
#include "support/ftp_server.h"

namespace arkivo {
namespace {

using test::ExpectHas;
using test::FileContents;
using test::FtpTestServer;
using test::MakeFile;
using test::TempFolder;

class FtpRunCli : public test::CliTest {};

TEST_F(FtpRunCli, ALoginRefusedFailsItsJobAndTheRunWhileTheOtherJobsRun) {
    TempFolder served;
    MakeFile(served / "src/a.txt", "alpha");
    MakeFile(base / "local.txt", "local");
    FtpTestServer server(served.path());
    const std::string port = std::to_string(server.port());
    const auto refused =
        Arkivo({"jobs", "add", "ftp://127.0.0.1/src", (folder / "from-ftp").string(), "--base-user",
                "u", "--base-password", "wrong", "--base-port", port});
    ASSERT_EQ(refused.exitCode, 0) << refused.err;
    const auto fine =
        Arkivo({"jobs", "add", "ftp://127.0.0.1/src", (folder / "from-ftp-too").string(),
                "--base-user", "u", "--base-password", "p", "--base-port", port});
    ASSERT_EQ(fine.exitCode, 0) << fine.err;
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);

    const auto run = Arkivo({"run"});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    // The server's own words say why.
    ExpectHas(run.out + run.err, "530");
    EXPECT_FALSE(std::filesystem::exists(folder / "from-ftp" / "a.txt"));
    EXPECT_EQ(FileContents(folder / "from-ftp-too"), FileContents(served / "src"));
    EXPECT_EQ(FileContents(target), FileContents(base));

    // Once the password is right, the same run succeeds.
    ASSERT_EQ(Arkivo({"jobs", "set", "1", "--base-password", "p"}).exitCode, 0);
    const auto again = Arkivo({"run"});
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
    EXPECT_EQ(FileContents(folder / "from-ftp"), FileContents(served / "src"));
}

}  // namespace
}  // namespace arkivo
