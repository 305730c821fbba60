#include <gtest/gtest.h>

#include <thread>

#include "engine/dated_name.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "support/engine_fixture.h"

namespace arkivo {
namespace {

using test::DatedFolders;
using test::FileContents;
using test::MakeFile;
using test::ReadBytes;

// The dated folders a run made under the target.
TEST(DatedName, PrefixDateAndTimeWithoutLeadingZeros) {
    const auto t = platform::FromLocalTime({2009, 3, 5, 9, 7, 30, 0});
    ASSERT_TRUE(t);
    EXPECT_EQ(engine::MakeDatedFolderName(engine::kDifPrefix, *t), u"DIF_2009_03_5_9h7m");
    const auto late = platform::FromLocalTime({2009, 11, 20, 18, 30, 0, 0});
    EXPECT_EQ(engine::MakeDatedFolderName(engine::kIncPrefix, *late), u"INC_2009_11_20_18h30m");
}

class Dated : public test::EngineTest {};

// The target is the reference and is never changed; the dated folder takes what it lacks or
// holds older, and the report lists the paths written there.
TEST_F(Dated, DifferentialTakesWhatIsMissingOrNewerThanTheReference) {
    ReportEverything();
    MakeFile(base / "same.txt", "s", 1600000000);
    MakeFile(target / "same.txt", "s", 1600000000);
    MakeFile(base / "changed.txt", "new", 1600000001);
    MakeFile(target / "changed.txt", "old", 1600000000);
    MakeFile(base / "quiet/untouched.txt", "u", 1600000000);
    MakeFile(target / "quiet/untouched.txt", "u", 1600000000);
    MakeFile(base / "docs/b.txt", "b");
    AddJob(base, target, BackupType::Dif);
    ASSERT_TRUE(Run().Succeeded());
    const auto dated = DatedFolders(target, "DIF_");
    ASSERT_EQ(dated.size(), 1u);
    EXPECT_EQ(FileContents(dated[0]),
              (std::map<std::string, std::string>{{"changed.txt", "new"}, {"docs/b.txt", "b"}}));
    EXPECT_FALSE(std::filesystem::exists(dated[0] / "quiet"));
    EXPECT_EQ(ReadBytes(target / "changed.txt"), "old");
    EXPECT_FALSE(std::filesystem::exists(target / "docs"));
    const std::string report = LatestReport();
    EXPECT_EQ(Listed(report, "Created"),
              std::vector<std::string>{(dated[0] / "docs" / "b.txt").string()});
    EXPECT_EQ(Listed(report, "Updated"),
              std::vector<std::string>{(dated[0] / "changed.txt").string()});
}

TEST_F(Dated, IncrementalPicksUpChangesSinceItsLastRun) {
    ReportEverything();
    MakeFile(base / "one.txt", "1", 1500000000);
    MakeFile(base / "two.txt", "2", 1500000000);
    std::filesystem::create_directories(target);
    const auto job = AddJob(base, target, BackupType::Inc);
    // Creation times are whole seconds: let the files' second pass before the first run.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    ASSERT_TRUE(Run().Succeeded());
    auto dated = DatedFolders(target, "INC_");
    ASSERT_EQ(dated.size(), 1u);
    EXPECT_EQ(FileContents(dated[0]).size(), 2u);
    const auto stamped = Job(job).lastIncTime;
    EXPECT_GT(stamped, 1500000000u);
    EXPECT_GE(Job(job).lastBackupTime, stamped);
    std::filesystem::remove_all(dated[0]);

    // A second run finds nothing new and makes no dated folder; then a file written after the
    // run, and a file copied in with an old write time (so only its creation time is new), are
    // both picked up.
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_TRUE(DatedFolders(target, "INC_").empty());
    MakeFile(base / "two.txt", "2 again");
    MakeFile(base / "moved-in.txt", "old content", 1400000000);
    std::map<std::string, std::string> expected = {{"moved-in.txt", "old content"},
                                                   {"two.txt", "2 again"}};
    // Some file systems (Wine's view of Linux ones among them) keep no creation time and
    // report the last write instead; there only the write time can tell.
    platform::FileInfo movedIn;
    ASSERT_FALSE(platform::GetFileInfo(base / "moved-in.txt", movedIn));
    if (FileTimeToUnixSeconds(movedIn.creationTime) <=
        static_cast<std::int64_t>(Job(job).lastIncTime)) {
        expected.erase("moved-in.txt");
    }
    ASSERT_TRUE(Run().Succeeded());
    dated = DatedFolders(target, "INC_");
    ASSERT_EQ(dated.size(), 1u);
    EXPECT_EQ(FileContents(dated[0]), expected);
    EXPECT_NE(LatestReport().find((dated[0] / "two.txt").string()), std::string::npos);
}

TEST_F(Dated, PeriodCopiesFilesWrittenBeforeItsEnd) {
    MakeFile(base / "inside.txt", "i", 1500000000);
    MakeFile(base / "after-end.txt", "late", 4102444800);
    std::filesystem::create_directories(target);
    const auto job = AddJob(base, target, BackupType::Spd);
    Edit(job, [](JobRecord& record) {
        record.periodStart = 0;
        record.periodEnd = 4000000000;
    });
    ASSERT_TRUE(Run().Succeeded());
    const auto dated = DatedFolders(target, "SPD_");
    ASSERT_EQ(dated.size(), 1u);
    EXPECT_EQ(FileContents(dated[0]), (std::map<std::string, std::string>{{"inside.txt", "i"}}));
    EXPECT_GT(Job(job).periodStart, 0u);
    EXPECT_EQ(Job(job).periodEnd, 4000000000u);
}

TEST_F(Dated, AnUnknownTypeCopiesNothingFailsTheRunAndTheRunGoesOn) {
    MakeFile(base / "a.txt", "a");
    std::filesystem::create_directories(target);
    const auto strange = AddJob(base, target, BackupType::Dif);
    Edit(strange, [](JobRecord& record) { record.backupType = 5; });
    const auto normal = AddJob(base, folder / "second");
    ASSERT_EQ(normal, 1u);
    const auto summary = Run();
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_EQ(summary.failed, 1u);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].fixedText, u"ERROR-0x0001");
    EXPECT_EQ(test::FileContents(target).size(), 0u);
    EXPECT_EQ(ReadBytes(folder / "second/a.txt"), "a");
    EXPECT_GT(Job(strange).lastBackupTime, 0u);
}

}  // namespace
}  // namespace arkivo
