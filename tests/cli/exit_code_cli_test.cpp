// Every command ends with one of the documented exit codes: 0 done, 1 files failed or a
// request refused, 2 a wrong command line, 3 the job list or settings unreadable or
// unwritable, 4 another run holds the data folder, 130 interrupted.
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using ExitCodeCli = test::CliTest;

TEST_F(ExitCodeCli, AWrongCommandLineEndsWithTwoWhileHelpAndVersionEndWithZero) {
    const auto unknown = Arkivo({"run", "--bogus"});
    EXPECT_EQ(unknown.exitCode, 2);
    test::ExpectHas(unknown.err, "--bogus");
    EXPECT_EQ(Arkivo({"jobs", "remove"}).exitCode, 2);
    EXPECT_EQ(Arkivo({}).exitCode, 2);
    EXPECT_EQ(Arkivo({"options", "set", "colour", "on"}).exitCode, 2);
    EXPECT_EQ(Arkivo({"run", "--json", "--quiet"}).exitCode, 2);
    // A mistyped command is named, with the commands that exist at that level.
    for (const std::vector<std::string>& typo :
         {std::vector<std::string>{"jbos"}, std::vector<std::string>{"jobs", "lsit"}}) {
        const auto mistyped = Arkivo(typo);
        EXPECT_EQ(mistyped.exitCode, 2);
        test::ExpectHas(mistyped.err, "unknown command '" + typo.back() + "'");
    }
    test::ExpectHas(Arkivo({"jobs", "lsit"}).err, "list, add, set");

    const auto help = Arkivo({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* line : {"Exit codes:", "  0 ", "  1 ", "  2 ", "  3 ", "  4 ", "  130 "}) {
        EXPECT_NE(help.out.find(line), std::string::npos) << line << "\n" << help.out;
    }
    const auto version = Arkivo({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("arkivo ", 0), 0u) << version.out;
}

TEST_F(ExitCodeCli, AJobListOrSettingsThatCannotBeReadOrWrittenEndWithThree) {
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    // Settings that cannot be saved: the file may not grow past one block of 512 bytes.
    test::WriteBytes(home / "Option.ini", "[Other]\r\nText=" + std::string(600, 'x') + "\r\n");
    const auto unsaved = Arkivo({"options", "set", "report", "on"},
                                {"/bin/sh", "-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\""});
    EXPECT_EQ(unsaved.exitCode, 3);
    test::ExpectHas(unsaved.err, (home / "Option.ini").string());

    // A damaged job list, for every command that reads it.
    test::WriteBytes(home / "LastSetting.env", std::string("not a job list\0\1", 16));
    for (const auto& command : std::vector<std::vector<std::string>>{{"jobs", "list"},
                                                                     {"jobs", "show", "1"},
                                                                     {"options"},
                                                                     {"run"},
                                                                     {"run", "1"},
                                                                     {"filters", "list", "1"},
                                                                     {"jobs", "check", "1"}}) {
        const auto result = Arkivo(command);
        EXPECT_EQ(result.exitCode, 3) << command.front() << " " << command.back() << result.err;
        EXPECT_NE(result.err, "") << command.front() << " " << command.back();
    }
    const auto json = Arkivo({"run", "--json"});
    EXPECT_EQ(json.exitCode, 3);
    test::ExpectHas(json.out, "\"result\":\"unreadable\",\"exitCode\":3");

    // A data folder that cannot be made.
    test::WriteBytes(folder / "file", "");
    const auto noHome =
        test::RunProgram(test::kArkivo, {"--home", (folder / "file/home").string(), "jobs", "list"},
                         {}, folder.path());
    EXPECT_EQ(noHome.exitCode, 3);
    test::ExpectHas(noHome.err, (folder / "file/home").string() + ": Not a directory");
}

TEST_F(ExitCodeCli, ARefusedRequestEndsWithOneAndARunRefusedForAnotherEndsWithFour) {
    EXPECT_EQ(Arkivo({"jobs", "remove", "9"}).exitCode, 1);
    EXPECT_EQ(Arkivo({"filters", "add", "1", "exclude", "*.tmp"}).exitCode, 1);

    AddLongJob();
    const pid_t first = StartRun();
    ::kill(first, SIGSTOP);
    const auto second = Arkivo({"run"});
    const auto secondJson = Arkivo({"run", "--json"});
    ::kill(first, SIGKILL);
    test::WaitForExit(first);
    EXPECT_EQ(second.exitCode, 4);
    EXPECT_EQ(secondJson.exitCode, 4);
    test::ExpectHas(secondJson.out, "\"result\":\"refused\",\"exitCode\":4");
    test::ExpectHas(secondJson.err, "another backup run is in progress");
}

}  // namespace
}  // namespace arkivo
