// The operations behind the job list: ticks, row texts, dropping folders, deleting many rows.
#include <gtest/gtest.h>

#include <fstream>

#include "common/text.h"
#include "jobs/drop_pairing.h"
#include "jobs/environment_file.h"
#include "jobs/job_list_rows.h"
#include "jobs/job_ticks.h"
#include "platform/clock.h"
#include "settings/app_stores.h"
#include "support/temp_folder.h"

namespace arkivo {
namespace {

std::filesystem::path EnvironmentWithJobs(const test::TempFolder& folder, std::size_t count) {
    const auto env = folder / "LastSetting.env";
    EnvironmentFile file(env);
    JobTable table;
    table.version = 1;
    table.jobListFlag = count > 0 ? kHasJobList : kNoJobList;
    for (std::size_t i = 0; i < count; ++i) {
        JobRecord job;
        job.jobNumber = static_cast<std::uint32_t>(i + 1);
        job.basePath = u"C:\\base" + ToDecimalUnsigned(i + 1);
        job.targetPath = u"D:\\target" + ToDecimalUnsigned(i + 1);
        table.jobs.push_back(job);
    }
    EXPECT_EQ(file.Save(table), LoadStatus::Ok);
    return env;
}

JobTable LoadTable(const std::filesystem::path& env) {
    EnvironmentFile file(env);
    return file.Load();
}

TEST(StoreJobTicks, CopiesEveryRowTickIntoItsJob) {
    test::TempFolder folder;
    const auto env = EnvironmentWithJobs(folder, 3);

    const auto outcome = StoreJobTicks(env, {false, true, false});

    EXPECT_TRUE(outcome.saved);
    const auto table = LoadTable(env);
    EXPECT_EQ(table.jobs[0].checked, 0u);
    EXPECT_EQ(table.jobs[1].checked, 1u);
    EXPECT_EQ(table.jobs[2].checked, 0u);

    EXPECT_TRUE(StoreJobTicks(env, {true, true, true}).saved);
    EXPECT_EQ(LoadTable(env).jobs[2].checked, 1u);
}

TEST(StoreJobTicks, IgnoresRowsBeyondTheTableAndLeavesAnUnchangedFileAlone) {
    test::TempFolder folder;
    const auto env = EnvironmentWithJobs(folder, 2);
    const auto before = std::filesystem::last_write_time(env);

    const auto outcome = StoreJobTicks(env, {true, true, false});

    EXPECT_FALSE(outcome.saved);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_EQ(std::filesystem::last_write_time(env), before);
    EXPECT_EQ(LoadTable(env).jobs.size(), 2u);
}

TEST(StoreJobTicks, ReportsADamagedFileAndDoesNotOverwriteIt) {
    test::TempFolder folder;
    const auto env = folder / "LastSetting.env";
    std::ofstream(env, std::ios::binary) << "garbage without separators";

    const auto outcome = StoreJobTicks(env, {true});

    EXPECT_FALSE(outcome.saved);
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_EQ(outcome.messages[0].fixedText, u"EF001-unknown file format");
    std::ifstream in(env, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "garbage without separators");
}

std::int64_t LocalNoon(int year, int month, int day) {
    return platform::FromLocalTime({year, month, day, 12, 0, 0, 0}).value();
}

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
}

TEST(JobRowTexts, PadTheDayWithABlankAndTheMonthWithAZero) {
    EXPECT_EQ(FormatListDate(LocalNoon(2010, 12, 25)), u"2010-12-25");
    EXPECT_EQ(FormatListDate(LocalNoon(2011, 1, 10)), u"2011-01-10");
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

class ManyJobsDelete : public ::testing::Test {
  protected:
    void SetUp() override {
        for (auto name : {kFilterFile, kFilterIncFile, kSettingFile}) {
            std::ofstream(folder_ / name);
        }
        stores_.LoadAll(folder_.path());
    }
    test::TempFolder folder_;
    AppStores stores_;
};

TEST_F(ManyJobsDelete, RemovesEverySelectedJobBeyondTheOldLimitOf99) {
    const auto env = EnvironmentWithJobs(folder_, 200);
    StoreValue(stores_.setting, u"150", u"SyncDelNoSrc", u"1");
    std::vector<std::uint32_t> numbers;
    for (std::uint32_t n = 1; n <= 149; ++n) {
        numbers.push_back(n);
    }

    const auto outcome =
        DeleteJobs(env, {stores_.filter, stores_.filterInc, stores_.setting}, numbers);

    ASSERT_TRUE(outcome.saved);
    const auto table = LoadTable(env);
    ASSERT_EQ(table.jobs.size(), 51u);
    EXPECT_EQ(table.jobs[0].basePath, u"C:\\base150");
    EXPECT_EQ(table.jobs[0].jobNumber, 1u);
    EXPECT_EQ(table.jobs[50].jobNumber, 51u);
    EXPECT_EQ(stores_.setting.GetValue(u"1", u"SyncDelNoSrc"), u"1");
    EXPECT_LT(stores_.setting.FindSection(u"150"), 0);
}

}  // namespace
}  // namespace arkivo
