#include <gtest/gtest.h>

#include "jobs/job_flags.h"
#include "support/engine_fixture.h"
#ifndef _WIN32
#include "support/permissions_in_force.h"
#endif

namespace arkivo {
namespace {

using test::FileContents;
using test::LastWrite;
using test::MakeFile;
using test::ReadBytes;
using test::TreeContents;

class Sync : public test::EngineTest {
  protected:
    // The paths of these files in the target, as a report lists them.
    std::vector<std::string> Paths(std::initializer_list<const char*> names) const {
        std::vector<std::string> paths;
        for (const char* name : names) {
            paths.push_back((target / name).make_preferred().string());
        }
        return paths;
    }
};

TEST_F(Sync, FirstRunMirrorsTheTreeAndKeepsWriteTimes) {
    MakeFile(base / "a.txt", "alpha", 1600000000);
    MakeFile(base / "docs/b.txt", "beta", 1600000100);
    MakeFile(base / "docs/deep/er/c.bin", std::string(100000, '\x07'));
    MakeFile(base / ".hidden-file", "dot files are files");
    MakeFile(base / ".git/config", "dot folders are skipped");
    // An empty source folder is not copied, and its empty copy from before is removed.
    std::filesystem::create_directories(base / "empty");
    std::filesystem::create_directories(target / "empty");
    AddJob(base, target);

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded());
    auto expected = FileContents(base);
    expected.erase(".git/config");
    EXPECT_EQ(FileContents(target), expected);
    EXPECT_EQ(LastWrite(target / "a.txt"), 1600000000);
    EXPECT_FALSE(std::filesystem::exists(target / "empty"));
    EXPECT_FALSE(std::filesystem::exists(target / ".git"));
    ASSERT_EQ(observer.jobs.size(), 1u);
    EXPECT_EQ(observer.jobs[0].copied, 4u);
    EXPECT_EQ(observer.jobs[0].examined, 4u);
    EXPECT_EQ(observer.ranges.front(), 4u);

    // Nothing changed: nothing is copied again, and on POSIX nothing in the target changes,
    // not even its folders' times (a tool watching the target sees no activity).
#ifndef _WIN32
    const auto folderTime = std::filesystem::file_time_type::clock::now() - std::chrono::hours(50);
    std::filesystem::last_write_time(target, folderTime);
    std::filesystem::last_write_time(target / "docs", folderTime);
#endif
    const auto again = Run();
    EXPECT_TRUE(again.Succeeded());
    EXPECT_EQ(again.copied, 0u);
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::last_write_time(target), folderTime);
    EXPECT_EQ(std::filesystem::last_write_time(target / "docs"), folderTime);
#endif
}

TEST_F(Sync, MirrorsEveryFileWhoseSizeOrTimeDiffersAndReportsIt) {
    ReportEverything();
    // Same size and time: taken as the same file, as a quick check must.
    MakeFile(base / "same.txt", "new", 1600000000);
    MakeFile(target / "same.txt", "old", 1600000000);
    MakeFile(base / "newer.txt", "new", 1600000001);
    MakeFile(target / "newer.txt", "old", 1600000000);
    // An older version restored into the base, and a copy changed in the target.
    MakeFile(base / "restored.txt", "version 1", 1500000000);
    MakeFile(target / "restored.txt", "version 2", 1600000000);
    MakeFile(base / "edited.txt", "source", 1600000000);
    MakeFile(target / "edited.txt", "edited in the target", 1600000000);
    MakeFile(base / "fresh.txt", "fresh");
    AddJob(base, target);

    ASSERT_TRUE(Run().Succeeded());
    auto mirrored = FileContents(base);
    mirrored["same.txt"] = "old";
    EXPECT_EQ(FileContents(target), mirrored);
    EXPECT_EQ(std::filesystem::last_write_time(target / "restored.txt"),
              std::filesystem::last_write_time(base / "restored.txt"));
    const std::string report = LatestReport();
    EXPECT_EQ(Listed(report, "Created"), Paths({"fresh.txt"}));
    EXPECT_EQ(Listed(report, "Updated"), Paths({"edited.txt", "newer.txt", "restored.txt"}));
    EXPECT_NE(report.find("Copied : 4"), std::string::npos);

    // Once mirrored, nothing is copied again.
    observer.files.clear();
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_TRUE(observer.files.empty());
}

class SyncDeletion : public Sync {
  protected:
    void SetUp() override {
        Sync::SetUp();
        ReportEverything();
        job = AddJob(base, target);
        WriteSyncDelNoSrc(stores.setting, job, true);
    }
    std::size_t job = 0;
};

TEST_F(SyncDeletion, RemovesWhatTheBaseNoLongerHasAndReportsIt) {
    MakeFile(base / "keep.txt", "k", 1600000000);
    MakeFile(base / "sub/keep.txt", "k", 1600000000);
    MakeFile(base / "namesake", "a file in the base");
    std::filesystem::create_directories(base / "folder-in-base");
    MakeFile(target / "keep.txt", "k", 1600000000);
    MakeFile(target / "sub/keep.txt", "k", 1600000000);
    MakeFile(target / "orphan.txt", "o");
    MakeFile(target / "sub/orphan.txt", "o");
    MakeFile(target / "gone/a.txt", "a");
    MakeFile(target / "gone/deeper/b.txt", "b");
    MakeFile(target / "folder-in-base", "a target file named like a base folder");
    MakeFile(target / ".snapshots/old.txt", "dot folders are never touched");
    MakeFile(target / "gone/.private/x", "nor inside a deleted folder");

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded());
    EXPECT_EQ(summary.deleted, 4u);
    EXPECT_EQ(FileContents(target),
              (std::map<std::string, std::string>{
                  {"keep.txt", "k"},
                  {"sub/keep.txt", "k"},
                  {"namesake", "a file in the base"},
                  {"folder-in-base", "a target file named like a base folder"},
                  {".snapshots/old.txt", "dot folders are never touched"},
                  {"gone/.private/x", "nor inside a deleted folder"}}));
    EXPECT_FALSE(std::filesystem::exists(target / "gone/deeper"));
    EXPECT_EQ(Listed(LatestReport(), "Deleted"),
              Paths({"gone/a.txt", "gone/deeper/b.txt", "orphan.txt", "sub/orphan.txt"}));
}

TEST_F(SyncDeletion, DotFoldersAreLeftOutAndToldOfUnlessTheJobTakesThem) {
    MakeFile(base / "work.txt", "w");
    MakeFile(base / ".git/config", "a project's history");
    MakeFile(base / "sub/.cache/blob", "a program's state");
    MakeFile(target / ".snapshots/old.txt", "the target's own");
    auto skipped = [](const std::string& report) {
        const auto at = report.find("<< Skipped >>");
        return at == std::string::npos ? std::string() : report.substr(at);
    };

    const auto first = Run();
    EXPECT_TRUE(first.Succeeded());
    EXPECT_EQ(first.skippedDotFolders, 2u);
    EXPECT_FALSE(std::filesystem::exists(target / ".git"));
    EXPECT_TRUE(std::filesystem::exists(target / ".snapshots/old.txt"));
    const std::string listed = skipped(LatestReport());
    EXPECT_NE(listed.find((base / ".git").string() + " (dot folder)"), std::string::npos);
    EXPECT_NE(listed.find((base / "sub" / ".cache").string() + " (dot folder)"), std::string::npos);

    WriteTakeDotFolders(stores.setting, job, true);
    const auto second = Run();
    EXPECT_TRUE(second.Succeeded());
    EXPECT_EQ(second.skippedDotFolders, 0u);
    EXPECT_TRUE(skipped(LatestReport()).empty());
    // .snapshots, not in the base, is deleted.
    EXPECT_EQ(test::FileContents(target), test::FileContents(base));
}

TEST_F(SyncDeletion, AMissingBaseNeverWipesTheTarget) {
    MakeFile(target / "precious/a.txt", "a");
    MakeFile(target / "b.txt", "b");
    const auto before = TreeContents(target);
    const auto summary = Run();
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_EQ(summary.deleted, 0u);
    EXPECT_EQ(TreeContents(target), before);
    EXPECT_NE(LatestReport().find("Deletion skipped"), std::string::npos);
}

#ifndef _WIN32
TEST_F(SyncDeletion, DeletesNothingBelowABaseSubFolderItCannotRead) {
    MakeFile(base / "open/keep.txt", "k", 1600000000);
    MakeFile(target / "open/keep.txt", "k", 1600000000);
    MakeFile(target / "open/orphan.txt", "o");
    MakeFile(base / "locked/a.txt", "a", 1600000000);
    MakeFile(target / "locked/a.txt", "a", 1600000000);
    MakeFile(target / "locked/only-in-target.txt", "t");
    MakeFile(target / "locked/deeper/b.txt", "b");
    test::WithPermissionsInForce(folder.path(), [this] {
        const test::PermissionsTaken locked(base / "locked", std::filesystem::perms::all);
        const auto before = TreeContents(target / "locked");

        const auto summary = Run();

        EXPECT_EQ(TreeContents(target / "locked"), before);
        EXPECT_FALSE(std::filesystem::exists(target / "open/orphan.txt"));
        EXPECT_EQ(summary.deleted, 1u);
        const std::string report = LatestReport();
        EXPECT_NE(report.find("Unreadable : " + (base / "locked").string()), std::string::npos);
        EXPECT_EQ(report.find("only-in-target.txt"), std::string::npos);
    });
}

TEST_F(SyncDeletion, ADeletionThatFailsIsCountedAsFailedAndNotReportedAsDeleted) {
    MakeFile(base / "sealed/keep.txt", "k", 1600000000);
    MakeFile(target / "sealed/keep.txt", "k", 1600000000);
    MakeFile(target / "sealed/stuck.txt", "s");
    MakeFile(target / "loose.txt", "l");
    test::WithPermissionsInForce(folder.path(), [this] {
        namespace fs = std::filesystem;
        const test::PermissionsTaken sealed(target / "sealed", fs::perms::owner_write |
                                                                   fs::perms::group_write |
                                                                   fs::perms::others_write);

        const auto summary = Run();

        EXPECT_TRUE(fs::exists(target / "sealed/stuck.txt"));
        EXPECT_FALSE(fs::exists(target / "loose.txt"));
        EXPECT_EQ(summary.deleted, 1u);
        EXPECT_EQ(summary.failed, 1u);
        EXPECT_EQ(observer.failures, std::vector<fs::path>{target / "sealed/stuck.txt"});
        const std::string report = LatestReport();
        EXPECT_EQ(Listed(report, "Deleted"), Paths({"loose.txt"}));
        EXPECT_EQ(Listed(report, "Failed"), Paths({"sealed/stuck.txt"}));
        EXPECT_NE(report.find("Failures : 1"), std::string::npos);
    });
}
#endif

TEST_F(SyncDeletion, StaysOutOfABaseThatLiesInsideTheTarget) {
    Edit(job, [this](JobRecord& record) { record.basePath = (target / "live").u16string(); });
    MakeFile(target / "live/work.txt", "the user's own files");
    MakeFile(target / "work.txt", "w", 1);
    Run();
    EXPECT_EQ(ReadBytes(target / "live/work.txt"), "the user's own files");
}

TEST_F(SyncDeletion, FolderLinksAreRemovedAsLinksNeverFollowed) {
#ifdef _WIN32
    GTEST_SKIP() << "folder links need rights (or, under Wine, support) that tests lack";
#endif
    MakeFile(folder / "elsewhere/important.txt", "must survive");
    std::filesystem::create_directories(base);
    std::filesystem::create_directories(target);
    std::filesystem::create_directory_symlink(folder / "elsewhere", target / "link");
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_FALSE(std::filesystem::is_symlink(target / "link"));
    EXPECT_EQ(ReadBytes(folder / "elsewhere/important.txt"), "must survive");
}

TEST_F(Sync, ATargetInsideTheBaseIsNotBackedUpIntoItself) {
    MakeFile(base / "a.txt", "a");
    AddJob(base, base / "backup");
    ASSERT_TRUE(Run().Succeeded());
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_EQ(FileContents(base / "backup"), (std::map<std::string, std::string>{{"a.txt", "a"}}));
}

TEST_F(Sync, LinksToFoldersAreNotFollowedAndLinksToFilesAreCopied) {
#ifdef _WIN32
    GTEST_SKIP() << "folder links need rights (or, under Wine, support) that tests lack";
#endif
    MakeFile(base / "real/file.txt", "content");
    std::filesystem::create_directory_symlink(base, base / "real/loop");
    std::filesystem::create_symlink(base / "real/file.txt", base / "alias.txt");
    std::filesystem::create_directories(target);
    AddJob(base, target);
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_FALSE(std::filesystem::exists(target / "real/loop"));
    EXPECT_FALSE(std::filesystem::is_symlink(target / "alias.txt"));
    EXPECT_EQ(ReadBytes(target / "alias.txt"), "content");
}

TEST_F(Sync, PathsLongerThanTheOldLimitAreCopied) {
    std::filesystem::path deep = base;
    for (int i = 0; i < 12; ++i) {
        deep /= std::string(60, static_cast<char>('a' + i));
    }
    MakeFile(deep / "leaf.txt", "deep");
    std::filesystem::create_directories(target);
    AddJob(base, target);
    ASSERT_GT((deep / "leaf.txt").string().size(), 700u);
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_EQ(ReadBytes(target / std::filesystem::relative(deep / "leaf.txt", base)), "deep");
}

#ifndef _WIN32
TEST_F(Sync, FoldersKeepTheirSourcesPermissionBits) {
    namespace fs = std::filesystem;
    auto mode = [](const fs::path& folder) {
        return static_cast<unsigned>(fs::status(folder).permissions() & fs::perms::mask);
    };
    MakeFile(base / "private/diary.txt", "mine");
    MakeFile(base / "shared/notes.txt", "ours");
    MakeFile(base / "dropbox/in.txt", "theirs");
    fs::permissions(base / "private", fs::perms(0700));
    fs::permissions(base / "shared", fs::perms(0755));
    // Write-only for the group: the owner keeps full access in the copy all the same.
    fs::permissions(base / "dropbox", fs::perms(0530));
    // A folder that exists keeps what its owner chose.
    MakeFile(base / "chosen/x.txt", "x");
    fs::create_directories(target / "chosen");
    fs::permissions(target / "chosen", fs::perms(0750));
    AddJob(base, target);
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_EQ(mode(target / "private"), 0700u);
    EXPECT_EQ(mode(target / "shared"), 0755u);
    EXPECT_EQ(mode(target / "dropbox"), 0730u);
    EXPECT_EQ(mode(target / "chosen"), 0750u);

    const auto dated = target / "dated";
    AddJob(base, dated, BackupType::Dif);
    ASSERT_TRUE(Run().Succeeded());
    const auto folders = test::DatedFolders(dated, "DIF_");
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(mode(folders[0] / "private"), 0700u);
}
#endif

}  // namespace
}  // namespace arkivo
