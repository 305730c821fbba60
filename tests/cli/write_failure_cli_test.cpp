// A change that cannot be written says which file and why, in the words of the system; a job
// list that cannot be read says why rather than that it is missing ("EF002").
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/run_program.h"

namespace arkivo {
namespace {

using test::ProgramResult;
using test::ReadBytes;

const std::filesystem::path kArkivo = ARKIVO_CLI_PATH;

class WriteFailureCli : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0); }

    ProgramResult Arkivo(std::vector<std::string> arguments) {
        return Run({}, std::move(arguments));
    }

    // Files may not grow past `bytes`, as on a full disk; the signal that would end the
    // program is ignored, so writes fail with an error instead.
    ProgramResult WithFileSizeLimit(int blocksOf512, std::vector<std::string> arguments) {
        return Run(
            {"/bin/sh", "-c",
             "trap '' XFSZ; ulimit -f " + std::to_string(blocksOf512) + "; exec \"$0\" \"$@\""},
            std::move(arguments));
    }

    // Runs as a user other than the folder's owner when the tests run as root, for whom
    // permissions do not count (setpriv, from util-linux, changes the user).
    static bool CanDropPermissions() {
        return ::geteuid() != 0 || std::filesystem::exists("/usr/bin/setpriv");
    }

    ProgramResult WithoutPermissions(std::vector<std::string> arguments) {
        if (::geteuid() != 0) {
            return Run({}, std::move(arguments));
        }
        return Run({"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"},
                   std::move(arguments));
    }

    ProgramResult Run(std::vector<std::string> prefix, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--home", home.string()});
        if (prefix.empty()) {
            return test::RunProgram(kArkivo, arguments, {}, folder.path());
        }
        const std::filesystem::path program = prefix.front();
        prefix.erase(prefix.begin());
        prefix.push_back(kArkivo.string());
        arguments.insert(arguments.begin(), prefix.begin(), prefix.end());
        return test::RunProgram(program, arguments, {}, folder.path());
    }

    test::TempFolder folder;
    std::filesystem::path home = folder / "home";
    std::filesystem::path env = home / "LastSetting.env";
};

TEST_F(WriteFailureCli, AFullDiskIsNamedWithTheFileThatCouldNotBeSaved) {
    const std::string before = ReadBytes(env);
    ASSERT_LT(before.size(), 512u);
    const auto add = WithFileSizeLimit(1, {"jobs", "add", "/" + std::string(250, 'c'), "/d"});
    EXPECT_EQ(add.exitCode, 1);
    EXPECT_NE(add.err.find("This file could not be written: " + env.string() + " (" +
                           std::generic_category().message(EFBIG) + ")"),
              std::string::npos)
        << add.err;
    EXPECT_EQ(add.err.find("EF002"), std::string::npos);
    EXPECT_EQ(ReadBytes(env), before);
}

TEST_F(WriteFailureCli, AFilterListThatCannotBeWrittenIsNamedWithTheReason) {
    test::WriteBytes(home / "Filter.ini", "[9]\r\n1=" + std::string(600, 'x') + "\r\n");
    const auto add = WithFileSizeLimit(1, {"filters", "add", "1", "exclude", "*.tmp"});
    EXPECT_EQ(add.exitCode, 1);
    EXPECT_NE(add.err.find((home / "Filter.ini").string() + " (" +
                           std::generic_category().message(EFBIG) + ")"),
              std::string::npos)
        << add.err;
    EXPECT_NE(Arkivo({"filters", "list", "1"}).out.find("exclude: none"), std::string::npos);
}

TEST_F(WriteFailureCli, AReadOnlyDataFolderIsNamedWithThePermissionDenied) {
    if (!CanDropPermissions()) {
        GTEST_SKIP() << "running as root without setpriv: permissions would not count";
    }
    ASSERT_EQ(::chmod(env.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(home.c_str(), 0555), 0);
    const auto add = WithoutPermissions({"jobs", "add", "/c", "/d"});
    ::chmod(home.c_str(), 0755);
    EXPECT_EQ(add.exitCode, 1);
    EXPECT_NE(add.err.find("This file could not be written: " + env.string() + " (" +
                           std::generic_category().message(EACCES) + ")"),
              std::string::npos)
        << add.err;
}

TEST_F(WriteFailureCli, AnUnreadableListSaysWhyInsteadOfCallingItMissing) {
    if (!CanDropPermissions()) {
        GTEST_SKIP() << "running as root without setpriv: permissions would not count";
    }
    ASSERT_EQ(::chmod(env.c_str(), 0), 0);
    const auto unreadable = WithoutPermissions({"jobs", "list"});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_NE(unreadable.err.find("This file could not be read: " + env.string() + " (" +
                                  std::generic_category().message(EACCES) + ")"),
              std::string::npos)
        << unreadable.err;
    EXPECT_EQ(unreadable.err.find("EF002"), std::string::npos);

    // A list that is a folder cannot be read by anyone, root included.
    std::filesystem::remove(env);
    std::filesystem::create_directory(env);
    const auto folderInstead = Arkivo({"jobs", "list"});
    EXPECT_EQ(folderInstead.exitCode, 1);
    EXPECT_NE(
        folderInstead.err.find(env.string() + " (" + std::generic_category().message(EISDIR) + ")"),
        std::string::npos)
        << folderInstead.err;
}

}  // namespace
}  // namespace arkivo
