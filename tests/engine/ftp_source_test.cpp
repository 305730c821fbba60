// Jobs whose base is a folder on a real FTP server (pyftpdlib) and whose target is local: every
// type, in folders and archives, and the ways such a job fails without harming the others.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>

#include "engine/ftp_tree.h"
#include "jobs/job_flags.h"
#include "support/engine_fixture.h"
#include "support/ftp_sample_tree.h"
#include "support/ftp_server.h"
#include "support/ftp_test_endpoint.h"
#include "support/private_temporary_folder.h"

namespace arkivo {
namespace {

namespace fs = std::filesystem;
using test::FileContents;
using test::FtpTestServer;
using test::LastWrite;
using test::ListingsIn;
using test::MakeFile;
using test::ReadBytes;
using test::TempFolder;

class FtpSource : public test::EngineTest {
  protected:
    // A job from the served folder "src" to the local target.
    std::size_t AddFtpJob(const FtpTestServer& server, BackupType type,
                          std::u16string_view folder = u"/src",
                          std::u16string_view password = u"p") {
        const auto job = AddJob(base, target, type);
        Edit(job, [&](JobRecord& record) {
            record.basePath = u"ftp://127.0.0.1" + std::u16string(folder);
            record.baseFtpUser = u"u";
            record.baseFtpPassword = std::u16string(password);
            record.baseFtpPort = server.port();
        });
        return job;
    }

    // The one dated folder the run made in the target.
    fs::path DatedFolder(std::string_view prefix) const {
        return test::OnlyDatedOutput(target, prefix);
    }

    bool Told(std::u16string_view section, std::u16string_view key) {
        for (const auto& message : observer.messages) {
            if (message.fixedText.empty() && message.key.section == section &&
                message.key.key == key) {
                return true;
            }
        }
        return false;
    }

    TempFolder served;
    fs::path source = served / "src";
};

TEST_F(FtpSource, SyncMirrorsTheServerFolderDeletesOrphansAndCopiesNothingTwice) {
    test::MakeFtpSampleTree(source);
    MakeFile(target / "orphan.txt", "not on the server");
    MakeFile(target / "gone/x.txt", "nor this");
    FtpTestServer server(served.path());
    const auto job = AddFtpJob(server, BackupType::Sync);
    WriteSyncDelNoSrc(stores.setting, job, true);
    test::PrivateTemporaryFolder temporary;

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    EXPECT_EQ(FileContents(target), FileContents(source));
    // Downloads land in the target folder itself: none passed through the temporary folder.
    EXPECT_TRUE(temporary.Empty());
    // The copies carry the server's times, so the next run has nothing to do.
    EXPECT_EQ(LastWrite(target / "docs/b.txt"), 1600000100);
    EXPECT_EQ(summary.copied, 5u);
    EXPECT_EQ(summary.deleted, 2u);

    const auto again = Run();
    EXPECT_TRUE(again.Succeeded());
    EXPECT_EQ(again.copied, 0u);

    // A changed file on the server is copied again, the rest is not.
    MakeFile(source / "docs/b.txt", "beta, longer", 1600000500);
    const auto third = Run();
    EXPECT_EQ(third.copied, 1u);
    EXPECT_EQ(ReadBytes(target / "docs/b.txt"), "beta, longer");
}

// A run counts the base's files before it walks them; each folder is asked for once.
TEST_F(FtpSource, EachServerFolderIsListedOnceByARun) {
    test::MakeFtpSampleTree(source);
    FtpTestServer server(served.path());
    AddFtpJob(server, BackupType::Dif);

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    EXPECT_EQ(summary.copied, 5u);
    EXPECT_EQ(ListingsIn(server.Log()), 3u) << server.Log();  // the root, docs, docs/deep
}

// A kept listing is taken by the next listing of its folder, and no more is kept than room
// allows: what does not fit is listed again, with the same entries.
TEST_F(FtpSource, KeptListingsAreTakenOnceAndBoundedByTheirRoom) {
    test::MakeFtpSampleTree(source);
    FtpTestServer server(served.path());
    std::shared_ptr<platform::FtpConnection> connection = platform::NewFtpConnection();
    ASSERT_FALSE(connection->Connect(test::TestFtpEndpoint(server.port(), true)));
    engine::FtpTree tree(connection, u"/src", u"ftp://127.0.0.1/src", nullptr);
    // The root's four entries and itself fill the room; docs's two do not fit after them.
    tree.ReuseEachListingOnce(5);
    auto names = [&tree](const fs::path& folder) {
        std::vector<platform::FolderEntry> entries;
        EXPECT_FALSE(tree.List(folder, entries, platform::ListDetail::Full));
        std::set<std::string> result;
        for (const auto& entry : entries) {
            result.insert(entry.name.string());
        }
        return result;
    };
    const std::set<std::string> root{"Case.txt", "a.txt", "case.txt", "docs"};
    const std::set<std::string> docs{"b.txt", "deep"};

    EXPECT_EQ(names({}), root);
    EXPECT_EQ(names("docs"), docs);
    EXPECT_EQ(ListingsIn(server.Log()), 2u);
    EXPECT_EQ(names({}), root);      // kept
    EXPECT_EQ(names("docs"), docs);  // listed again
    EXPECT_EQ(ListingsIn(server.Log()), 3u);
    EXPECT_EQ(names({}), root);  // taken once: listed again, and kept again
    EXPECT_EQ(ListingsIn(server.Log()), 4u);
}

// A download into a folder becomes the copy by a rename in that folder: a run needs no
// temporary folder, which a full or missing one would otherwise fail.
TEST_F(FtpSource, DownloadsIntoAFolderNeedNoTemporaryFolder) {
    test::MakeFtpSampleTree(source);
    FtpTestServer server(served.path());
    AddFtpJob(server, BackupType::Sync);
    test::PrivateTemporaryFolder temporary;
    temporary.Remove();

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    EXPECT_EQ(FileContents(target), FileContents(source));
}

// A mirror compares the server's listed time with the time its copy was given at the last run,
// both from the same listing: the server's clock, ahead or behind, never enters. A file written
// just now on a server 600 s ahead is listed in our future; it is copied once, not every run.
TEST_F(FtpSource, SyncFromAServerWhoseClockIsAheadCopiesAFreshFileOnce) {
    const auto now = platform::NowUnixSeconds();
    MakeFile(source / "fresh.txt", "just written", now);
    FtpTestServer server(served.path(), {"--skew", "600"});
    AddFtpJob(server, BackupType::Sync);

    const auto first = Run();
    EXPECT_TRUE(first.Succeeded()) << server.Log();
    EXPECT_EQ(first.copied, 1u);
    EXPECT_EQ(LastWrite(target / "fresh.txt"), now + 600);

    const auto again = Run();
    EXPECT_TRUE(again.Succeeded()) << server.Log();
    EXPECT_EQ(again.copied, 0u);
    EXPECT_EQ(ReadBytes(target / "fresh.txt"), "just written");
}

TEST_F(FtpSource, DifferentialCopiesIntoADatedFolderWhatTheTargetLacks) {
    test::MakeFtpSampleTree(source);
    // Present in the target root and as new as the server's: a differential leaves it out.
    MakeFile(target / "a.txt", "alpha", 1600000000);
    FtpTestServer server(served.path());
    AddFtpJob(server, BackupType::Dif);

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    auto expected = FileContents(source);
    expected.erase("a.txt");
    EXPECT_EQ(FileContents(DatedFolder("DIF_")), expected);
}

TEST_F(FtpSource, ArchiveHoldsTheServerFiles) {
    test::MakeFtpSampleTree(source);
    FtpTestServer server(served.path());
    const auto job = AddFtpJob(server, BackupType::Dif);
    Edit(job, [](JobRecord& record) { record.zipOption = 1; });

    engine::RunOptions options;
    options.verifyArchives = true;
    const auto summary = Run(options);
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    const fs::path archive = DatedFolder("DIF_");
    ASSERT_EQ(archive.extension(), ".zip");
    // Read back by another reader than ours.
    const fs::path unpacked = folder / "unpacked";
    const std::string command =
        "/usr/bin/python3 -c \"import sys, zipfile; "
        "zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])\" '" +
        archive.string() + "' '" + unpacked.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_EQ(std::distance(fs::directory_iterator(unpacked), fs::directory_iterator()), 1);
    EXPECT_EQ(FileContents(fs::directory_iterator(unpacked)->path()), FileContents(source));
}

// The server's clock 600 s behind ours: a file written now is listed 600 s in the past. An
// incremental run whose last run was 300 s ago must still see it as changed since.
TEST_F(FtpSource, IncrementalMovesListedTimesOntoOurClockWhenTheServerIsBehind) {
    const auto now = platform::NowUnixSeconds();
    MakeFile(source / "new.txt", "written now", now);
    MakeFile(source / "old.txt", "written long ago", now - 3600);
    FtpTestServer server(served.path(), {"--skew", "-600"});
    const auto job = AddFtpJob(server, BackupType::Inc);
    Edit(job,
         [now](JobRecord& record) { record.lastIncTime = static_cast<std::uint64_t>(now - 300); });

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    EXPECT_EQ(FileContents(DatedFolder("INC_")),
              (std::map<std::string, std::string>{{"new.txt", "written now"}}));
    // The probe the offset was measured with is gone from the server.
    EXPECT_EQ(FileContents(served.path()),
              (std::map<std::string, std::string>{{"src/new.txt", "written now"},
                                                  {"src/old.txt", "written long ago"}}));
}

// The server's clock 600 s ahead: its times are taken as listed, never moved back. A file
// written 900 s ago is listed 300 s ago, after the last run 600 s ago: copied.
TEST_F(FtpSource, PeriodAndIncrementalNeverMoveTimesBackWhenTheServerIsAhead) {
    const auto now = platform::NowUnixSeconds();
    MakeFile(source / "recent.txt", "recent", now - 900);
    FtpTestServer server(served.path(), {"--skew", "600"});
    const auto job = AddFtpJob(server, BackupType::Inc);
    Edit(job,
         [now](JobRecord& record) { record.lastIncTime = static_cast<std::uint64_t>(now - 600); });

    const auto summary = Run();
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    EXPECT_EQ(FileContents(DatedFolder("INC_")),
              (std::map<std::string, std::string>{{"recent.txt", "recent"}}));

    const auto period = AddFtpJob(server, BackupType::Spd);
    Edit(period, [now](JobRecord& record) {
        record.periodStart = static_cast<std::uint64_t>(now - 600);
        record.periodEnd = static_cast<std::uint64_t>(now + 3600);
        record.checked = 1;
    });
    Edit(job, [](JobRecord& record) { record.checked = 0; });
    fs::remove_all(target);
    const auto second = Run();
    EXPECT_TRUE(second.Succeeded()) << server.Log();
    EXPECT_EQ(FileContents(DatedFolder("SPD_")),
              (std::map<std::string, std::string>{{"recent.txt", "recent"}}));
}

TEST_F(FtpSource, AJobThatCannotLogInOrOpenItsFolderFailsAndTheNextJobsRun) {
    test::MakeFtpSampleTree(source);
    MakeFile(base / "local.txt", "local");
    FtpTestServer server(served.path());
    const auto wrongPassword = AddFtpJob(server, BackupType::Sync, u"/src", u"wrong");
    const auto missingFolder = AddFtpJob(server, BackupType::Sync, u"/no-such-folder");
    test::RefusingPort closed;
    const auto unreachable = AddFtpJob(server, BackupType::Sync);
    Edit(unreachable, [&](JobRecord& record) { record.baseFtpPort = closed.port(); });
    const auto local = AddJob(base, folder / "local-target");

    const auto summary = Run();
    EXPECT_FALSE(summary.Succeeded());
    ASSERT_EQ(observer.jobs.size(), 4u);
    EXPECT_EQ(observer.jobs[wrongPassword].failed, 1u);
    EXPECT_EQ(observer.jobs[missingFolder].failed, 1u);
    EXPECT_EQ(observer.jobs[unreachable].failed, 1u);
    EXPECT_EQ(summary.failed, 3u);
    EXPECT_EQ(observer.jobs[local].failed, 0u);
    EXPECT_TRUE(Told(u"MsgFtpThread", u"FailConnect"));
    EXPECT_TRUE(Told(u"MsgFCThread", u"FailChgFolder01"));
    EXPECT_EQ(ReadBytes(folder / "local-target/local.txt"), "local");
    EXPECT_FALSE(fs::exists(target / "a.txt"));
    // Times are stamped only for what ran.
    EXPECT_EQ(Job(wrongPassword).lastSyncTime, 0u);
    EXPECT_EQ(Job(missingFolder).lastSyncTime, 0u);
    EXPECT_NE(Job(local).lastSyncTime, 0u);

    // A location without a folder after the host is refused before any connection.
    Edit(wrongPassword, [](JobRecord& record) { record.basePath = u"ftp://127.0.0.1"; });
    Edit(missingFolder, [](JobRecord& record) { record.checked = 0; });
    Edit(local, [](JobRecord& record) { record.checked = 0; });
    Edit(unreachable, [](JobRecord& record) { record.checked = 0; });
    observer.messages.clear();
    const auto refused = Run();
    EXPECT_EQ(refused.failed, 1u);
    EXPECT_TRUE(Told(u"MsgRootDlg", u"BadFtpLocation"));
}

TEST_F(FtpSource, NamesThatLeadElsewhereAreLeftOutAndTold) {
    MakeFile(source / "ok.txt", "fine!");
    FtpTestServer server(served.path(), {"--hostile"});
    AddFtpJob(server, BackupType::Sync);

    Run();
    // Only the one safe name arrived, and nothing was written beside the target.
    EXPECT_EQ(FileContents(target), (std::map<std::string, std::string>{{"ok.txt", "fine!"}}));
    EXPECT_FALSE(fs::exists(folder / "escape.txt"));
    EXPECT_FALSE(fs::exists(target / "a"));
    // (A backslash shows escaped, so that name is not looked for here.)
    for (const char16_t* name : {u"../escape.txt", u"a/b.txt", u"nul"}) {
        EXPECT_TRUE(observer.ToldFixedContaining(name)) << Utf16ToUtf8(name);
    }
}

TEST_F(FtpSource, ACutDownloadShowsItsProgressIsCountedFailedAndLeavesNoFileUnderItsName) {
    MakeFile(source / "big.bin", std::string(300000, 'x'), 1600000000);
    MakeFile(target / "big.bin", "the old copy", 1500000000);
    FtpTestServer server(served.path(), {"--cut", "65536"});
    AddFtpJob(server, BackupType::Sync);
    // The download itself moves the file's progress, not only the copy that would follow it.
    std::uint64_t mostDone = 0;
    observer.onFileProgress = [&mostDone](std::uint64_t done, std::uint64_t size) {
        EXPECT_EQ(size, 300000u);
        mostDone = std::max(mostDone, done);
    };

    const auto summary = Run();
    EXPECT_GT(mostDone, 0u);
    EXPECT_LE(mostDone, 65536u);
    EXPECT_EQ(summary.failed, 1u);
    EXPECT_EQ(summary.copied, 0u);
    // The old copy stays whole; no part of the new one is left anywhere in the target.
    EXPECT_EQ(FileContents(target),
              (std::map<std::string, std::string>{{"big.bin", "the old copy"}}));
    ASSERT_EQ(observer.failureErrors.size(), 1u);
    EXPECT_TRUE(platform::FtpFailureOf(observer.failureErrors[0]).has_value())
        << observer.failureErrors[0].message();
}

}  // namespace
}  // namespace arkivo
