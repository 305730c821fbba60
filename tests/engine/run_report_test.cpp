// What the report of a run says: the paths actually written, every run's own report, and
// nothing that did not happen.
#include <gtest/gtest.h>

#include "engine/dated_name.h"
#include "jobs/job_flags.h"
#include "support/engine_fixture.h"

namespace arkivo {
namespace {

using test::MakeFile;
using test::ReadBytes;

class RunReport : public test::EngineTest {};

// With the report off no report or list is written; with it on, each run of a minute keeps a
// report of its own.
TEST_F(RunReport, EachRunOfAMinuteKeepsAReportOfItsOwnUnlessTheReportIsOff) {
    MakeFile(base / "a.txt", "a");
    AddJob(base, target);
    const auto off = Run();
    ASSERT_TRUE(off.Succeeded());
    EXPECT_TRUE(off.reportFile.empty());
    EXPECT_TRUE(Reports().empty());
    for (const auto& entry : std::filesystem::directory_iterator(home)) {
        EXPECT_EQ(entry.path().filename().string().rfind("Temp", 0), std::string::npos)
            << entry.path();
    }

    ReportEverything();
    MakeFile(base / "b.txt", "b");
    const auto first = Run();
    MakeFile(base / "c.txt", "c");
    const auto second = Run();
    ASSERT_TRUE(first.Succeeded() && second.Succeeded());
    ASSERT_NE(first.reportFile, second.reportFile);
    EXPECT_EQ(Listed(ReadBytes(first.reportFile), "Created"),
              (std::vector<std::string>{(target / "b.txt").string()}));
    EXPECT_EQ(Listed(ReadBytes(second.reportFile), "Created"),
              (std::vector<std::string>{(target / "c.txt").string()}));
}

#ifndef _WIN32
TEST_F(RunReport, AReportThatCannotBeWrittenFailsTheRunWithTheReason) {
    ReportEverything();
    MakeFile(base / "a.txt", "a");
    AddJob(base, target);
    // Reports go to the current folder; one that no longer exists takes no file.
    const auto gone = home / "gone";
    std::filesystem::create_directories(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);
    const auto summary = Run();
    std::filesystem::current_path(home);
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_TRUE(summary.reportFailed);
    EXPECT_EQ(ReadBytes(target / "a.txt"), "a");
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].fixedText.rfind(u"No report: ", 0), 0u);
    EXPECT_NE(observer.messages[0].fixedText.find(u"No such file or directory"),
              std::u16string::npos);
}
#endif

TEST_F(RunReport, AnArchiveThatCannotBeCompletedCountsAndListsNothingAsCopied) {
    ReportEverything();
    MakeFile(base / "a.txt", "a");
    MakeFile(base / "b.txt", "b");
    AddZipJob(BackupType::Dif);
    const std::string name = NameNow(engine::kDifPrefix);
    // A folder under the archive's name: the finished archive cannot take its name.
    MakeFile(target / (name + ".zip") / "in the way", "x");
    const auto summary = Run();
    if (NameNow(engine::kDifPrefix) != name) {
        GTEST_SKIP() << "the minute changed during the run";
    }
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_EQ(summary.copied, 0u);
    EXPECT_EQ(summary.failed, 1u);
    const std::string report = LatestReport();
    EXPECT_TRUE(Listed(report, "Created").empty());
    EXPECT_EQ(Listed(report, "Failed"),
              (std::vector<std::string>{(target / (name + ".zip")).string()}));
}

}  // namespace
}  // namespace arkivo
