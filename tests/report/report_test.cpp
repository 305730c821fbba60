#include <gtest/gtest.h>

#include "common/text.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "report/backup_report.h"
#include "settings/lang_ini.h"
#include "support/temp_folder.h"

namespace arkivo {
namespace {

using test::ReadBytes;
using test::TempFolder;

TEST(ReportNames, FollowTheRunsLocalStartTime) {
    const auto t = platform::FromLocalTime({2009, 3, 1, 9, 5, 0, 0});
    ASSERT_TRUE(t);
    EXPECT_EQ(ReportFileName(*t), "Report2009_03_1_9h5m.txt");
    EXPECT_EQ(ElapsedText(3725), "1h2m5s");
    EXPECT_EQ(ElapsedText(59), "0h0m59s");
    EXPECT_EQ(ElapsedText(7200), "2h0m0s");
}

class Report : public ::testing::Test {
  protected:
    void SetUp() override {
        test::WriteBytes(folder / "english.ini",
                         "[Static]\nBASE=BASE : \nTARGET=TARGET : \n[Report]\n"
                         "BackupTime=Started : \nBackupNo=Copied : \nBackupElasped=Elapsed : \n"
                         "CreatedFile=Created\nUpdatedFile=Updated\nDeletedFile=Deleted\n"
                         "FailedFile=Failed\nFailedNo=Failures : \n");
        language.Open(folder / "english.ini");
        start = *platform::FromLocalTime({2009, 3, 5, 9, 7, 0, 0});
    }
    TempFolder folder;
    CLangIni language;
    std::int64_t start = 0;
};

TEST_F(Report, SectionsHoldTheHeadCountsAndLists) {
    if (!platform::AnsiIsUtf8()) {
        GTEST_SKIP() << "the expected report holds a character only UTF-8 can write";
    }
    BackupReport report(language, folder.path());
    ASSERT_TRUE(report.OpenReportFile(start));
    for (int job = 1; job <= 2; ++job) {
        report.WriteJobHead(job);
        report.WriteBaseLine(u"/src");
        report.WriteTargetLine(u"/dst/\u65e5");
        report.WriteStartTimeLine();
        report.OpenFileLists();
        if (job == 1) {
            report.NoteCreatedFile(u"/dst/new.txt");
            report.NoteUpdatedFile(u"/dst/changed.txt");
            report.NoteDeletedFile(u"/dst/old.txt");
            report.NoteFailedFile(u"/src/locked.txt");
        }
        report.WriteCopiedCountLine(job == 1 ? 2 : 0);
        report.WriteFailedCountLine(job == 1 ? 1 : 0);
        report.WriteElapsedLine(start + 3725);
        report.WriteFileSections();
        report.DeleteFileLists();
    }
    report.CloseReport();
    const std::string rule = "/*****************************************************/\r\n";
    const std::string first =
        rule + "* JOBLIST : 1\r\n" + rule + " @ BASE : /src\r\n @ TARGET : /dst/\xE6\x97\xA5\r\n" +
        "  - Started : 2009/03/5 9:7:0\r\n  - Copied : 2\r\n  - Failures : 1\r\n"
        "  - Elapsed : 1h2m5s\r\n  << Created >>\r\n/dst/new.txt\r\n  << Updated >>\r\n"
        "/dst/changed.txt\r\n  << Deleted >>\r\n/dst/old.txt\r\n  << Failed >>\r\n"
        "/src/locked.txt\r\n\r\n\r\n";
    const std::string second =
        rule + "* JOBLIST : 2\r\n" + rule + " @ BASE : /src\r\n @ TARGET : /dst/\xE6\x97\xA5\r\n" +
        "  - Started : 2009/03/5 9:7:0\r\n  - Copied : 0\r\n  - Elapsed : 1h2m5s\r\n"
        "  << Created >>\r\n  << Updated >>\r\n  << Deleted >>\r\n\r\n\r\n";
    EXPECT_EQ(ReadBytes(folder / "Report2009_03_5_9h7m.txt"), first + second);
    EXPECT_FALSE(std::filesystem::exists(folder / "TempCreated.txt"));
}

TEST_F(Report, PathsOfAnyLengthReachTheReport) {
    BackupReport report(language, folder.path());
    ASSERT_TRUE(report.OpenReportFile(start));
    report.WriteJobHead(1);
    report.OpenFileLists();
    const std::u16string longPath = u"/" + std::u16string(600, u'\u00e9') + u"/end";
    report.NoteCreatedFile(longPath);
    report.NoteCreatedFile(u"/after");
    report.WriteFileSections();
    report.CloseReport();
    const std::string text = ReadBytes(folder / "Report2009_03_5_9h7m.txt");
    EXPECT_NE(text.find(platform::Utf16ToAnsi(longPath).value() + "\r\n/after\r\n"),
              std::string::npos);
}

TEST_F(Report, OnlyOneReportIsOpenAtATime) {
    BackupReport first(language, folder.path());
    BackupReport second(language, folder.path());
    ASSERT_TRUE(first.OpenReportFile(start));
    EXPECT_FALSE(second.OpenReportFile(start));
    first.CloseReport();
    EXPECT_TRUE(second.OpenReportFile(start));
}

}  // namespace
}  // namespace arkivo
