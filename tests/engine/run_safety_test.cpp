// The run's promises about failures, interruptions and leftovers.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "jobs/job_flags.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "settings/text_keys.h"
#include "support/engine_fixture.h"
#include "support/numbered_name.h"
#include "zip/verify.h"

#ifndef _WIN32
#include "support/file_size_limit.h"
#include "support/small_file_system.h"
#endif

namespace arkivo {
namespace {

using test::FileContents;
using test::MakeFile;
using test::ReadBytes;

class RunSafety : public test::EngineTest {
  protected:
    void RemoveEarlierRuns() {
        for (const auto& entry : std::filesystem::directory_iterator(target)) {
            std::filesystem::remove_all(entry.path());
        }
    }
};

TEST_F(RunSafety, AFailedCopyIsCountedListedAndNeverReportedAsCopied) {
    ReportEverything();
    MakeFile(base / "good.txt", "g");
    MakeFile(base / "blocked.txt", "b");
    // A folder where the copy must go makes that one copy fail.
    std::filesystem::create_directories(target / "blocked.txt");
    AddJob(base, target);
    const auto summary = Run();
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_EQ(summary.failed, 1u);
    EXPECT_EQ(summary.copied, 1u);
    EXPECT_EQ(observer.failures, std::vector<std::filesystem::path>{base / "blocked.txt"});
    const std::string report = LatestReport();
    EXPECT_EQ(Listed(report, "Failed"), std::vector<std::string>{(base / "blocked.txt").string()});
    EXPECT_EQ(Listed(report, "Created"), std::vector<std::string>{(target / "good.txt").string()});
    EXPECT_EQ(report.find((target / "blocked.txt").string()), std::string::npos);
    EXPECT_NE(report.find("Copied : 1"), std::string::npos);
    EXPECT_NE(report.find("Failures : 1"), std::string::npos);
}

// Neither a stopped nor a failed incremental run moves the time the next one starts from, but
// both count as runs. The jobs after a stopped one are not touched, and its report says where
// it stopped.
TEST_F(RunSafety, AStoppedOrFailedIncrementalRunKeepsItsReferenceTimeButStampsTheRun) {
    ReportEverything();
    for (int i = 0; i < 50; ++i) {
        MakeFile(base / test::NumberedName("f", i), "x");
    }
    std::filesystem::create_directories(target);
    const auto job = AddJob(base, target, BackupType::Inc);
    const auto second = AddJob(base, folder / "t2", BackupType::Inc);
    const auto stopped = RunStoppedAtFirstFile();
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.Succeeded());
    EXPECT_EQ(Job(job).lastIncTime, 0u);
    EXPECT_GT(Job(job).lastBackupTime, 0u);
    EXPECT_EQ(Job(second).lastBackupTime, 0u);
    EXPECT_EQ(observer.startedJobs, (std::vector<std::size_t>{0}));
    EXPECT_NE(ReadBytes(stopped.reportFile).find("  ! Stopped here\r\n"), std::string::npos);

    // No dated folder can be made: a file stands where the target should be.
    Edit(job, [](JobRecord& record) { record.lastBackupTime = 0; });
    std::filesystem::remove_all(target);
    MakeFile(target, "not a folder");
    EXPECT_FALSE(Run({.jobs = {job}}).Succeeded());
    EXPECT_EQ(Job(job).lastIncTime, 0u);
    EXPECT_GT(Job(job).lastBackupTime, 0u);
}

// A period job over files written well inside its period, which starts at kPeriodStart.
class PeriodRunSafety : public RunSafety {
  protected:
    static constexpr std::uint64_t kPeriodStart = 1400000000;

    void SetUp() override {
        RunSafety::SetUp();
        for (int i = 0; i < 20; ++i) {
            MakeFile(base / test::NumberedName("f", i), "x", 1500000000);
        }
        std::filesystem::create_directories(target);
        job = AddJob(base, target, BackupType::Spd);
        Edit(job, [](JobRecord& record) {
            record.periodStart = kPeriodStart;
            record.periodEnd = 4000000000;
        });
        // Creation times are whole seconds: let the files' second pass, so that a period
        // start moved to the first run would leave them all out of the next.
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    }

    // What an undisturbed run copies once the earlier runs' dated folders are gone.
    std::map<std::string, std::string> NextRunCopies() {
        observer.onFile = nullptr;
        RemoveEarlierRuns();
        EXPECT_TRUE(Run().Succeeded());
        std::map<std::string, std::string> copied;
        for (const auto& entry : std::filesystem::directory_iterator(target)) {
            copied.merge(FileContents(entry.path()));
        }
        return copied;
    }

    std::size_t job = 0;
};

TEST_F(PeriodRunSafety, AStoppedRunKeepsThePeriodStartAndTheNextRunTakesWhatItMissed) {
    const auto summary = RunStoppedAtFirstFile();
    ASSERT_TRUE(summary.stopped);
    EXPECT_LT(summary.copied, 20u);
    EXPECT_EQ(Job(job).periodStart, kPeriodStart);
    EXPECT_GT(Job(job).lastBackupTime, 0u);

    EXPECT_EQ(NextRunCopies(), FileContents(base));
}

TEST_F(PeriodRunSafety, ARunWithAFailedFileKeepsThePeriodStartAndTheNextRunTakesWhatItMissed) {
    bool removed = false;
    observer.onFile = [&removed](const std::filesystem::path& source) {
        if (!removed) {
            removed = true;
            // Gone between the listing and the copy: this one copy fails.
            std::filesystem::remove(source);
        }
    };
    const auto summary = Run();
    ASSERT_EQ(summary.failed, 1u);
    EXPECT_EQ(summary.copied, 19u);
    EXPECT_EQ(Job(job).periodStart, kPeriodStart);

    EXPECT_EQ(NextRunCopies(), FileContents(base));
}

TEST_F(RunSafety, AFileChangedDuringTheWalkIsTakenByTheNextRun) {
    MakeFile(base / "a.txt", "first", 1500000000);
    MakeFile(base / "b.txt", "first", 1500000000);
    std::filesystem::create_directories(target);
    const auto job = AddJob(base, target, BackupType::Inc);
    bool changed = false;
    observer.onFile = [&](const std::filesystem::path& file) {
        if (!changed) {
            changed = true;
            // Rewritten right after its copy, within the walk.
            MakeFile(file, "second");
        }
    };
    ASSERT_TRUE(Run().Succeeded());
    observer.onFile = nullptr;
    const auto firstRun = Job(job).lastIncTime;
    RemoveEarlierRuns();
    ASSERT_TRUE(Run().Succeeded());
    bool found = false;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(target)) {
        found = found || (entry.is_regular_file() && ReadBytes(entry.path()) == "second");
    }
    EXPECT_TRUE(found) << "stamped " << firstRun;
}

TEST_F(RunSafety, ARunWarnsOfJobsThatDeleteEachOthersFiles) {
    MakeFile(base / "a.txt", "a");
    MakeFile(folder / "other/b.txt", "b");
    const auto mirror = AddJob(base, target);
    AddJob(folder / "other", target / "inside");
    AddJob(folder / "other", folder / "elsewhere");
    WriteSyncDelNoSrc(stores.setting, mirror, true);
    Run();
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_TRUE(observer.messages[0].IsText(text::RootTargetsOverlap));
    EXPECT_EQ(observer.messages[0].detail, u"1, 2");

    observer.messages.clear();
    Run({.jobs = {mirror}});
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(RunSafety, ARunTakesTheSettingsAnotherProgramChangedMeanwhile) {
    MakeFile(base / "keep.txt", "k");
    MakeFile(base / "skip.tmp", "s");
    const auto job = AddJob(base, target);
    // Written by another process after this one loaded its stores.
    Edit(job, [](JobRecord& record) { record.filterOn = 1; });
    test::WriteBytes(home / "Filter.ini", "[1]\r\n1=*.tmp\r\n");
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_EQ(FileContents(target), (std::map<std::string, std::string>{{"keep.txt", "k"}}));
}

// A source rewritten while its copy is under way: the copy is refused, the target keeps its
// previous version, and the job is failed so the next run takes the file again.
class ChangingSource : public RunSafety {
  protected:
    // Large enough to be copied in several pieces.
    const std::string original = std::string(40 << 20, 'o');

    void ChangeDuringCopy(const std::function<void(const std::filesystem::path&)>& change) {
        bool changed = false;
        observer.onFileProgress = [&, change](std::uint64_t done, std::uint64_t size) {
            if (!changed && done < size) {
                changed = true;
                change(base / "big.bin");
            }
        };
    }

    void ExpectRefused(const engine::RunSummary& summary) {
        EXPECT_FALSE(summary.Succeeded());
        EXPECT_EQ(summary.failed, 1u);
        EXPECT_EQ(summary.copied, 0u);
        ASSERT_EQ(observer.failureErrors.size(), 1u);
        EXPECT_EQ(observer.failureErrors[0], platform::CopyError::SourceChanged);
        EXPECT_EQ(observer.failureErrors[0].message(), "the file changed while it was copied");
        for (const auto& entry : std::filesystem::recursive_directory_iterator(target)) {
            EXPECT_FALSE(platform::IsTemporaryName(entry.path().filename())) << entry.path();
        }
    }
};

TEST_F(ChangingSource, ATruncatedSourceLeavesThePreviousVersionUnderTheRealName) {
    MakeFile(base / "big.bin", original, 1600000100);
    MakeFile(target / "big.bin", "the previous backup", 1600000000);
    AddJob(base, target);
    ChangeDuringCopy(
        [](const std::filesystem::path& file) { std::filesystem::resize_file(file, 15 << 20); });
    ExpectRefused(Run());
    EXPECT_TRUE(ReadBytes(target / "big.bin") == "the previous backup");
    EXPECT_EQ(test::LastWrite(target / "big.bin"), 1600000000);
}

TEST_F(ChangingSource, AGrowingSourceIsNotCopiedOnAndKeepsTheIncrementalReference) {
    MakeFile(base / "big.bin", original, 1600000100);
    std::filesystem::create_directories(target);
    const auto job = AddJob(base, target, BackupType::Inc);
    ChangeDuringCopy([](const std::filesystem::path& file) {
        std::ofstream(file, std::ios::binary | std::ios::app) << "appended";
    });
    ExpectRefused(Run());
    EXPECT_EQ(Job(job).lastIncTime, 0u);
    EXPECT_TRUE(test::DatedFolders(target, "INC_").empty());
}

// A file deleted by its owner after the walk listed it and before its copy: it is named as
// failed with the system's reason, never counted as copied, and its neighbours are copied, into
// a folder or an archive alike.
class VanishingSource : public RunSafety, public ::testing::WithParamInterface<bool> {};

TEST_P(VanishingSource, IsNamedFailedAndItsNeighboursAreCopied) {
    const bool intoArchive = GetParam();
    ReportEverything();
    MakeFile(base / "a.txt", "a");
    MakeFile(base / "gone.txt", "soon deleted");
    MakeFile(base / "z.txt", "z");
    std::filesystem::create_directories(target);
    if (intoArchive) {
        AddZipJob(BackupType::Dif);
    } else {
        AddJob(base, target, BackupType::Dif);
    }
    observer.onFile = [&](const std::filesystem::path& file) {
        if (file.filename() == "gone.txt") {
            std::filesystem::remove(file);
        }
    };
    const auto summary = Run();
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_EQ(summary.copied, 2u);
    EXPECT_EQ(summary.failed, 1u);
    ASSERT_EQ(observer.failures, std::vector<std::filesystem::path>{base / "gone.txt"});
    ASSERT_EQ(observer.failureErrors.size(), 1u);
    EXPECT_EQ(observer.failureErrors[0], std::errc::no_such_file_or_directory)
        << observer.failureErrors[0].message();
    EXPECT_EQ(Listed(LatestReport(), "Failed"),
              std::vector<std::string>{(base / "gone.txt").string()});
    std::size_t copies = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(target)) {
        EXPECT_EQ(entry.path().filename().string().find("gone"), std::string::npos);
        EXPECT_FALSE(platform::IsTemporaryName(entry.path().filename())) << entry.path();
        copies += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(copies, intoArchive ? 1u : 2u);
    if (intoArchive) {
        const auto archive = std::filesystem::directory_iterator(target)->path();
        std::vector<std::string> entries;
        for (const auto& entry : zip::VerifyZipArchive(archive).entries) {
            EXPECT_EQ(entry.check, zip::EntryCheck::Ok) << entry.name;
            entries.push_back(std::filesystem::path(entry.name).filename().string());
        }
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(entries, (std::vector<std::string>{"a.txt", "z.txt"}));
    }
}

INSTANTIATE_TEST_SUITE_P(FolderOrArchive, VanishingSource, ::testing::Bool(), [](const auto& info) {
    return info.param ? "IntoArchive" : "IntoFolder";
});

// Names of the shape an interrupted copy leaves behind.
constexpr const char* kLeftover = ".arkivo-0123456789abcdef.tmp";
constexpr const char* kOtherLeftover = ".arkivo-fedcba9876543210.tmp";

TEST_F(RunSafety, LeftoversOfAnInterruptedCopyAreRemovedAndNeverTaken) {
    ReportEverything();
    MakeFile(base / "a.txt", "a", 1600000000);
    MakeFile(base / "sub/b.txt", "b", 1600000000);
    MakeFile(base / kLeftover, "a leftover in the source");
    MakeFile(target / "a.txt", "a", 1600000000);
    MakeFile(target / kLeftover, "half a copy");
    MakeFile(target / "sub" / kOtherLeftover, "half a copy");
    const auto job = AddJob(base, target);
    WriteSyncDelNoSrc(stores.setting, job, true);
    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded());
    EXPECT_EQ(summary.copied, 1u);
    EXPECT_EQ(summary.deleted, 0u);
    EXPECT_EQ(observer.jobs.at(0).examined, 2u);
    EXPECT_EQ(observer.ranges.front(), 2u);
    EXPECT_EQ(FileContents(target),
              (std::map<std::string, std::string>{{"a.txt", "a"}, {"sub/b.txt", "b"}}));
    EXPECT_EQ(LatestReport().find(".arkivo-"), std::string::npos);
}

TEST_F(RunSafety, AUsersOwnFilesAreNeverTakenForOurLeftovers) {
    // Names near the temporary shape are the user's, and names as long as a folder can hold
    // can be copied: the temporary name does not grow with the real one.
    std::map<std::string, std::string> files = {
        {"mywork.arkivo-tmp", "base work"},
        {".arkivo-0123456789ABCDEF.tmp", "upper-case digits"},
        {".arkivo-0123456789abcde.tmp", "one digit short"}};
#ifndef _WIN32
    std::string cjk;
    for (int i = 0; i < 84; ++i) {
        cjk += "\xe6\x97\xa5";  // 252 bytes of UTF-8
    }
    files[cjk] = "a long name in UTF-8";
    files[std::string(251, 'n') + ".txt"] = "a name of 255 bytes";
#endif
    for (const auto& [name, content] : files) {
        MakeFile(base / name, content);
    }
    MakeFile(target / "important.arkivo-tmp", "the user's own file");
    AddJob(base, target);
    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded());
    EXPECT_EQ(summary.copied, files.size());
    auto expected = files;
    expected["important.arkivo-tmp"] = "the user's own file";
    EXPECT_EQ(FileContents(target), expected);
}

TEST_F(RunSafety, LeftoversInTheLastDatedFolderAreRemovedByTheNextRun) {
    MakeFile(base / "a.txt", "a");
    MakeFile(target / "DIF_2020_01_1_1h1m" / kLeftover, "half");
    MakeFile(target / "DIF_2020_01_1_1h1m/sub" / kOtherLeftover, "half");
    MakeFile(target / kLeftover, "half an archive");
    MakeFile(target / "DIF_2020_01_1_1h1m/mine.arkivo-tmp", "the user's");
    AddJob(base, target, BackupType::Dif);
    ASSERT_TRUE(Run().Succeeded());
    auto kept = FileContents(target / "DIF_2020_01_1_1h1m");
    EXPECT_EQ(kept, (std::map<std::string, std::string>{{"mine.arkivo-tmp", "the user's"}}));
    EXPECT_FALSE(std::filesystem::exists(target / kLeftover));
}

TEST_F(RunSafety, AMissingTargetDriveIsNotRecreatedElsewhere) {
    MakeFile(base / "a.txt", "a");
    AddJob(base, folder / "unplugged-drive" / "backup");
    const auto summary = Run();
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_FALSE(std::filesystem::exists(folder / "unplugged-drive"));
    EXPECT_EQ(summary.failed, 1u);
    // Said as the likely cause, not as a folder that could not be made.
    EXPECT_TRUE(observer.failures.empty());
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_TRUE(observer.messages[0].IsText(text::RunTargetParentMissing));
    EXPECT_EQ(observer.messages[0].detail,
              platform::ShownPathText(folder / "unplugged-drive" / "backup"));
}

TEST_F(RunSafety, ADryRunChangesNothing) {
    MakeFile(base / "a.txt", "a");
    MakeFile(target / "orphan.txt", "o");
    const auto job = AddJob(base, target);
    WriteSyncDelNoSrc(stores.setting, job, true);
    const auto envBefore = ReadBytes(home / "LastSetting.env");
    const auto settingBefore = ReadBytes(home / "Setting.ini");
    const auto before = test::TreeContents(target);
    EXPECT_TRUE(Run({.dryRun = true, .jobs = {}}).Succeeded());
    EXPECT_EQ(test::TreeContents(target), before);
    EXPECT_EQ(ReadBytes(home / "LastSetting.env"), envBefore);
    EXPECT_EQ(ReadBytes(home / "Setting.ini"), settingBefore);
    ASSERT_EQ(observer.plannedCopies.size(), 1u);
    EXPECT_EQ(observer.plannedCopies[0].second, target / "a.txt");
    ASSERT_EQ(observer.plannedDeletions.size(), 1u);
    EXPECT_EQ(observer.plannedDeletions[0], target / "orphan.txt");
    EXPECT_TRUE(Reports().empty());
}

TEST_F(RunSafety, OnlyTickedJobsRunUnlessJobsAreNamed) {
    MakeFile(base / "a.txt", "a");
    AddJob(base, folder / "t1");
    const auto unticked = AddJob(base, folder / "t2");
    ASSERT_TRUE(SetJobsChecked(stores.EnvironmentPath(), {2}, false).saved);
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_TRUE(std::filesystem::exists(folder / "t1/a.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "t2"));
    EXPECT_EQ(Job(unticked).checked, 0u);
    ASSERT_TRUE(Run({.jobs = {unticked}}).Succeeded());
    EXPECT_TRUE(std::filesystem::exists(folder / "t2/a.txt"));
    EXPECT_EQ(Job(unticked).checked, 0u);
}

TEST_F(RunSafety, AJobDeletedDuringTheRunIsNotBroughtBack) {
    MakeFile(base / "a.txt", "a");
    AddJob(base, folder / "t1");
    AddJob(base, folder / "t2");
    observer.onJobStarted = [this](std::size_t index) {
        if (index == 0) {
            DeleteJobs(stores.EnvironmentPath(), {stores.filter, stores.filterInc, stores.setting},
                       {2});
        }
    };
    Run();
    EnvironmentFile file(stores.EnvironmentPath());
    const JobTable& table = file.Load();
    ASSERT_EQ(table.jobs.size(), 1u);
    EXPECT_GT(table.jobs[0].lastBackupTime, 0u);
}

#ifndef _WIN32
// The names in folder, so that a test can tell nothing else was left there.
std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicCopy, ANewCopyAndAReplacingOneCarryTheBytesModeAndTimeAndLeaveNothingElse) {
    test::TempFolder folder;
    MakeFile(folder / "source", "the new version");
    std::filesystem::permissions(folder / "source", std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::owner_write |
                                                        std::filesystem::perms::group_read);
    const auto written = std::filesystem::file_time_type::clock::now() - std::chrono::hours(50);
    std::filesystem::last_write_time(folder / "source", written);
    MakeFile(folder / "old", "the previous backup, longer than the new version");

    ASSERT_FALSE(platform::CopyFileAtomically(folder / "source", folder / "new"));
    ASSERT_FALSE(platform::CopyFileAtomically(folder / "source", folder / "old"));
    for (const char* name : {"new", "old"}) {
        EXPECT_EQ(ReadBytes(folder / name), "the new version") << name;
        EXPECT_EQ(std::filesystem::status(folder / name).permissions(),
                  std::filesystem::status(folder / "source").permissions())
            << name;
        EXPECT_EQ(std::filesystem::last_write_time(folder / name), written) << name;
    }
    EXPECT_EQ(NamesIn(folder.path()), (std::vector<std::string>{"new", "old", "source"}));
}

TEST(AtomicCopy, AFullDiskNeverLeavesATornFileUnderTheRealName) {
    test::TempFolder folder;
    MakeFile(folder / "big", std::string(64 * 1024, 'n'));
    MakeFile(folder / "copy", "the previous backup");
    const test::FileSizeLimit full(8192);
    EXPECT_TRUE(platform::CopyFileAtomically(folder / "big", folder / "copy"));
    EXPECT_TRUE(platform::CopyFileAtomically(folder / "big", folder / "new"));
    EXPECT_EQ(ReadBytes(folder / "copy"), "the previous backup");
    EXPECT_EQ(NamesIn(folder.path()), (std::vector<std::string>{"big", "copy"}));
}

// Between two file systems the system cannot copy for us and the bytes pass through our buffer:
// files smaller than it, as large, and larger by a few bytes.
TEST(AtomicCopy, ACopyToAnotherFileSystemCarriesEveryByte) {
    test::TempFolder folder;
    const test::SmallFileSystem other(folder / "other", test::SmallFileSystem::Access::ReadWrite,
                                      "8m");
    if (!other.mounted()) {
        GTEST_SKIP() << "mounting a file system needs root";
    }
    std::mt19937 random(7);
    for (const std::size_t size : {0, 1, 4095, 1 << 20, (1 << 20) + 3, 5 << 19}) {
        std::string bytes(size, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        const auto name = "f" + std::to_string(size);
        MakeFile(folder / name, bytes);
        ASSERT_FALSE(platform::CopyFileAtomically(folder / name, folder / "other" / name)) << size;
        EXPECT_EQ(ReadBytes(folder / "other" / name), bytes) << size;
    }
}
#endif

}  // namespace
}  // namespace arkivo
