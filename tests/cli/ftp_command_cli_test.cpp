// `arkivo ftp test` and `arkivo ftp ls` against a real FTP server: the login a job would make,
// the folder's listing, and what the user is told when either fails or the listing holds names
// that must not be used.
#include "support/cli_fixture.h"
#include "support/ftp_server.h"

namespace arkivo {
namespace {

using test::ExpectHas;
using test::ExpectLacks;

class FtpCommandTest : public test::CliTest {
  protected:
    FtpCommandTest() {
        test::WriteBytes(served / "docs" / "a.txt", "a");
        test::WriteBytes(served / "docs" / "b c.txt", "bc");
        std::filesystem::create_directories(served / "docs" / "inner folder");
    }

    test::ProgramResult Ftp(const test::FtpTestServer& server, std::string command,
                            std::string password, std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments = {
            "ftp", command,  "ftp://127.0.0.1/docs",       "--user",
            "u",   "--port", std::to_string(server.port())};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return ArkivoWith({"ARKIVO_FTP_PASSWORD=" + password}, arguments);
    }

    test::TempFolder served;
};

TEST_F(FtpCommandTest, TestLogsInAndCountsWhatTheFolderHolds) {
    test::FtpTestServer server(served.path());
    for (const bool active : {false, true}) {
        SCOPED_TRACE(active);
        const auto result =
            Ftp(server, "test", "p",
                active ? std::vector<std::string>{"--active"} : std::vector<std::string>{});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        ExpectHas(result.out, "Logged in to 127.0.0.1 port " + std::to_string(server.port()) +
                                  " as u.\nFolder /docs: 1 folder, 2 files.\n");
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(FtpCommandTest, AWrongPasswordOrFolderIsToldInTheServersWords) {
    test::FtpTestServer server(served.path());
    const auto login = Ftp(server, "test", "wrong");
    EXPECT_EQ(login.exitCode, 1);
    ExpectHas(login.err, "arkivo: cannot log in to 127.0.0.1 port " +
                             std::to_string(server.port()) + ": 530 Authentication failed.");
    EXPECT_EQ(login.out, "");

    const auto folder =
        ArkivoWith({"ARKIVO_FTP_PASSWORD=p"}, {"ftp", "ls", "ftp://127.0.0.1/missing", "--user",
                                               "u", "--port", std::to_string(server.port())});
    EXPECT_EQ(folder.exitCode, 1);
    ExpectHas(folder.err, "arkivo: cannot open the folder /missing at 127.0.0.1 port " +
                              std::to_string(server.port()) + ": 550 ");

    const auto notFtp = ArkivoWith({}, {"ftp", "test", "/local/folder"});
    EXPECT_EQ(notFtp.exitCode, 2);
    ExpectHas(notFtp.err, "not an FTP location with a folder: /local/folder");
}

TEST_F(FtpCommandTest, LsListsEveryNameAndLeavesOutTheUnsafeOnes) {
    test::FtpTestServer plain(served.path());
    const auto listed = Ftp(plain, "ls", "p");
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "a.txt\nb c.txt\ninner folder/\n");

    test::FtpTestServer hostile(served.path(), {"--hostile"});
    const auto result = Ftp(hostile, "ls", "p");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "ok.txt\n");
    ExpectHas(result.err, "arkivo: left out ../escape.txt: the name holds a path separator\n");
    ExpectHas(result.err, "arkivo: left out ..: the name names the folder itself or its parent\n");
    ExpectHas(result.err, "arkivo: left out nul\\x00name: the name holds a NUL character\n");
    ExpectHas(result.err, "arkivo: 1 line of the listing not understood\n");
    ExpectLacks(result.out, "escape");
}

}  // namespace
}  // namespace arkivo
