// A change that cannot be written says which file and why, in the words of the system; a job
// list that cannot be read says why rather than that it is missing ("EF002"). Either ends the
// program with exit code 3.
#include <sys/stat.h>

#include "support/cli_fixture.h"
#include "support/unprivileged_run.h"

namespace arkivo {
namespace {

using test::ReadBytes;

class WriteFailureCli : public test::CliTest {
  protected:
    void SetUp() override { ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0); }

    // Files may not grow past blocks of 512 bytes, as on a full disk; the signal that would
    // end the program is ignored, so writes fail with an error instead.
    test::ProgramResult WithFileSizeLimit(int blocks, std::vector<std::string> arguments) {
        return Arkivo(std::move(arguments), {"/bin/sh", "-c",
                                             "trap '' XFSZ; ulimit -f " + std::to_string(blocks) +
                                                 "; exec \"$0\" \"$@\""});
    }

    test::ProgramResult WithoutPermissions(std::vector<std::string> arguments) {
        return Arkivo(std::move(arguments), test::UnprivilegedPrefix());
    }

    // What the program says of a file it could not write or read, and why.
    static std::string Names(const std::string& what, const std::filesystem::path& file,
                             int error) {
        return what + file.string() + " (" + std::generic_category().message(error) + ")";
    }

    std::filesystem::path env = home / "LastSetting.env";
};

TEST_F(WriteFailureCli, AFullDiskIsNamedWithTheFileThatCouldNotBeSaved) {
    const std::string before = ReadBytes(env);
    ASSERT_LT(before.size(), 512u);
    const auto add = WithFileSizeLimit(1, {"jobs", "add", "/" + std::string(250, 'c'), "/d"});
    EXPECT_EQ(add.exitCode, 3);
    test::ExpectHas(add.err, Names("This file could not be written: ", env, EFBIG));
    test::ExpectLacks(add.err, "EF002");
    EXPECT_EQ(ReadBytes(env), before);
}

TEST_F(WriteFailureCli, AFilterListThatCannotBeWrittenIsNamedWithTheReason) {
    test::WriteBytes(home / "Filter.ini", "[9]\r\n1=" + std::string(600, 'x') + "\r\n");
    const auto add = WithFileSizeLimit(1, {"filters", "add", "1", "exclude", "*.tmp"});
    EXPECT_EQ(add.exitCode, 3);
    test::ExpectHas(add.err, Names("", home / "Filter.ini", EFBIG));
    test::ExpectHas(Arkivo({"filters", "list", "1"}).out, "exclude: none");
}

TEST_F(WriteFailureCli, AReadOnlyDataFolderIsNamedWithThePermissionDenied) {
    if (!test::CanRunWithoutPrivileges()) {
        GTEST_SKIP() << "running as root without setpriv: permissions would not count";
    }
    ASSERT_EQ(::chmod(env.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(home.c_str(), 0555), 0);
    const auto add = WithoutPermissions({"jobs", "add", "/c", "/d"});
    ::chmod(home.c_str(), 0755);
    EXPECT_EQ(add.exitCode, 3);
    test::ExpectHas(add.err, Names("This file could not be written: ", env, EACCES));
}

TEST_F(WriteFailureCli, AnUnreadableListSaysWhyInsteadOfCallingItMissing) {
    if (!test::CanRunWithoutPrivileges()) {
        GTEST_SKIP() << "running as root without setpriv: permissions would not count";
    }
    ASSERT_EQ(::chmod(env.c_str(), 0), 0);
    const auto unreadable = WithoutPermissions({"jobs", "list"});
    EXPECT_EQ(unreadable.exitCode, 3);
    test::ExpectHas(unreadable.err, Names("This file could not be read: ", env, EACCES));
    test::ExpectLacks(unreadable.err, "EF002");

    // A list that is a folder cannot be read by anyone, root included.
    std::filesystem::remove(env);
    std::filesystem::create_directory(env);
    const auto folderInstead = Arkivo({"jobs", "list"});
    EXPECT_EQ(folderInstead.exitCode, 3);
    test::ExpectHas(folderInstead.err, Names("", env, EISDIR));
}

}  // namespace
}  // namespace arkivo
