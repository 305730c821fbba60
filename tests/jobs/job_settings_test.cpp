// Changing a job's settings as one change: what its type takes is made, what it does not take
// is refused with nothing changed, and its sides pass the editor's checks.
#include "jobs/job_settings.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "settings/lang_ini.h"
#include "support/job_folder.h"

namespace arkivo {
namespace {

using test::ReadBytes;
using test::Says;

std::int64_t Local(int year, int month, int day) {
    return platform::FromLocalTime({year, month, day, 0, 0, 0, 0}).value();
}

const JobPeriod kDecember{Local(2026, 12, 1), Local(2027, 1, 1)};

class JobSettings : public test::JobFolderTest {
  protected:
    void SetUp() override {
        JobFolderTest::SetUp();
        setting.Open(folder / "Setting.ini");
        ASSERT_TRUE(Add(u"/data", u"/backup/data").saved);
        ASSERT_TRUE(Add(u"/mail", u"/backup/mail", BackupType::Dif).saved);
    }

    CommandOutcome Change(std::size_t job, const JobSettingsChange& change) {
        return ChangeJobSettings(env, setting, job, change);
    }

    // What another process sees in "Setting.ini" now.
    std::u16string Switch(std::size_t job, std::u16string_view key) {
        CLangIni fresh;
        fresh.Open(folder / "Setting.ini");
        return fresh.GetValue(ToDecimalUnsigned(job + 1), key);
    }

    CLangIni setting;
};

TEST_F(JobSettings, ChangesWhatIsGivenAndKeepsEverythingElse) {
    JobFolderTest::Change([](JobTable& table) {
        table.jobs[1].lastBackupTime = 1236211200;
        table.jobs[1].filterOn = 1;
        table.jobs[1].checked = 0;
    });
    const auto before = Load();
    JobSettingsChange change;
    change.zip = true;
    change.dotFolders = true;
    const auto outcome = Change(1, change);
    ASSERT_TRUE(outcome.saved);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_TRUE(outcome.warnings.empty());
    auto expected = before;
    expected.jobs[1].zipOption = 1;
    EXPECT_EQ(Load(), expected);
    EXPECT_EQ(Switch(1, u"IncludeDotFolders"), u"1");
    EXPECT_EQ(Switch(0, u"IncludeDotFolders"), u"");

    JobSettingsChange off;
    off.zip = false;
    off.dotFolders = false;
    ASSERT_TRUE(Change(1, off).saved);
    EXPECT_EQ(Load(), before);
    EXPECT_EQ(Switch(1, u"IncludeDotFolders"), u"0");
}

// Each setting is weighed against the type the job has afterwards.
TEST_F(JobSettings, ATypeAndTheSettingsOfThatTypeGoTogether) {
    JobSettingsChange toPeriod;
    toPeriod.type = BackupType::Spd;
    toPeriod.period = kDecember;
    toPeriod.zip = true;
    ASSERT_TRUE(Change(0, toPeriod).saved);
    auto job = Load().jobs[0];
    EXPECT_EQ(job.backupType, static_cast<std::uint32_t>(BackupType::Spd));
    EXPECT_EQ(PeriodOf(job), kDecember);
    EXPECT_EQ(job.zipOption, 1u);

    JobSettingsChange toSync;
    toSync.type = BackupType::Sync;
    toSync.syncDelete = true;
    ASSERT_TRUE(Change(1, toSync).saved);
    EXPECT_EQ(Load().jobs[1].backupType, static_cast<std::uint32_t>(BackupType::Sync));
    EXPECT_EQ(Switch(1, u"SyncDelNoSrc"), u"1");
}

// One refusal stops the whole change: neither file is written.
TEST_F(JobSettings, ASettingTheTypeDoesNotTakeIsRefusedAndNothingChanges) {
    const auto environmentBefore = ReadBytes(env);
    const auto settingBefore = ReadBytes(folder / "Setting.ini");
    auto refused = [&](std::size_t job, JobSettingsChange change, const TextKey& why) {
        change.dotFolders = true;
        change.base = u"/elsewhere";
        const auto outcome = Change(job, change);
        EXPECT_FALSE(outcome.saved);
        EXPECT_TRUE(Says(outcome.messages, why));
        EXPECT_EQ(ReadBytes(env), environmentBefore);
        EXPECT_EQ(ReadBytes(folder / "Setting.ini"), settingBefore);
    };
    JobSettingsChange zip;
    zip.zip = false;
    refused(0, zip, text::JobZipOnSync);
    JobSettingsChange zipWithType = zip;
    zipWithType.type = BackupType::Sync;
    refused(1, zipWithType, text::JobZipOnSync);
    JobSettingsChange deletion;
    deletion.syncDelete = true;
    refused(1, deletion, text::JobSyncDeleteOnOtherType);
    JobSettingsChange deletionWithType = deletion;
    deletionWithType.type = BackupType::Inc;
    refused(0, deletionWithType, text::JobSyncDeleteOnOtherType);
    JobSettingsChange period;
    period.period = kDecember;
    refused(1, period, text::JobPeriodOnOtherType);
    JobSettingsChange reversed;
    reversed.type = BackupType::Spd;
    reversed.period = JobPeriod{kDecember.pastLast, kDecember.first};
    refused(1, reversed, text::JobPeriodReversed);
    reversed.period = JobPeriod{kDecember.first, kDecember.first};
    refused(1, reversed, text::JobPeriodReversed);
    JobSettingsChange none;
    EXPECT_TRUE(Says(Change(2, none).messages, text::RootNoSuchJob));
}

TEST_F(JobSettings, APeriodJobLeftWithoutAPeriodIsWarnedOf) {
    JobSettingsChange toPeriod;
    toPeriod.type = BackupType::Spd;
    const auto outcome = Change(1, toPeriod);
    EXPECT_TRUE(outcome.saved);
    EXPECT_TRUE(Says(outcome.warnings, text::JobNoPeriodYet, u"2 --period FROM TO"));
    JobSettingsChange period;
    period.period = kDecember;
    EXPECT_TRUE(Change(1, period).warnings.empty());
    EXPECT_TRUE(HasPeriod(Load().jobs[1]));
}

// The sides pass the job editor's checks, under the same lock as the rest of the change.
TEST_F(JobSettings, SidesAreRefusedWhereTheEditorRefusesThem) {
    const auto before = ReadBytes(env);
    auto sides = [&](std::u16string base, std::u16string target) {
        JobSettingsChange change;
        change.base = std::move(base);
        change.target = std::move(target);
        return Change(1, change);
    };
    EXPECT_TRUE(
        Says(sides(u"/backup/mail/x", u"/backup/mail").messages, text::RootBaseInsideTarget));
    EXPECT_TRUE(Says(sides(u"/DATA", u"/Backup/Data").messages, text::RootAlreadyRegistered));
    EXPECT_TRUE(Says(sides(u"/a,b", u"/backup/mail").messages, text::RootCommaInText));
    EXPECT_TRUE(Says(sides(u"/mail", u"").messages, text::RootEmptyPath));
    EXPECT_EQ(ReadBytes(env), before);

    const auto moved = sides(u"/mail2", u"/backup/mail2");
    ASSERT_TRUE(moved.saved);
    const auto table = Load();
    EXPECT_EQ(table.jobs[1].basePath, u"/mail2");
    EXPECT_EQ(table.jobs[1].targetPath, u"/backup/mail2");
    EXPECT_EQ(table.lastBasePath, u"/mail2");
}

TEST_F(JobSettings, MovingATargetOntoADeletingJobsTargetWarnsAndStillSaves) {
    JobSettingsChange deletes;
    deletes.syncDelete = true;
    const auto first = Change(0, deletes);
    ASSERT_TRUE(first.saved);
    EXPECT_TRUE(first.warnings.empty());
    JobSettingsChange onto;
    onto.target = u"/backup/data/mail";
    const auto moved = Change(1, onto);
    EXPECT_TRUE(moved.saved);
    EXPECT_TRUE(Says(moved.warnings, text::RootTargetsOverlap, u"1, 2"));
}

// Fields not given are kept; a local side keeps none; an FTP side must keep a user.
TEST_F(JobSettings, FtpFieldsBelongToFtpSidesWithAUser) {
    JobSettingsChange local;
    local.targetFtp.password = u"pw";
    EXPECT_TRUE(Says(Change(0, local).messages, text::JobFtpOnLocalSide));

    JobSettingsChange toFtp;
    toFtp.target = u"ftp://nas/backup";
    EXPECT_TRUE(Says(Change(0, toFtp).messages, text::RootConnectFtpTarget));
    toFtp.targetFtp.user = u"mika";
    toFtp.targetFtp.password = u"first";
    toFtp.targetFtp.port = 2121;
    toFtp.targetFtp.passive = false;
    ASSERT_TRUE(Change(0, toFtp).saved);

    JobSettingsChange password;
    password.targetFtp.password = u"second";
    ASSERT_TRUE(Change(0, password).saved);
    auto job = Load().jobs[0];
    EXPECT_EQ(job.targetFtpUser, u"mika");
    EXPECT_EQ(job.targetFtpPassword, u"second");
    EXPECT_EQ(job.targetFtpPort, 2121u);
    EXPECT_EQ(job.targetFtpPassive, 0u);

    JobSettingsChange noUser;
    noUser.targetFtp.user = u"";
    EXPECT_TRUE(Says(Change(0, noUser).messages, text::RootConnectFtpTarget));
    JobSettingsChange comma;
    comma.targetFtp.password = u"a,b";
    EXPECT_TRUE(Says(Change(0, comma).messages, text::RootCommaInText));

    JobSettingsChange backToLocal;
    backToLocal.target = u"/backup/again";
    ASSERT_TRUE(Change(0, backToLocal).saved);
    job = Load().jobs[0];
    EXPECT_EQ(job.targetFtpUser, u"");
    EXPECT_EQ(job.targetFtpPassword, u"");
    EXPECT_EQ(job.targetFtpPort, kDefaultFtpPort);
    EXPECT_EQ(job.targetFtpPassive, 1u);
}

TEST_F(JobSettings, RegisteringRefusesWhatTheTypeDoesNotTakeAndKeepsAPeriod) {
    const auto before = ReadBytes(env);
    NewJob zipSync;
    zipSync.base = u"/p";
    zipSync.target = u"/q";
    zipSync.zip = true;
    EXPECT_TRUE(Says(RegisterJob(env, zipSync).messages, text::JobZipOnSync));
    NewJob periodDif = zipSync;
    periodDif.zip = false;
    periodDif.type = BackupType::Dif;
    periodDif.period = kDecember;
    EXPECT_TRUE(Says(RegisterJob(env, periodDif).messages, text::JobPeriodOnOtherType));
    EXPECT_EQ(ReadBytes(env), before);

    NewJob period = periodDif;
    period.type = BackupType::Spd;
    period.zip = true;
    const auto added = RegisterJob(env, period);
    ASSERT_TRUE(added.saved);
    EXPECT_TRUE(added.warnings.empty());
    EXPECT_EQ(PeriodOf(Load().jobs[2]), kDecember);
    EXPECT_EQ(Load().jobs[2].zipOption, 1u);
    period.target = u"/r";
    period.period.reset();
    EXPECT_TRUE(
        Says(RegisterJob(env, period).warnings, text::JobNoPeriodYet, u"4 --period FROM TO"));
}

}  // namespace
}  // namespace arkivo
