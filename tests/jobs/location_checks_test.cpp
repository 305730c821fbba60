// Jobs that cannot end well are refused where they are made or edited, and jobs that would
// delete each other's files are pointed out.
#include <gtest/gtest.h>

#include "common/text.h"
#include "jobs/location_relation.h"
#include "jobs/target_overlap.h"
#include "settings/lang_ini.h"
#include "support/job_folder.h"

namespace arkivo {
namespace {

using Relation = LocationRelation;
using test::Says;

TEST(RelateLocations, ComparesNormalFormsComponentByComponent) {
    EXPECT_EQ(RelateLocations(u"/data", u"/data"), Relation::Same);
    EXPECT_EQ(RelateLocations(u"/data/", u"//data"), Relation::Same);
    EXPECT_EQ(RelateLocations(u"/data/./old/..", u"/data"), Relation::Same);
    EXPECT_EQ(RelateLocations(u"/data/sub", u"/data"), Relation::FirstInsideSecond);
    EXPECT_EQ(RelateLocations(u"/data", u"/data/sub/deeper"), Relation::SecondInsideFirst);
    EXPECT_EQ(RelateLocations(u"/", u"/data"), Relation::SecondInsideFirst);
    EXPECT_EQ(RelateLocations(u"/data", u"/database"), Relation::Apart);
    EXPECT_EQ(RelateLocations(u"/data/a", u"/data/b"), Relation::Apart);
    // The file system's rule for names: letter case tells folders apart on POSIX only.
#ifdef _WIN32
    EXPECT_EQ(RelateLocations(u"C:\\Data\\Sub", u"c:/data"), Relation::FirstInsideSecond);
#else
    EXPECT_EQ(RelateLocations(u"/Data/Sub", u"/data"), Relation::Apart);
#endif
    // FTP locations compare as text; a local folder and an FTP location never meet.
    EXPECT_EQ(RelateLocations(u"ftp://nas/a/b", u"ftp://nas/a/"), Relation::FirstInsideSecond);
    EXPECT_EQ(RelateLocations(u"ftp://nas/a", u"ftp://nas/ab"), Relation::Apart);
    EXPECT_EQ(RelateLocations(u"ftp://nas/a", u"ftp://NAS/a"), Relation::Apart);
    EXPECT_EQ(RelateLocations(u"/a", u"ftp://nas/a"), Relation::Apart);
}

class LocationChecks : public test::JobFolderTest {
  protected:
    CommandOutcome Edit(std::size_t index, std::u16string base, std::u16string target) {
        auto edit = EditOf(index);
        edit.base = std::move(base);
        edit.target = std::move(target);
        return ModifyJob(env, edit);
    }

    void DeleteOrphans(std::size_t index) {
        CLangIni setting;
        setting.Open(folder / "Setting.ini");
        ASSERT_TRUE(StoreValue(setting, ToDecimalUnsigned(index + 1), u"SyncDelNoSrc", u"1"));
    }
};

TEST_F(LocationChecks, ABaseThatIsItsTargetOrLiesInsideItIsRefused) {
    EXPECT_TRUE(Says(Add(u"/data", u"/data/").messages, text::RootBaseIsTarget));
    EXPECT_TRUE(Says(Add(u"/data/photos", u"/data").messages, text::RootBaseInsideTarget));
    EXPECT_TRUE(Says(Add(u"ftp://nas/a/b", u"ftp://nas/a").messages, text::RootBaseInsideTarget));
    EXPECT_TRUE(Load().jobs.empty());
    EXPECT_TRUE(Add(u"/data", u"/data/backup").saved);  // the engine keeps out of it
    EXPECT_TRUE(Add(u"/data", u"/database").saved);

    const auto before = test::ReadBytes(env);
    EXPECT_TRUE(Says(Edit(1, u"/database", u"/database").messages, text::RootBaseIsTarget));
    EXPECT_TRUE(Says(Edit(1, u"/x/y/z", u"/x").messages, text::RootBaseInsideTarget));
    EXPECT_EQ(test::ReadBytes(env), before);
    EXPECT_TRUE(Edit(1, u"/x", u"/x/y/z").saved);
}

TEST_F(LocationChecks, OverlappingTargetsWithDeletionAreFoundInPairs) {
    ASSERT_TRUE(Add(u"/s1", u"/t/a").saved);                    // 1 deletes orphans
    ASSERT_TRUE(Add(u"/s2", u"/t/a/", BackupType::Dif).saved);  // same folder as 1
    ASSERT_TRUE(Add(u"/s3", u"/t/a/sub").saved);                // inside 1's target
    ASSERT_TRUE(Add(u"/s4", u"/t/ab").saved);                   // beside it
    ASSERT_TRUE(Add(u"/s5", u"/u/in/deep").saved);              // 5 deletes orphans
    ASSERT_TRUE(Add(u"/s6", u"/u/in", BackupType::Dif).saved);  // holds 5's target
    ASSERT_TRUE(Add(u"/s7", u"/v", BackupType::Dif).saved);     // a switch without a sync
    ASSERT_TRUE(Add(u"/s8", u"/v", BackupType::Dif).saved);
    ASSERT_TRUE(Add(u"/s9", u"/w").saved);  // overlapping, no deletion
    ASSERT_TRUE(Add(u"/s10", u"/w").saved);
    for (std::size_t job : {0, 4, 6}) {
        DeleteOrphans(job);
    }
    CLangIni setting;
    setting.Open(folder / "Setting.ini");
    const auto conflicts = FindTargetConflicts(Load(), setting);
    EXPECT_EQ(conflicts, (std::vector<TargetConflict>{{0, 1}, {0, 2}, {4, 5}}));
    EXPECT_EQ(TargetConflictWarnings(conflicts, 2).size(), 1u);
    EXPECT_TRUE(Says(TargetConflictWarnings(conflicts, 5), text::RootTargetsOverlap, u"5, 6"));
}

TEST_F(LocationChecks, RegisteringOrEditingIntoADeletingJobsTargetWarnsAndStillSaves) {
    ASSERT_TRUE(Add(u"/s1", u"/t/a").saved);
    ASSERT_TRUE(Add(u"/s2", u"/elsewhere").saved);
    EXPECT_TRUE(Add(u"/s3", u"/t/a/sub").warnings.empty());
    DeleteOrphans(0);
    const auto added = Add(u"/s4", u"/t/a");
    EXPECT_TRUE(added.saved);
    EXPECT_TRUE(added.messages.empty());
    EXPECT_TRUE(Says(added.warnings, text::RootTargetsOverlap, u"1, 4"));
    const auto edited = Edit(1, u"/s2", u"/t");
    EXPECT_TRUE(edited.saved);
    EXPECT_TRUE(Says(edited.warnings, text::RootTargetsOverlap, u"1, 2"));
    EXPECT_EQ(Load().jobs.size(), 4u);
}

}  // namespace
}  // namespace arkivo
