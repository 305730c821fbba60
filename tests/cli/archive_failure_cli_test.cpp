// A file that cannot go into an archive is named, with the archive and the system's reason; it
// counts as failed, fails the run and is listed in the report.
#include <set>
#include <string>

#include "support/cli_fixture.h"
#include "support/small_file_system.h"
#include "support/unprivileged_run.h"
#include "zip/verify.h"

namespace arkivo {
namespace {

class ArchiveFailureCli : public test::CliTest {
  protected:
    void AddZipJob(const std::filesystem::path& to) {
        ASSERT_EQ(
            Arkivo({"jobs", "add", base.string(), to.string(), "--type", "dif", "--zip"}).exitCode,
            0);
        ASSERT_EQ(Arkivo({"options", "set", "report", "on"}).exitCode, 0);
    }

    // The one archive the run wrote into `to`.
    static std::filesystem::path ArchiveIn(const std::filesystem::path& to) {
        std::filesystem::path archive;
        for (const auto& entry : std::filesystem::directory_iterator(to)) {
            if (entry.path().extension() == ".zip") {
                EXPECT_TRUE(archive.empty()) << "a second archive: " << entry.path();
                archive = entry.path();
            }
        }
        EXPECT_FALSE(archive.empty());
        return archive;
    }

    // The run failed because of `file` alone, said why in the system's words, and the report
    // lists the file among those that failed.
    void ExpectFailedAlone(const test::ProgramResult& run, const std::filesystem::path& file,
                           const std::filesystem::path& to, const std::string& reason) {
        EXPECT_EQ(run.exitCode, 1) << run.err;
        test::ExpectHas(run.out, " 1 failed");
        test::ExpectLacks(run.err, "Failed to add");
        const auto archive = ArchiveIn(to);
        test::ExpectHas(run.err, "This file could not be added to the archive: " + file.string() +
                                     " -> " + archive.string() + " (" + reason + ")\n");
        test::ExpectHas(run.err, "failed: " + file.string() + " -> " + archive.string() + "/");
        test::ExpectHas(run.err, "/" + file.filename().string() + ": " + reason + "\n");
        ExpectReportListsFailed(file);
    }
};

TEST_F(ArchiveFailureCli, AnUnreadableFileIsNamedWithThePermissionDenied) {
    if (!test::CanRunWithoutPrivileges()) {
        GTEST_SKIP() << "running as root without setpriv: permissions would not count";
    }
    test::MakeFile(base / "readable.txt", "r");
    test::MakeFile(base / "secret.txt", "s");
    AddZipJob(target);
    std::filesystem::create_directories(target);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
        ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0) << entry.path();
    }
    std::filesystem::permissions(base / "secret.txt", std::filesystem::perms::none);
    const auto run = Arkivo({"run"}, test::UnprivilegedPrefix());
    ExpectFailedAlone(run, base / "secret.txt", target, "Permission denied");
}

// The archive compresses several files at once while the next ones are read: the one that
// cannot be read is still the only failure, named as such, and every other file is in.
TEST_F(ArchiveFailureCli, AnUnreadableFileAmongManyIsNamedAndAllTheOthersAreInTheArchive) {
    if (!test::CanRunWithoutPrivileges()) {
        GTEST_SKIP() << "running as root without setpriv: permissions would not count";
    }
    std::set<std::string> others;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "file" + std::to_string(100 + i) + ".txt";
        const std::size_t size = i % 10 == 0 ? (3 << 19) + i : 1500 * i + 1;
        test::MakeFile(base / name, std::string(size, static_cast<char>('a' + i % 26)));
        others.insert(name);
    }
    const auto secret = base / "file120-secret.txt";
    test::MakeFile(secret, "s");
    AddZipJob(target);
    std::filesystem::create_directories(target);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
        ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0) << entry.path();
    }
    std::filesystem::permissions(secret, std::filesystem::perms::none);
    const auto run = Arkivo({"run"}, test::UnprivilegedPrefix());
    ExpectFailedAlone(run, secret, target, "Permission denied");
    test::ExpectHas(run.out, " 40 copied, 0 deleted, 1 failed");
    const auto archive = ArchiveIn(target);
    const auto verdict = zip::VerifyZipArchive(archive);
    EXPECT_EQ(verdict.status, zip::ArchiveCheck::Ok);
    std::set<std::string> entries;
    for (const auto& entry : verdict.entries) {
        entries.insert(entry.name.substr(entry.name.find('/') + 1));
    }
    EXPECT_EQ(entries, others);
}

TEST_F(ArchiveFailureCli, AFullTargetIsNamedWithTheSystemsReason) {
    const auto small = folder / "small";
    test::SmallFileSystem full(small);
    std::string noise(3 << 20, '\0');
    std::uint32_t state = 12345;
    for (auto& byte : noise) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    test::MakeFile(base / "big.bin", noise);
    test::MakeFile(base / "small.txt", "s");
    AddZipJob(small);
    if (full.mounted()) {
        ExpectFailedAlone(Arkivo({"run"}), base / "big.bin", small, "No space left on device");
        return;
    }
    // Without a small file system, a limit on the size of files the program may write.
    const auto run =
        Arkivo({"run"}, {"/bin/sh", "-c", "trap '' XFSZ; ulimit -f 2048; exec \"$0\" \"$@\""});
    ExpectFailedAlone(run, base / "big.bin", small, "File too large");
}

}  // namespace
}  // namespace arkivo
