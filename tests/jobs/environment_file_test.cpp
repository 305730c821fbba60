#include "jobs/environment_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/text.h"
#include "jobs/environment_format.h"
#include "support/temp_folder.h"

#ifndef _WIN32
#include <sys/stat.h>

#include "support/file_size_limit.h"
#endif

namespace arkivo {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

const std::filesystem::path kData = ARKIVO_TEST_DATA;

JobTable TwoJobTable() {
    JobTable table;
    table.version = 7;
    table.lastBasePath = u"/home/mika/\u010aopy \u0a0a \u0d0a";
    table.lastTargetPath = u"ftp://nas.local/backups";
    table.jobListFlag = kHasJobList;
    JobRecord first;
    first.checked = 1;
    first.jobNumber = 1;
    first.backupType = 1;
    first.zipOption = 1;
    first.basePath = table.lastBasePath;
    first.targetPath = u"/mnt/usb/backup";
    first.lastBackupTime = 1700000000;
    JobRecord second;
    second.checked = 0;
    second.jobNumber = 2;
    second.filterOn = 1;
    second.backupType = 3;
    second.periodStart = 1234567890;
    second.periodEnd = 4102444800;
    second.basePath = u"C:\\Data\\\u65e5\u672c\u8a9e";
    second.targetPath = u"ftp://nas.local/backups";
    second.lastBackupTime = 1700000100;
    second.lastSyncTime = 5;
    second.lastIncTime = 6;
    second.state = u"DONE";
    second.targetFtpUser = u"mika";
    second.targetFtpPassword = u"s3cr:t;[x]";
    second.targetFtpPort = 2121;
    second.targetFtpPassive = 0;
    table.jobs = {first, second};
    return table;
}

JobTable LoadBytes(const std::string& bytes) {
    JobTable table;
    DecodeEnvironment(bytes, table);
    return table;
}

std::string Encoded(std::u16string_view text) {
    return ApplyTextModeLineEnds(text);
}

const std::u16string kHead =
    u"[FILE_TITLE]\nVERSION :1,\n[LAST PATH]\nBASE PATH :,\nTARGET PATH :,]\n";

std::u16string JobLine(std::u16string_view base, bool last) {
    return u"PATH1 :1,1,0,0,0,0,0," + std::u16string(base) + u",/t,0,0,0,NYET,,,,,21,1,21,1," +
           (last ? u"]" : u"") + u"\n";
}

TEST(EnvironmentReferenceFiles, LoadGiveTheDocumentedFieldsAndSaveWritesThemBackByteForByte) {
    const JobTable loaded = LoadBytes(ReadBytes(kData / "two_jobs.env"));
    ASSERT_EQ(loaded.loadStatus, LoadStatus::Ok);
    EXPECT_EQ(loaded, TwoJobTable());
    EXPECT_EQ(EncodeEnvironment(TwoJobTable()), ReadBytes(kData / "two_jobs.env"));

    const JobTable empty = LoadBytes(ReadBytes(kData / "no_jobs.env"));
    ASSERT_EQ(empty.loadStatus, LoadStatus::Ok);
    EXPECT_EQ(empty.jobListFlag, kNoJobList);
    EXPECT_EQ(empty.version, 1u);
    EXPECT_TRUE(empty.jobs.empty());
    EXPECT_TRUE(empty.lastTargetPath.empty());
    EXPECT_EQ(EncodeEnvironment(empty), ReadBytes(kData / "no_jobs.env"));
}

TEST(EnvironmentReferenceFiles, ReaderSkipsDecorationAndTakesTheSecondJobNumber) {
    const JobTable loaded = LoadBytes(ReadBytes(kData / "loose_layout.env"));
    ASSERT_EQ(loaded.loadStatus, LoadStatus::Ok);
    EXPECT_EQ(loaded.version, 3u);
    EXPECT_EQ(loaded.lastBasePath, u"/srv/data");
    EXPECT_EQ(loaded.lastTargetPath, u"");
    ASSERT_EQ(loaded.jobs.size(), 1u);
    EXPECT_EQ(loaded.jobs[0].jobNumber, 2u);
    EXPECT_EQ(loaded.jobs[0].backupType, 2u);
    EXPECT_EQ(loaded.jobs[0].targetPath, u"");
    EXPECT_EQ(loaded.jobs[0].lastIncTime, 1600000000u);
}

TEST(EnvironmentFormat, EveryCharacterAPathCanHoldRoundTrips) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> unit(1, 0xFFFF);
    JobTable table;
    table.jobListFlag = kHasJobList;
    for (int j = 0; j < 40; ++j) {
        JobRecord job;
        job.jobNumber = static_cast<std::uint32_t>(j + 1);
        for (int i = 0; i < 254; ++i) {
            char16_t c;
            do {
                c = static_cast<char16_t>(unit(random));
            } while (c == u',');
            job.basePath.push_back(c);
        }
        job.targetPath = job.basePath.substr(0, 17);
        job.targetFtpPassword = job.basePath.substr(100, 60);
        table.jobs.push_back(job);
    }
    const JobTable loaded = LoadBytes(EncodeEnvironment(table));
    ASSERT_EQ(loaded.loadStatus, LoadStatus::Ok);
    EXPECT_EQ(loaded.jobs, table.jobs);
}

// The reader's limits: the skip to the first ":" may read 256 units, the ":" included, but
// not 257; a text holds at most 254 units; a table at most 255 jobs. A file cut short is
// damaged, and a table too long is an error, not a table cut short.
TEST(EnvironmentFormat, LimitsAndDamageAreRefusedAsSuch) {
    const std::u16string rest = u"VERSION :1,\nBASE PATH :,\nTARGET PATH :,]\n\n[END]";
    const std::u16string list = kHead + u"[JOB LIST]\n";
    std::u16string jobs255 = list;
    for (int i = 0; i < 255; ++i) {
        jobs255 += JobLine(u"/b" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)), false);
    }
    const struct {
        const char* what;
        std::u16string text;
        LoadStatus status;
    } cases[] = {
        {"255 units to the colon", std::u16string(255 - 8, u'T') + rest, LoadStatus::Ok},
        {"256 units to the colon", std::u16string(256 - 8, u'T') + rest, LoadStatus::BadFormat},
        {"a text of 254", list + JobLine(std::u16string(254, u'a'), true), LoadStatus::Ok},
        {"a text of 255", list + JobLine(std::u16string(255, u'a'), true), LoadStatus::BadFormat},
        {"255 jobs", jobs255.substr(0, jobs255.size() - 1) + u"]\n\n[END]", LoadStatus::Ok},
        {"256 jobs", jobs255 + JobLine(u"/last", true) + u"\n[END]", LoadStatus::TooManyJobs},
        {"no job line", list, LoadStatus::BadFormat},
        {"no last path", u"[FILE_TITLE]\nVERSION :1,\n", LoadStatus::BadFormat},
        {"nothing", u"", LoadStatus::BadFormat},
        // Fewer than 21 fields before the end of the file.
        {"a job line cut short", list + u"PATH1 :1,1,0,", LoadStatus::BadFormat},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadBytes(Encoded(c.text)).loadStatus, c.status) << c.what;
    }
    // What the limits let through is read whole.
    EXPECT_EQ(LoadBytes(Encoded(cases[2].text)).jobs.at(0).basePath, std::u16string(254, u'a'));
    EXPECT_EQ(LoadBytes(Encoded(cases[4].text)).jobs.size(), 255u);
}

// A damaged file is located for the user: the line where the field in question begins, the
// job line and field, and what is wrong with it. What the reader accepts does not change.
TEST(EnvironmentFormat, DamageIsLocatedByLineJobAndField) {
    const std::u16string list = kHead + u"[JOB LIST]\n";
    const std::u16string good = JobLine(u"/b", false);
    const struct {
        std::u16string text;
        std::u16string where;
    } cases[] = {
        {list + good + JobLine(std::u16string(255, u'a'), true),
         u"line 8 (job 2, field 8 'base path'): more than 254 characters"},
        {list + good + JobLine(std::u16string(400, u'a'), true),
         u"line 8 (job 2, field 8 'base path'): more than 254 characters"},
        {list + u"PATH1 :1,1,0,0,0,0,0,/b,/t,0,0,0,WAITING,,,,,21,1,21,1,]\n",
         u"line 7 (job 1, field 13 'state'): more than 4 characters"},
        {list + good + u"PATH2 :1,2,0,",
         u"line 8 (job 2, field 4 'backup type'): the file ends "
         u"before its ','"},
        {list + good + u"PATH2 :1,2,0," + std::u16string(300, u'7') + u",",
         u"line 8 (job 2, field 4 'backup type'): no ',' within 256 characters"},
        {list + good + std::u16string(300, u'P') + u" :1,",
         u"line 8 (job 2, 'job label'): no ':' within 256 characters"},
        {list, u"line 7 (job 1, 'job label'): the file ends before its ':'"},
        {u"[FILE_TITLE]\nVERSION :1,\n[LAST PATH]\nBASE PATH :" + std::u16string(260, u'b') +
             u",\n",
         u"line 4 ('last base path'): more than 254 characters"},
        {u"[FILE_TITLE]\nVERSION :1,\n",
         u"line 3 ('last base path'): the file ends before its ':'"},
        {kHead, u"line 6 ('section after the last paths'): the file ends before the next section"},
        {u"", u"line 1 ('version'): the file ends before its ':'"},
    };
    for (const auto& c : cases) {
        JobTable table;
        EnvironmentFormatProblem problem;
        DecodeEnvironment(Encoded(c.text), table, &problem);
        EXPECT_EQ(table.loadStatus, LoadStatus::BadFormat) << Utf16ToUtf8(c.where);
        EXPECT_EQ(Utf16ToUtf8(DescribeFormatProblem(problem)), Utf16ToUtf8(c.where));
    }
}

// The coded text stays as it was, followed by the file and the place of the damage.
TEST(EnvironmentFile, ADamagedFileIsNamedWithTheLineAndFieldOfTheDamage) {
    TempFolder folder;
    const auto path = folder / "LastSetting.env";
    WriteBytes(path, Encoded(kHead + u"[JOB LIST]\n" + JobLine(std::u16string(255, u'a'), true)));
    EnvironmentFile file(path);
    ASSERT_EQ(file.Load().loadStatus, LoadStatus::BadFormat);
    const UserMessage message = file.LoadProblem();
    EXPECT_EQ(Utf16ToUtf8(message.fixedText), "EF001-unknown file format");
    EXPECT_EQ(
        Utf16ToUtf8(message.detail),
        ": " + path.string() + ", line 7 (job 1, field 8 'base path'): more than 254 characters");
}

TEST(EnvironmentFile, MissingFileCannotBeOpenedAndEnsureCreatesAnEmptyOne) {
    TempFolder folder;
    const auto path = folder / "LastSetting.env";
    EnvironmentFile file(path);
    EXPECT_EQ(file.Load().loadStatus, LoadStatus::CannotOpen);
    EXPECT_EQ(file.FindByBase(u"/x"), kNoJobIndex);
    ASSERT_TRUE(EnsureEnvironmentFile(path));
    const JobTable& table = file.Load();
    EXPECT_EQ(table.loadStatus, LoadStatus::Ok);
    EXPECT_EQ(table.jobListFlag, kNoJobList);
    EXPECT_EQ(table.version, kNewEnvironmentVersion);

    // An existing file is left alone.
    WriteBytes(path, ReadBytes(kData / "two_jobs.env"));
    ASSERT_TRUE(EnsureEnvironmentFile(path));
    EXPECT_EQ(ReadBytes(path), ReadBytes(kData / "two_jobs.env"));
}

#ifndef _WIN32
TEST(EnvironmentFile, IsReadableByItsOwnerOnly) {
    TempFolder folder;
    const auto path = folder / "LastSetting.env";
    WriteBytes(path, ReadBytes(kData / "no_jobs.env"));
    ::chmod(path.c_str(), 0644);
    EnvironmentFile file(path);
    JobTable table = TwoJobTable();
    ASSERT_EQ(file.Save(table), LoadStatus::Ok);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(EnvironmentFile, AFailedSaveLeavesTheOldFileWhole) {
    TempFolder folder;
    const auto path = folder / "LastSetting.env";
    const std::string old = ReadBytes(kData / "two_jobs.env");
    WriteBytes(path, old);
    JobTable big = TwoJobTable();
    for (int i = 0; i < 200; ++i) {
        JobRecord job;
        job.basePath = std::u16string(200, u'x');
        job.targetPath = u"/t";
        big.jobs.push_back(job);
    }
    EnvironmentFile file(path);
    // The write fails part-way: files may not grow past 4 KiB for a moment.
    EXPECT_EQ(
        [&] {
            const test::FileSizeLimit full(4096);
            return file.Save(big);
        }(),
        LoadStatus::CannotOpen);
    EXPECT_EQ(ReadBytes(path), old);
    // Nothing is left beside it but the data folder's lock file.
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::filesystem::path>{kDataFolderLockFile, "LastSetting.env"}));
}
#endif

}  // namespace
}  // namespace arkivo
