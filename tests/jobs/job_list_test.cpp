// The operations behind the job list: ticks, row texts, dropping folders, deleting many rows.
#include <gtest/gtest.h>

#include "jobs/drop_pairing.h"
#include "jobs/job_list_rows.h"
#include "jobs/job_ticks.h"
#include "platform/clock.h"
#include "settings/app_stores.h"
#include "support/job_folder.h"

namespace arkivo {
namespace {

using JobTicks = test::JobFolderTest;

// Rows beyond the table are ignored, and a file whose ticks are as the rows say is left alone.
TEST_F(JobTicks, CopiesEveryRowTickIntoItsJobAndSavesOnlyAChange) {
    test::AddNumberedJobs(env, 3);
    EXPECT_TRUE(StoreJobTicks(env, {false, true, false}).saved);
    auto table = Load();
    EXPECT_EQ(table.jobs[0].checked, 0u);
    EXPECT_EQ(table.jobs[1].checked, 1u);
    EXPECT_EQ(table.jobs[2].checked, 0u);

    const auto before = std::filesystem::last_write_time(env);
    const auto unchanged = StoreJobTicks(env, {false, true, false, true});
    EXPECT_FALSE(unchanged.saved);
    EXPECT_TRUE(unchanged.messages.empty());
    EXPECT_EQ(std::filesystem::last_write_time(env), before);
    EXPECT_EQ(Load().jobs.size(), 3u);
    EXPECT_TRUE(StoreJobTicks(env, {true, true, true}).saved);
    EXPECT_EQ(Load().jobs[2].checked, 1u);
}

std::int64_t LocalNoon(int year, int month, int day) {
    return platform::FromLocalTime({year, month, day, 12, 0, 0, 0}).value();
}

// The day is padded with a blank, the month with a zero.
TEST(JobRowTexts, ShowTheNumberBothSidesAndTheLastRunDay) {
    JobRecord job;
    job.jobNumber = 17;
    job.basePath = u"C:\\写真";
    job.targetPath = u"ftp://host/사진";
    job.lastBackupTime = static_cast<std::uint64_t>(LocalNoon(2009, 3, 5));
    const auto row = RowTextsOf(job);
    EXPECT_EQ(row.number, u"17");
    EXPECT_EQ(row.base, u"C:\\写真");
    EXPECT_EQ(row.target, u"ftp://host/사진");
    EXPECT_EQ(row.lastUpdated, u"2009-03- 5");
    EXPECT_EQ(FormatListDate(LocalNoon(2010, 12, 25)), u"2010-12-25");
    EXPECT_EQ(FormatListDate(LocalNoon(1999, 9, 1)), u"1999-09- 1");
}

TEST(DropPairing, EitherSideFirstThenTheOtherCompletesAPair) {
    DropPairing pairing;
    EXPECT_EQ(pairing.Drop(DropColumn::Base), DropPairing::Action::StartPending);
    EXPECT_EQ(pairing.Drop(DropColumn::Base), DropPairing::Action::Ignore);
    EXPECT_EQ(pairing.Drop(DropColumn::None), DropPairing::Action::Ignore);
    EXPECT_TRUE(pairing.pendingBase());
    EXPECT_EQ(pairing.Drop(DropColumn::Target), DropPairing::Action::CompletePair);
    EXPECT_FALSE(pairing.pendingBase());
    EXPECT_FALSE(pairing.pendingTarget());
    EXPECT_EQ(pairing.Drop(DropColumn::Target), DropPairing::Action::StartPending);
    EXPECT_TRUE(pairing.pendingTarget());
    EXPECT_EQ(pairing.Drop(DropColumn::Base), DropPairing::Action::CompletePair);
}

using ManyJobsDelete = test::JobFolderTest;

TEST_F(ManyJobsDelete, RemovesEverySelectedJobBeyondTheOldLimitOf99) {
    AppStores stores;
    stores.LoadAll(folder.path());
    test::AddNumberedJobs(env, 200);
    StoreValue(stores.setting, u"150", u"SyncDelNoSrc", u"1");
    std::vector<std::uint32_t> numbers;
    for (std::uint32_t n = 1; n <= 149; ++n) {
        numbers.push_back(n);
    }
    ASSERT_TRUE(DeleteJobs(env, {stores.filter, stores.filterInc, stores.setting}, numbers).saved);
    const auto table = Load();
    ASSERT_EQ(table.jobs.size(), 51u);
    EXPECT_EQ(table.jobs[0].basePath, u"C:\\base150");
    EXPECT_EQ(table.jobs[0].jobNumber, 1u);
    EXPECT_EQ(table.jobs[50].jobNumber, 51u);
    EXPECT_EQ(stores.setting.GetValue(u"1", u"SyncDelNoSrc"), u"1");
    EXPECT_LT(stores.setting.FindSection(u"150"), 0);
}

}  // namespace
}  // namespace arkivo
