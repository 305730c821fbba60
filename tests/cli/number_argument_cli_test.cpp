// Numbers on the command line that cannot be right are refused in plain words, by every command
// that takes one, before anything is read or changed.
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using NumberArgumentCli = test::CliTest;

TEST_F(NumberArgumentCli, AJobNumberOfZeroIsRefusedInPlainWordsByEveryCommand) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0);
    const std::vector<std::vector<std::string>> commands = {
        {"jobs", "remove", "0"},
        {"jobs", "check", "1", "0"},
        {"jobs", "uncheck", "0"},
        {"jobs", "show", "0"},
        {"run", "0"},
        {"filters", "list", "0"},
        {"filters", "add", "0", "exclude", "*.tmp"},
        {"filters", "remove", "0", "exclude", "*.tmp"},
        {"options", "set", "zip", "on", "--job", "0"},
    };
    for (const auto& command : commands) {
        const auto refused = Arkivo(command);
        EXPECT_NE(refused.exitCode, 0) << command[0] << ' ' << command[1];
        test::ExpectHas(refused.err, "job number must be 1 or more\n");
        test::ExpectLacks(refused.err, "not in range");
    }
    EXPECT_EQ(Jobs().jobs.size(), 1u);
    EXPECT_EQ(Jobs().jobs[0].checked, 1u);
}

TEST_F(NumberArgumentCli, WordsSignsAndNumbersPastTheListAreRefusedWithWhatANumberMustBe) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0);
    const auto word = Arkivo({"jobs", "remove", "one"});
    EXPECT_NE(word.exitCode, 0);
    test::ExpectHas(word.err, "job number must be a whole number, not 'one'");
    const auto negative = Arkivo({"run", "-1"});
    EXPECT_NE(negative.exitCode, 0);
    test::ExpectHas(negative.err, "job number must be a whole number, not '-1'");
    const auto hex = Arkivo({"jobs", "uncheck", "0x1"});
    test::ExpectHas(hex.err, "not '0x1'");
    for (const char* big : {"256", "99999999999999999999999"}) {
        const auto refused = Arkivo({"jobs", "show", big});
        EXPECT_NE(refused.exitCode, 0);
        test::ExpectHas(refused.err, "job number must be 255 or less");
    }
    EXPECT_EQ(Jobs().jobs.size(), 1u);
    EXPECT_EQ(Jobs().jobs[0].checked, 1u);
    // A number the list does not reach is the dialogs' "no such job".
    test::ExpectHas(Arkivo({"jobs", "show", "2"}).err, "There is no job with that number. (2)");
}

TEST_F(NumberArgumentCli, PortsAreFromOneTo65535AndLeadingZerosAreDecimal) {
    for (const auto& [port, message] : std::vector<std::pair<std::string, std::string>>{
             {"0", "port must be 1 or more"}, {"65536", "port must be 65535 or less"}}) {
        const auto refused = Arkivo({"jobs", "add", "/a", "ftp://nas/backup", "--target-user",
                                     "mika", "--target-port", port});
        EXPECT_NE(refused.exitCode, 0);
        test::ExpectHas(refused.err, message);
    }
    EXPECT_TRUE(Jobs().jobs.empty());
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "ftp://nas/backup", "--target-user", "mika",
                      "--target-port", "021"})
                  .exitCode,
              0);
    EXPECT_EQ(Jobs().jobs.at(0).targetFtpPort, 21u);
    ASSERT_EQ(Arkivo({"jobs", "uncheck", "01"}).exitCode, 0);
    EXPECT_EQ(Jobs().jobs.at(0).checked, 0u);
}

}  // namespace
}  // namespace arkivo
