// Jobs whose target is a folder on a real FTP server (pyftpdlib), from a local base and from
// another server: every type, archives, and the failures that must leave the server clean.
#include <gtest/gtest.h>

#include <cstdlib>

#include "jobs/job_flags.h"
#include "platform/files.h"
#include "support/engine_fixture.h"
#include "support/ftp_sample_tree.h"
#include "support/ftp_server.h"
#include "support/private_temporary_folder.h"

namespace arkivo {
namespace {

namespace fs = std::filesystem;
using test::FileContents;
using test::FtpTestServer;
using test::MakeFile;
using test::ReadBytes;
using test::TempFolder;
using Contents = std::map<std::string, std::string>;

class FtpTarget : public test::EngineTest {
  protected:
    void SetUp() override {
        test::EngineTest::SetUp();
        fs::create_directories(destination);
    }

    void PointBaseAt(std::size_t job, const FtpTestServer& server, std::u16string folder) {
        Edit(job, [&](JobRecord& record) {
            record.basePath = u"ftp://127.0.0.1" + folder;
            record.baseFtpUser = u"u";
            record.baseFtpPassword = u"p";
            record.baseFtpPort = server.port();
        });
    }

    void PointTargetAt(std::size_t job, const FtpTestServer& server, std::u16string folder) {
        Edit(job, [&](JobRecord& record) {
            record.targetPath = u"ftp://127.0.0.1" + folder;
            record.targetFtpUser = u"u";
            record.targetFtpPassword = u"p";
            record.targetFtpPort = server.port();
        });
    }

    // A job from the local base to the served folder "dst".
    std::size_t AddUploadJob(const FtpTestServer& server, BackupType type) {
        const auto job = AddJob(base, target, type);
        PointTargetAt(job, server, u"/dst");
        return job;
    }

    // The one dated output the run made in the served target.
    fs::path DatedOutput(std::string_view prefix) const {
        return test::OnlyDatedOutput(destination, prefix);
    }

    bool Told(std::u16string_view key) {
        return std::any_of(
            observer.messages.begin(), observer.messages.end(), [key](const UserMessage& message) {
                return message.fixedText.empty() && message.key.section == u"MsgFCThread" &&
                       message.key.key == key;
            });
    }

    TempFolder served;
    fs::path destination = served / "dst";
};

Contents Unzipped(const fs::path& archive, const fs::path& into) {
    const std::string command =
        "/usr/bin/python3 -c \"import sys, zipfile; "
        "zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])\" '" +
        archive.string() + "' '" + into.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    // The entries begin with the dated name.
    EXPECT_EQ(std::distance(fs::directory_iterator(into), fs::directory_iterator()), 1);
    return FileContents(fs::directory_iterator(into)->path());
}

TEST_F(FtpTarget, SyncUploadsTheBaseDeletesOrphansAndUploadsNothingTwice) {
    test::MakeFtpSampleTree(base);
    MakeFile(destination / "orphan.txt", "not in the base");
    MakeFile(destination / "gone/x.txt", "nor this");
    FtpTestServer server(served.path());
    const auto job = AddUploadJob(server, BackupType::Sync);
    WriteSyncDelNoSrc(stores.setting, job, true);
    ReportEverything();

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    // Names differing in case only are two files on the server as in the base.
    EXPECT_EQ(FileContents(destination), FileContents(base));
    EXPECT_EQ(summary.copied, 5u);
    EXPECT_EQ(summary.deleted, 2u);
    // The report names what was written and deleted where it is, on the server.
    const std::string report = LatestReport();
    const std::string at = "ftp://127.0.0.1/dst/";
    EXPECT_EQ(Listed(report, "Created"),
              (std::vector<std::string>{at + "Case.txt", at + "a.txt", at + "case.txt",
                                        at + "docs/b.txt", at + "docs/deep/c.bin"}));
    EXPECT_EQ(Listed(report, "Deleted"),
              (std::vector<std::string>{at + "gone/x.txt", at + "orphan.txt"}));

    const auto again = Run();
    EXPECT_TRUE(again.Succeeded());
    EXPECT_EQ(again.copied, 0u);
    EXPECT_EQ(again.deleted, 0u);
}

// A folder the run made is known empty: the walk never asks the server to list it.
TEST_F(FtpTarget, AFirstUploadListsNoFolderItMade) {
    test::MakeFtpSampleTree(base);
    FtpTestServer server(served.path());
    AddUploadJob(server, BackupType::Sync);

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    EXPECT_EQ(FileContents(destination), FileContents(base));
    EXPECT_EQ(test::ListingsIn(server.Log()), 1u) << server.Log();  // "dst" was there

    // The next run compares with what the server holds in each folder.
    MakeFile(base / "docs/deep/c.bin", "changed", platform::NowUnixSeconds() + 3600);
    const auto again = Run();
    EXPECT_TRUE(again.Succeeded()) << server.Log();
    EXPECT_EQ(again.copied, 1u);
    EXPECT_EQ(FileContents(destination), FileContents(base));
    EXPECT_EQ(test::ListingsIn(server.Log()), 4u) << server.Log();
}

// Every base file was made just now, so each type takes them all.
TEST_F(FtpTarget, DatedTypesUploadIntoADatedFolder) {
    test::MakeFtpSampleTree(base);
    FtpTestServer server(served.path());
    const auto now = platform::NowUnixSeconds();
    for (const auto& [type, prefix] :
         {std::pair{BackupType::Dif, "DIF_"}, std::pair{BackupType::Inc, "INC_"},
          std::pair{BackupType::Spd, "SPD_"}}) {
        SCOPED_TRACE(prefix);
        const auto job = AddUploadJob(server, type);
        Edit(job, [now](JobRecord& record) {
            record.lastIncTime = static_cast<std::uint64_t>(now - 100);
            record.periodStart = static_cast<std::uint64_t>(now - 100);
            record.periodEnd = static_cast<std::uint64_t>(now + 3600);
        });
        engine::RunOptions options;
        options.jobs = {job};
        const auto summary = Run(options);
        EXPECT_TRUE(summary.Succeeded()) << server.Log();
        EXPECT_EQ(FileContents(DatedOutput(prefix)), FileContents(base));
    }
}

TEST_F(FtpTarget, ArchiveIsUploadedWholeAndItsLocalCopyRemoved) {
    test::MakeFtpSampleTree(base);
    FtpTestServer server(served.path());
    const auto job = AddUploadJob(server, BackupType::Dif);
    Edit(job, [](JobRecord& record) { record.zipOption = 1; });
    test::PrivateTemporaryFolder temporary;

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    const fs::path archive = DatedOutput("DIF_");
    ASSERT_EQ(archive.extension(), ".zip");
    EXPECT_EQ(Unzipped(archive, folder / "unpacked"), FileContents(base));
    EXPECT_TRUE(temporary.Empty());
    // The archive was renamed into place: nothing else is in the target.
    EXPECT_EQ(std::distance(fs::directory_iterator(destination), fs::directory_iterator()), 1);
}

// An incremental archive of the same minute never replaces the one already on the server.
TEST_F(FtpTarget, ASecondIncrementalArchiveOfTheMinuteGetsANameOfItsOwn) {
    MakeFile(base / "first.txt", "1");
    FtpTestServer server(served.path());
    const auto job = AddUploadJob(server, BackupType::Inc);
    Edit(job, [](JobRecord& record) { record.zipOption = 1; });
    const std::string name = NameNow(engine::kIncPrefix);
    ASSERT_TRUE(Run().Succeeded()) << server.Log();
    MakeFile(base / "second.txt", "2");
    ASSERT_TRUE(Run().Succeeded()) << server.Log();
    if (NameNow(engine::kIncPrefix) != name) {
        GTEST_SKIP() << "the minute changed between the runs";
    }
    EXPECT_EQ(Unzipped(destination / (name + ".zip"), folder / "first"),
              (Contents{{"first.txt", "1"}}));
    EXPECT_EQ(Unzipped(destination / (name + "_2.zip"), folder / "second").count("second.txt"), 1u);
}

TEST_F(FtpTarget, ServerToServerSyncAndDifferential) {
    TempFolder otherServed;
    const fs::path source = otherServed / "src";
    test::MakeFtpSampleTree(source);
    MakeFile(destination / "orphan.txt", "not in the base");
    FtpTestServer from(otherServed.path());
    FtpTestServer to(served.path());
    const auto sync = AddJob(base, target);
    PointBaseAt(sync, from, u"/src");
    PointTargetAt(sync, to, u"/dst");
    WriteSyncDelNoSrc(stores.setting, sync, true);

    engine::RunOptions options;
    options.jobs = {sync};
    const auto summary = Run(options);
    EXPECT_TRUE(summary.Succeeded()) << from.Log() << to.Log();
    EXPECT_EQ(FileContents(destination), FileContents(source));
    EXPECT_EQ(Run(options).copied, 0u);

    const auto dif = AddJob(base, target, BackupType::Dif);
    PointBaseAt(dif, from, u"/src");
    PointTargetAt(dif, to, u"/dif");
    fs::create_directories(served / "dif");
    options.jobs = {dif};
    EXPECT_TRUE(Run(options).Succeeded());
    fs::path dated;
    for (const auto& entry : fs::directory_iterator(served / "dif")) {
        dated = entry.path();
    }
    EXPECT_EQ(FileContents(dated), FileContents(source));
}

TEST_F(FtpTarget, AnUploadCutShortLeavesTheOldCopyWholeAndIsCountedFailed) {
    MakeFile(base / "big.bin", std::string(300000, 'x'), 1600000000);
    MakeFile(destination / "big.bin", "the old copy", 1500000000);
    FtpTestServer server(served.path(), {"--die-in-upload", "100000"});
    AddUploadJob(server, BackupType::Sync);

    const auto summary = Run();
    EXPECT_GE(summary.failed, 1u);
    EXPECT_EQ(summary.copied, 0u);
    EXPECT_EQ(ReadBytes(destination / "big.bin"), "the old copy");
    // What did arrive is under a temporary name only.
    std::size_t leftovers = 0;
    for (const auto& entry : fs::directory_iterator(destination)) {
        if (entry.path().filename() != "big.bin") {
            EXPECT_TRUE(platform::IsTemporaryName(entry.path().filename())) << entry.path();
            ++leftovers;
        }
    }
    EXPECT_EQ(leftovers, 1u);

    // The next run, with the server back, replaces the copy and clears the leftover away.
    FtpTestServer back(served.path());
    Edit(0, [&](JobRecord& record) { record.targetFtpPort = back.port(); });
    EXPECT_TRUE(Run().Succeeded()) << back.Log();
    EXPECT_EQ(FileContents(destination), FileContents(base));
}

// A dated upload killed half-way leaves temporary files in its dated folder, at any depth: the
// job's next run removes them there and in the target folder, and touches nothing else.
TEST_F(FtpTarget, TheNextDatedRunRemovesWhatAnInterruptedUploadLeft) {
    constexpr const char* kLeftover = ".arkivo-0123456789abcdef.tmp";
    MakeFile(base / "new.txt", "new");
    const fs::path interrupted = destination / "DIF_2026-12-01_10-00";
    MakeFile(interrupted / "docs/deep" / kLeftover, "half an upload");
    MakeFile(interrupted / "docs/kept.txt", "uploaded whole");
    MakeFile(destination / kLeftover, "half an archive");
    MakeFile(destination / "user.arkivo-tmp", "the user's own file");
    FtpTestServer server(served.path());
    AddUploadJob(server, BackupType::Dif);

    EXPECT_TRUE(Run().Succeeded()) << server.Log();
    EXPECT_FALSE(fs::exists(interrupted / "docs/deep" / kLeftover));
    EXPECT_FALSE(fs::exists(destination / kLeftover));
    EXPECT_EQ(ReadBytes(interrupted / "docs/kept.txt"), "uploaded whole");
    EXPECT_EQ(ReadBytes(destination / "user.arkivo-tmp"), "the user's own file");
}

// A dry run reads both servers and plans, and sends no command that changes either.
TEST_F(FtpTarget, ADryRunChangesNothingOnAnyServer) {
    TempFolder otherServed;
    MakeFile(otherServed / "src/new.txt", "new");
    test::MakeFtpSampleTree(base);
    MakeFile(destination / "orphan.txt", "not in the base");
    FtpTestServer from(otherServed.path());
    FtpTestServer to(served.path());
    const auto upload = AddUploadJob(to, BackupType::Sync);
    WriteSyncDelNoSrc(stores.setting, upload, true);
    const auto download = AddJob(base, target, BackupType::Inc);
    PointBaseAt(download, from, u"/src");

    engine::RunOptions options;
    options.dryRun = true;
    Run(options);
    EXPECT_EQ(observer.plannedCopies.size(), 6u);
    EXPECT_EQ(observer.plannedDeletions.size(), 1u);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(FileContents(destination), (Contents{{"orphan.txt", "not in the base"}}));
    for (const auto* server : {&from, &to}) {
        const std::string log = server->Log();
        for (const char* command : {"<- STOR", "<- DELE", "<- MKD", "<- RNFR", "<- RMD"}) {
            EXPECT_EQ(log.find(command), std::string::npos) << command << "\n" << log;
        }
    }
}

TEST_F(FtpTarget, AMissingTargetFolderFailsTheJobWithItsRoute) {
    test::MakeFtpSampleTree(base);
    FtpTestServer server(served.path());
    const auto upload = AddJob(base, target);
    PointTargetAt(upload, server, u"/no-such-folder");
    const auto between = AddJob(base, target);
    PointBaseAt(between, server, u"/dst");
    PointTargetAt(between, server, u"/no-such-folder");

    const auto summary = Run();
    EXPECT_EQ(summary.failed, 2u);
    EXPECT_TRUE(Told(u"FailChgFolder02"));
    EXPECT_TRUE(Told(u"FailChgFolder03"));
    EXPECT_FALSE(Told(u"FailChgFolder01"));
    EXPECT_EQ(Job(upload).lastSyncTime, 0u);
    EXPECT_FALSE(fs::exists(served / "no-such-folder"));
}

}  // namespace
}  // namespace arkivo
