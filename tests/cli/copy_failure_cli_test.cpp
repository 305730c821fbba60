// Plain copies that fail: an unreadable source file and a target that fills up. Each is named
// with the system's reason, counted, fails the run and is listed in the report; the files
// around it are copied, and nothing partial is left under a real name.
#include "support/cli_fixture.h"
#include "support/small_file_system.h"
#include "support/unprivileged_run.h"

namespace arkivo {
namespace {

class CopyFailureCli : public test::CliTest {
  protected:
    void AddSyncJob(const std::filesystem::path& to) {
        ASSERT_EQ(Arkivo({"jobs", "add", base.string(), to.string()}).exitCode, 0);
        ASSERT_EQ(Arkivo({"options", "set", "report", "on"}).exitCode, 0);
    }

    // The run failed because of `file` alone, said why in the system's words, listed the file
    // among those that failed, and left in `to` exactly the files that were copied whole.
    void ExpectFailedAlone(const test::ProgramResult& run, const std::filesystem::path& file,
                           const std::filesystem::path& to, const std::string& reason,
                           const std::map<std::string, std::string>& copied) {
        EXPECT_EQ(run.exitCode, 1) << run.err;
        test::ExpectHas(run.out, " 1 failed");
        test::ExpectHas(run.err, "failed: " + file.string());
        test::ExpectHas(run.err, ": " + reason + "\n");
        ExpectReportListsFailed(file);
        EXPECT_EQ(test::FileContents(to), copied);
    }
};

TEST_F(CopyFailureCli, AnUnreadableFileIsNamedWithThePermissionDenied) {
    if (!test::CanRunWithoutPrivileges()) {
        GTEST_SKIP() << "running as root without setpriv: permissions would not count";
    }
    test::MakeFile(base / "readable.txt", "r");
    test::MakeFile(base / "secret.txt", "s");
    AddSyncJob(target);
    std::filesystem::create_directories(target);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
        ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0) << entry.path();
    }
    std::filesystem::permissions(base / "secret.txt", std::filesystem::perms::none);
    ExpectFailedAlone(Arkivo({"run"}, test::UnprivilegedPrefix()), base / "secret.txt", target,
                      "Permission denied", {{"readable.txt", "r"}});
}

TEST_F(CopyFailureCli, AFullTargetKeepsThePreviousVersionAndCopiesWhatFits) {
    const auto small = folder / "small";
    test::SmallFileSystem full(small);
    if (!full.mounted()) {
        GTEST_SKIP() << "no 1 MiB file system could be mounted here";
    }
    test::MakeFile(small / "big.bin", "the previous version", 1500000000);
    test::MakeFile(base / "big.bin", std::string(3 << 20, 'b'), 1600000000);
    test::MakeFile(base / "small.txt", "s");
    AddSyncJob(small);
    ExpectFailedAlone(Arkivo({"run"}), base / "big.bin", small, "No space left on device",
                      {{"big.bin", "the previous version"}, {"small.txt", "s"}});
}

}  // namespace
}  // namespace arkivo
