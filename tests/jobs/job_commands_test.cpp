#include "jobs/job_commands.h"

#include <gtest/gtest.h>

#include <thread>

#include "jobs/job_options.h"
#include "settings/lang_ini.h"
#include "support/job_folder.h"

namespace arkivo {
namespace {

using test::ReadBytes;
using test::Says;
using test::WriteBytes;

using JobCommands = test::JobFolderTest;

TEST_F(JobCommands, RegisterAddsATickedJobWithTheDefaults) {
    const auto outcome = Add(u"/data", u"/backup");
    ASSERT_TRUE(outcome.saved);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_EQ(outcome.jobIndex, 0u);
    const JobTable table = Load();
    ASSERT_EQ(table.jobs.size(), 1u);
    const JobRecord& job = table.jobs[0];
    EXPECT_EQ(job.checked, 1u);
    EXPECT_EQ(job.jobNumber, 1u);
    EXPECT_EQ(job.backupType, 0u);
    EXPECT_EQ(job.filterOn, 0u);
    EXPECT_EQ(job.zipOption, 0u);
    EXPECT_EQ(job.state, u"NYET");
    EXPECT_EQ(job.baseFtpPort, 21u);
    EXPECT_EQ(job.targetFtpPassive, 1u);
    EXPECT_EQ(table.lastBasePath, u"/data");
    EXPECT_EQ(table.lastTargetPath, u"/backup");
    EXPECT_EQ(table.jobListFlag, kHasJobList);
    ASSERT_TRUE(Add(u"/data2", u"/backup").saved);
    EXPECT_EQ(Load().jobs[1].jobNumber, 2u);
}

TEST_F(JobCommands, RegisterRefusesTheSamePairInAnyCase) {
    ASSERT_TRUE(Add(u"/Data", u"/Backup").saved);
    const auto before = ReadBytes(env);
    const auto again = Add(u"/data", u"/BACKUP");
    EXPECT_FALSE(again.saved);
    EXPECT_TRUE(Says(again.messages, text::RootAlreadyRegistered));
    EXPECT_EQ(ReadBytes(env), before);
}

// An FTP side needs its user; a local side keeps no credentials, whatever the form held.
TEST_F(JobCommands, RegisterTakesCredentialsOnlyForFtpSidesAndAsksForTheirUsers) {
    NewJob job;
    job.base = u"ftp://a/x";
    job.target = u"FTP://b/y";
    const auto both = RegisterJob(env, job);
    EXPECT_FALSE(both.saved);
    ASSERT_EQ(both.messages.size(), 2u);
    EXPECT_TRUE(both.messages[0].IsText(text::RootConnectFtpBase));
    EXPECT_TRUE(both.messages[1].IsText(text::RootConnectFtpTarget));
    EXPECT_TRUE(Load().jobs.empty());

    job.baseFtp = {u"anna", u"pw", 2121, 0};
    job.targetFtp = {u"ben", u"", 21, 1};
    ASSERT_TRUE(RegisterJob(env, job).saved);
    job.base = u"/local";
    job.baseFtp = {u"stale", u"secret", 99, 0};
    ASSERT_TRUE(RegisterJob(env, job).saved);
    const JobTable table = Load();
    EXPECT_EQ(table.jobs[0].baseFtpUser, u"anna");
    EXPECT_EQ(table.jobs[0].baseFtpPassword, u"pw");
    EXPECT_EQ(table.jobs[0].baseFtpPort, 2121u);
    EXPECT_EQ(table.jobs[0].baseFtpPassive, 0u);
    EXPECT_EQ(table.jobs[0].targetFtpUser, u"ben");
    EXPECT_EQ(table.jobs[1].baseFtpUser, u"");
    EXPECT_EQ(table.jobs[1].baseFtpPassword, u"");
    EXPECT_EQ(table.jobs[1].baseFtpPort, 21u);
    EXPECT_EQ(table.jobs[1].baseFtpPassive, 1u);
}

TEST_F(JobCommands, TextsThatWouldCorruptTheFileAreRefusedWhereEntered) {
    EXPECT_TRUE(Says(Add(u"/a,b", u"/t").messages, text::RootCommaInText));
    EXPECT_TRUE(Says(Add(u"/a", std::u16string(255, u'x')).messages, text::RootTextTooLong));
    EXPECT_TRUE(Add(u"/a", u"/" + std::u16string(253, u'x')).saved);
    NewJob job;
    job.base = u"ftp://h/x";
    job.target = u"/t";
    job.baseFtp.user = u"u";
    job.baseFtp.password = u"p,w";
    EXPECT_TRUE(Says(RegisterJob(env, job).messages, text::RootCommaInText));
    EXPECT_TRUE(Says(Add(u"", u"/t").messages, text::RootEmptyPath));
    EXPECT_TRUE(Says(Add(u"ftp://hostonly", u"/t").messages, text::RootBadFtpLocation));
    EXPECT_EQ(Load().jobs.size(), 1u);
}

TEST_F(JobCommands, AFullTableRefusesThe256thJobAndIsNeverOverfilled) {
    Change([](JobTable& table) {
        table.jobListFlag = kHasJobList;
        for (std::uint32_t i = 0; i < kMaxJobs; ++i) {
            JobRecord job;
            job.jobNumber = i + 1;
            job.basePath = u"/b" + std::u16string(1, static_cast<char16_t>(0x4E00 + i));
            job.targetPath = u"/t";
            table.jobs.push_back(job);
        }
    });
    const auto before = ReadBytes(env);
    const auto outcome = Add(u"/one/more", u"/t");
    EXPECT_FALSE(outcome.saved);
    EXPECT_TRUE(Says(outcome.messages, text::RootJobTableFull));
    EXPECT_EQ(ReadBytes(env), before);
    EXPECT_EQ(Load().jobs.size(), kMaxJobs);
}

// Every change of the job list (adding, editing, ticking) loads it the same way.
TEST_F(JobCommands, ADamagedFileIsReportedAndNeverSavedOverAndAMissingOneNeverMade) {
    WriteBytes(env, std::string("\x5b\x00\x78\x00", 4));
    const auto before = ReadBytes(env);
    const auto outcome = Add(u"/a", u"/b");
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_EQ(outcome.messages[0].fixedText, u"EF001-unknown file format");
    EXPECT_EQ(ReadBytes(env), before);
    std::filesystem::remove(env);
    EXPECT_EQ(Add(u"/a", u"/b").messages[0].fixedText, u"EF002-There is no environment file");
    EXPECT_FALSE(std::filesystem::exists(env));
}

TEST_F(JobCommands, ConcurrentRegistrationsKeepEveryJob) {
    constexpr int kThreads = 6;
    constexpr int kJobsEach = 20;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int j = 0; j < kJobsEach; ++j) {
                Add(u"/src/" + std::u16string(1, static_cast<char16_t>(u'a' + t)) +
                        std::u16string(1, static_cast<char16_t>(u'A' + j)),
                    u"/dst");
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const JobTable table = Load();
    ASSERT_EQ(table.jobs.size(), static_cast<std::size_t>(kThreads * kJobsEach));
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        EXPECT_EQ(table.jobs[i].jobNumber, i + 1);
    }
}

TEST_F(JobCommands, TickingChangesOnlyTheNamedJobs) {
    for (auto base : {u"/a", u"/b", u"/c"}) {
        ASSERT_TRUE(Add(base, u"/t").saved);
    }
    ASSERT_TRUE(SetJobsChecked(env, {1, 3}, false).saved);
    JobTable table = Load();
    EXPECT_EQ(table.jobs[0].checked, 0u);
    EXPECT_EQ(table.jobs[1].checked, 1u);
    EXPECT_EQ(table.jobs[2].checked, 0u);
    const auto missing = SetJobsChecked(env, {4}, true);
    EXPECT_FALSE(missing.saved);
    EXPECT_TRUE(Says(missing.messages, text::RootNoSuchJob));
}

class JobDeletion : public JobCommands {
  protected:
    void SetUp() override {
        JobCommands::SetUp();
        filter.Open(folder / "Filter.ini");
        filterInc.Open(folder / "FilterInc.ini");
        setting.Open(folder / "Setting.ini");
    }

    void AddJobs(int count) {
        for (int i = 1; i <= count; ++i) {
            const std::u16string n(1, static_cast<char16_t>(u'0' + i));
            ASSERT_TRUE(Add(u"/src" + n, u"/dst").saved);
            StoreValue(filter, n, u"1", u"*.tmp" + n);
            StoreValue(filter, n, u"2", u"cache" + n);
            StoreValue(filterInc, n, u"1", u".doc" + n);
            StoreValue(setting, n, u"SyncDelNoSrc", n);
            StoreValue(setting, n, u"ThereisFileToCopy", u"0");
        }
    }

    CommandOutcome Delete(const std::vector<std::uint32_t>& numbers) {
        return DeleteJobs(env, {filter, filterInc, setting}, numbers);
    }

    CLangIni filter, filterInc, setting;
};

TEST_F(JobDeletion, DeletingAJobMovesTheSectionsOfTheJobsBehindIt) {
    AddJobs(4);
    ASSERT_TRUE(Delete({2}).saved);
    const JobTable table = Load();
    ASSERT_EQ(table.jobs.size(), 3u);
    EXPECT_EQ(table.jobs[0].basePath, u"/src1");
    EXPECT_EQ(table.jobs[1].basePath, u"/src3");
    EXPECT_EQ(table.jobs[2].basePath, u"/src4");
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(table.jobs[i].jobNumber, i + 1);
    }
    // Read the files afresh, as the next start of the program would.
    CLangIni incFile, settingFile;
    incFile.Open(folder / "FilterInc.ini");
    settingFile.Open(folder / "Setting.ini");
    EXPECT_EQ(incFile.GetValue(u"2", u"1"), u".doc3");
    EXPECT_EQ(settingFile.GetValue(u"2", u"SyncDelNoSrc"), u"3");
    EXPECT_EQ(settingFile.GetValue(u"1", u"SyncDelNoSrc"), u"1");
    EXPECT_EQ(settingFile.FindSection(u"4"), -1);
    // The stores in memory agree with their files.
    EXPECT_EQ(filter.GetValue(u"2", u"1"), u"*.tmp3");
    EXPECT_EQ(filter.FindSection(u"4"), -1);
    // A moved section goes to the end of its file, as it always has.
    EXPECT_EQ(ReadBytes(folder / "Filter.ini"),
              "[1]\r\n1=*.tmp1\r\n2=cache1\r\n[2]\r\n1=*.tmp3\r\n2=cache3\r\n[3]\r\n1=*.tmp4\r\n"
              "2=cache4\r\n");
}

TEST_F(JobDeletion, NumbersWithoutAJobChangeNothingAndTheLastJobLeavesAFileWithoutJobList) {
    AddJobs(1);
    const auto before = ReadBytes(env);
    EXPECT_FALSE(Delete({7}).saved);
    EXPECT_EQ(ReadBytes(env), before);
    ASSERT_TRUE(Delete({1}).saved);
    const JobTable table = Load();
    EXPECT_EQ(table.loadStatus, LoadStatus::Ok);
    EXPECT_TRUE(table.jobs.empty());
    EXPECT_EQ(table.jobListFlag, kNoJobList);
    CLangIni filterFile;
    filterFile.Open(folder / "Filter.ini");
    EXPECT_EQ(filterFile.FindSection(u"1"), -1);
}

TEST_F(JobCommands, OptionAccessorsReadAndWriteFieldsInTheFile) {
    ASSERT_TRUE(Add(u"/a", u"/b").saved);
    int errors = 0;
    JobOptionAccessors accessors(env, [&errors](const UserMessage&) { ++errors; });
    accessors.SetJobOption(0, JobOption::BackupType, 2);
    accessors.SetJobTime(0, JobOption::LastIncTime, 1700000123);
    EXPECT_EQ(accessors.GetJobOption(0, JobOption::BackupType), 2);
    EXPECT_EQ(accessors.GetJobTime(0, JobOption::LastIncTime), 1700000123);
    EXPECT_EQ(accessors.GetJobOption(0, JobOption::LastIncTime), -1);
    EXPECT_EQ(accessors.GetJobTime(0, JobOption::ZipOption), -1);
    EXPECT_EQ(accessors.GetJobOption(5, JobOption::FilterOn), -1);
    EXPECT_EQ(errors, 0);
    std::filesystem::remove(env);
    EXPECT_EQ(accessors.GetJobOption(0, JobOption::BackupType), -1);
    accessors.SetJobOption(0, JobOption::BackupType, 1);
    EXPECT_EQ(errors, 2);
    EXPECT_FALSE(std::filesystem::exists(env));
}

}  // namespace
}  // namespace arkivo
