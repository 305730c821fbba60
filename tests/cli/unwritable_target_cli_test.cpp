// A target that takes no new files (no permission, a read-only mount) is named once, with the
// system's reason, and the job fails; its files and sub-folders are not each reported missing.
#include "support/cli_fixture.h"
#include "support/small_file_system.h"
#include "support/unprivileged_run.h"

namespace arkivo {
namespace {

using test::MakeFile;

std::vector<std::string> FailureLines(const std::string& err) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (auto end = err.find('\n'); end != std::string::npos; end = err.find('\n', at)) {
        const std::string line = err.substr(at, end - at);
        if (line.find("failed") != std::string::npos) {
            lines.push_back(line);
        }
        at = end + 1;
    }
    return lines;
}

class UnwritableTargetCli : public test::CliTest {
  protected:
    // A base of files in nested sub-folders and a sync job that also deletes what the base
    // lacks, into `to`, which already exists and holds a file the base lacks.
    void AddSyncJob(const std::filesystem::path& to) {
        MakeFile(base / "top.txt", "t");
        MakeFile(base / "a/one.txt", "1");
        MakeFile(base / "a/b/two.txt", "2");
        MakeFile(base / "c/three.txt", "3");
        ASSERT_EQ(Arkivo({"jobs", "add", base.string(), to.string()}).exitCode, 0);
        ASSERT_EQ(Arkivo({"options", "set", "sync-delete", "on", "--job", "1"}).exitCode, 0);
    }

    void ExpectSaidOnce(const test::ProgramResult& run, const std::filesystem::path& to,
                        const std::string& reason) {
        EXPECT_EQ(run.exitCode, 1) << run.err;
        test::ExpectHas(run.out, "Job 1: 0 copied, 0 deleted, 1 failed");
        EXPECT_EQ(FailureLines(run.err),
                  std::vector<std::string>{"arkivo: failed: " + to.string() + ": " + reason})
            << run.err;
    }
};

TEST_F(UnwritableTargetCli, ATargetWithoutWritePermissionIsSaidOnce) {
    if (!test::CanRunWithoutPrivileges()) {
        GTEST_SKIP() << "running as root without setpriv: permissions would not count";
    }
    AddSyncJob(target);
    MakeFile(target / "orphan.txt", "o");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
        ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0) << entry.path();
    }
    ASSERT_EQ(::chown(target.c_str(), 0, 0), 0);
    ASSERT_EQ(::chown((target / "orphan.txt").c_str(), 0, 0), 0);
    std::filesystem::permissions(
        target, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                    std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                    std::filesystem::perms::others_exec);
    ExpectSaidOnce(Arkivo({"run"}, test::UnprivilegedPrefix()), target, "Permission denied");
    EXPECT_TRUE(std::filesystem::exists(target / "orphan.txt"));
}

TEST_F(UnwritableTargetCli, AReadOnlyMountIsSaidOnce) {
    AddSyncJob(target);
    const test::SmallFileSystem readOnly(target, test::SmallFileSystem::Access::ReadOnly);
    if (!readOnly.mounted()) {
        GTEST_SKIP() << "no file system can be mounted here";
    }
    ExpectSaidOnce(Arkivo({"run"}), target, "Read-only file system");
}

}  // namespace
}  // namespace arkivo
