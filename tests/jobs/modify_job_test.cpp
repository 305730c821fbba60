#include "jobs/modify_job.h"

#include <gtest/gtest.h>

#include "support/job_folder.h"

namespace arkivo {
namespace {

using test::Says;

class ModifyJobTest : public test::JobFolderTest {
  protected:
    void SetUp() override {
        JobFolderTest::SetUp();
        ASSERT_TRUE(Add(u"C:\\Photos", u"D:\\Backup\\Photos").saved);
        ASSERT_TRUE(Add(u"C:\\Mail", u"D:\\Backup\\Mail").saved);
    }
};

TEST_F(ModifyJobTest, RewritesTheEditedFieldsAndKeepsTheOthers) {
    Change([](JobTable& table) {
        table.jobs[1].lastBackupTime = 1236211200;
        table.jobs[1].zipOption = 1;
        table.jobs[1].state = u"DONE";
    });
    auto edit = EditOf(1);
    edit.checked = false;
    edit.base = u"C:\\Mail\\2009";
    edit.type = BackupType::Inc;

    const auto outcome = ModifyJob(env, edit);

    ASSERT_TRUE(outcome.saved);
    EXPECT_TRUE(outcome.messages.empty());
    const auto table = Load();
    const auto& job = table.jobs[1];
    EXPECT_EQ(job.checked, 0u);
    EXPECT_EQ(job.basePath, u"C:\\Mail\\2009");
    EXPECT_EQ(job.targetPath, u"D:\\Backup\\Mail");
    EXPECT_EQ(job.state, u"NYET");
    EXPECT_EQ(job.backupType, static_cast<std::uint32_t>(BackupType::Inc));
    EXPECT_EQ(job.lastBackupTime, 1236211200u);
    EXPECT_EQ(job.zipOption, 1u);
    EXPECT_EQ(job.jobNumber, 2u);
    EXPECT_EQ(table.lastBasePath, u"C:\\Mail\\2009");
    EXPECT_EQ(table.lastTargetPath, u"D:\\Backup\\Mail");
    EXPECT_EQ(table.jobs[0].basePath, u"C:\\Photos");
}

// Compared without regard to case; the job's own pair is no duplicate.
TEST_F(ModifyJobTest, RefusesAPairThatAnotherJobHasInAnyCaseButNotItsOwn) {
    const auto before = Load();
    auto edit = EditOf(1);
    edit.base = u"c:\\photos";
    edit.target = u"d:\\BACKUP\\photos";
    const auto outcome = ModifyJob(env, edit);
    EXPECT_FALSE(outcome.saved);
    EXPECT_TRUE(Says(outcome.messages, text::RootAlreadyRegistered));
    EXPECT_EQ(Load(), before);

    auto own = EditOf(0);
    own.base = u"C:\\PHOTOS";
    EXPECT_TRUE(ModifyJob(env, own).saved);
    EXPECT_EQ(Load().jobs[0].basePath, u"C:\\PHOTOS");
}

TEST_F(ModifyJobTest, RefusesTextsTheFileCannotHold) {
    const auto before = Load();
    auto comma = EditOf(0);
    comma.base = u"C:\\a,b";
    EXPECT_TRUE(Says(ModifyJob(env, comma).messages, text::RootCommaInText));
    auto tooLong = EditOf(0);
    tooLong.target = std::u16string(255, u'x');
    EXPECT_TRUE(Says(ModifyJob(env, tooLong).messages, text::RootTextTooLong));
    auto empty = EditOf(0);
    empty.target.clear();
    const auto emptyOutcome = ModifyJob(env, empty);
    ASSERT_FALSE(emptyOutcome.messages.empty());
    EXPECT_TRUE(emptyOutcome.messages[0].IsText(text::RootEmptyPath));
    EXPECT_EQ(Load(), before);

    auto longest = EditOf(0);
    longest.target = std::u16string(254, u'x');
    EXPECT_TRUE(ModifyJob(env, longest).saved);
}

TEST_F(ModifyJobTest, TakesFtpFieldsOnlyForFtpSidesWithAUser) {
    Change([](JobTable& table) {
        table.jobs[0].basePath = u"ftp://old.example/photos";
        table.jobs[0].baseFtpUser = u"old";
        table.jobs[0].baseFtpPassword = u"secret";
        table.jobs[0].baseFtpPort = 2121;
    });
    auto withoutUser = EditOf(0);
    withoutUser.baseFtp = {u"", u"ignored", 21, 0};
    ASSERT_TRUE(ModifyJob(env, withoutUser).saved);
    auto job = Load().jobs[0];
    EXPECT_EQ(job.baseFtpUser, u"old");
    EXPECT_EQ(job.baseFtpPassword, u"secret");
    EXPECT_EQ(job.baseFtpPort, 2121u);

    auto withUser = EditOf(0);
    withUser.base = u"FTP://new.example/photos";
    withUser.baseFtp = {u"new", u"pw", 990, 0};
    withUser.targetFtp = {u"local-user", u"pw", 21, 1};
    ASSERT_TRUE(ModifyJob(env, withUser).saved);
    job = Load().jobs[0];
    EXPECT_EQ(job.baseFtpUser, u"new");
    EXPECT_EQ(job.baseFtpPassword, u"pw");
    EXPECT_EQ(job.baseFtpPort, 990u);
    EXPECT_EQ(job.baseFtpPassive, 0u);
    EXPECT_EQ(job.targetFtpUser, u"") << "the target is a local folder";
}

}  // namespace
}  // namespace arkivo
