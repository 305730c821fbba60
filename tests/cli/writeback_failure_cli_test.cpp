// Copies the system accepted and then failed to put on the disk. The run cannot tell which
// file was lost, so it names the target, fails, lists the failure in the report, and keeps
// nothing it would trust later: no reference time for the next incremental run, no archive
// under its final name.
#include <random>

#include "support/cli_fixture.h"
#include "support/failing_disk.h"

namespace arkivo {
namespace {

class WritebackFailureCli : public test::CliTest {
  protected:
    void SetUp() override {
        if (!disk.mounted()) {
            GTEST_SKIP() << "no loop device with a file system could be mounted here";
        }
        // Random bytes, far more than the disk has room for behind its file system.
        std::mt19937 random(11);
        for (int i = 0; i < 4; ++i) {
            std::string bytes(10 << 20, '\0');
            for (auto& byte : bytes) {
                byte = static_cast<char>(random());
            }
            test::MakeFile(base / "sub" / ("part" + std::to_string(i) + ".bin"), bytes);
        }
        ASSERT_EQ(Arkivo({"options", "set", "report", "on"}).exitCode, 0);
    }

    // The run failed, said so in the system's words, and its report lists `named`.
    void ExpectFailed(const test::ProgramResult& run, const std::filesystem::path& named) {
        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        test::ExpectHas(run.out, " 1 failed");
        test::ExpectHas(run.err, "failed: " + named.string() + ": ");
        // The device's failure arrives as an I/O error or, from a device out of room, as that.
        EXPECT_TRUE(run.err.find("Input/output error") != std::string::npos ||
                    run.err.find("No space left on device") != std::string::npos)
            << run.err;
        ExpectReportListsFailed(named);
    }

    test::FailingDisk disk{folder / "failing"};
};

TEST_F(WritebackFailureCli, AnIncrementalRunWhoseCopiesNeverReachedTheDiskFailsAndSetsNoReference) {
    const auto into = disk.root() / "backup";
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), into.string(), "--type", "inc"}).exitCode, 0);
    ExpectFailed(Arkivo({"run"}), into);
    // The next incremental run takes every file again.
    EXPECT_EQ(Jobs().jobs.at(0).lastIncTime, 0u);
}

TEST_F(WritebackFailureCli, AnArchiveTheDiskFailedToWriteIsNotLeftUnderItsName) {
    const auto into = disk.root() / "backup";
    ASSERT_EQ(
        Arkivo({"jobs", "add", base.string(), into.string(), "--type", "dif", "--zip"}).exitCode,
        0);
    const auto run = Arkivo({"run"});
    for (const auto& entry : std::filesystem::directory_iterator(into)) {
        ADD_FAILURE() << "left in the target: " << entry.path();
    }
    // The archive is named after the run's time: taken from what the run said.
    const std::string said = "failed: ";
    const auto at = run.err.find(said + (into / "DIF_").string());
    ASSERT_NE(at, std::string::npos) << run.err;
    const auto from = at + said.size();
    const std::filesystem::path archive = run.err.substr(from, run.err.find(": ", from) - from);
    EXPECT_EQ(archive.extension(), ".zip");
    ExpectFailed(run, archive);
}

}  // namespace
}  // namespace arkivo
