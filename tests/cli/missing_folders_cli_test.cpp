// Folders a job names that are not there: a missing base or a target whose parent is missing
// is warned of when the job is added (it is added all the same, as a drive may be connected
// later); a run refuses such a target, rather than making it on the disk the drive would be
// mounted on, until the parent is there.
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

const std::string kParentMissing =
    "the folder above the target does not exist (is the drive connected?): ";

using MissingFoldersCli = test::CliTest;

TEST_F(MissingFoldersCli, AddingWarnsOfAMissingBaseOrTargetParentAndAddsTheJob) {
    const auto drive = folder / "drive";
    const auto added = Arkivo({"jobs", "add", (folder / "nobase").string(),
                               (drive / "backup").string(), "--type", "dif"});
    EXPECT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.err,
              "arkivo: Warning: the base folder does not exist: " + (folder / "nobase").string() +
                  "\narkivo: Warning: " + kParentMissing + (drive / "backup").string() + "\n");
    ASSERT_EQ(Jobs().jobs.size(), 1u);

    // A target that is missing itself, in a folder that exists, is made by the first run.
    test::MakeFile(base / "a.txt", "a");
    const auto fine = Arkivo({"jobs", "add", base.string(), (folder / "new").string()});
    EXPECT_EQ(fine.exitCode, 0);
    EXPECT_EQ(fine.err, "");
    EXPECT_EQ(Jobs().jobs.size(), 2u);
}

TEST_F(MissingFoldersCli, ARunRefusesATargetWhoseParentIsMissingUntilItIsThere) {
    test::MakeFile(base / "a.txt", "a");
    const auto drive = folder / "drive";
    const auto mirror = drive / "mirror";
    const auto dated = drive / "dated";
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), mirror.string()}).exitCode, 0);
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), dated.string(), "--type", "inc"}).exitCode, 0);

    const auto refused = Arkivo({"run"});
    EXPECT_EQ(refused.exitCode, 1);
    test::ExpectHas(refused.out, "Job 1: 0 copied, 0 deleted, 1 failed");
    test::ExpectHas(refused.out, "Job 2: 0 copied, 0 deleted, 1 failed");
    EXPECT_EQ(refused.err, "arkivo: Not run: " + kParentMissing + mirror.string() +
                               "\narkivo: Not run: " + kParentMissing + dated.string() + "\n");
    EXPECT_FALSE(std::filesystem::exists(drive));

    std::filesystem::create_directory(drive);
    const auto connected = Arkivo({"run"});
    EXPECT_EQ(connected.exitCode, 0) << connected.err;
    EXPECT_EQ(test::FileContents(mirror), (std::map<std::string, std::string>{{"a.txt", "a"}}));
    EXPECT_EQ(test::DatedFolders(dated, "INC_").size(), 1u);
}

}  // namespace
}  // namespace arkivo
