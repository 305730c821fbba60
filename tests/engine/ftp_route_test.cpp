// Jobs with an FTP side through whichever FTP client the system has, with listings from LIST
// alone (the form the Windows client reads, whose times are only minute- or day-precise) and
// from MLSD (exact times). Run by the Linux build against our own client and by the Windows
// build under Wine against the one over WinINet.
#include <gtest/gtest.h>

#include "common/text.h"
#include "engine/run_options.h"
#include "jobs/job_flags.h"
#include "platform/clock.h"
#include "support/engine_fixture.h"
#include "support/ftp_server.h"

namespace arkivo {
namespace {

namespace fs = std::filesystem;
using test::FileContents;
using test::FtpTestServer;
using test::MakeFile;
using test::TempFolder;
using Contents = std::map<std::string, std::string>;

// Listed to the minute (recent) and to the day (older than half a year), in nested folders.
void MakeRouteTree(const fs::path& root) {
    const std::int64_t now = platform::NowUnixSeconds();
    MakeFile(root / "recent.txt", "recent", now - 3 * 86400 - 17);
    MakeFile(root / "docs/old.txt", "old", 1600000123);
    MakeFile(root / "docs/deep/block.bin", std::string(200000, '\x07'), now - 40 * 86400 - 5);
}

// The server's options: listings from LIST only, or MLSD where the client asks for it.
class FtpRoute : public test::EngineTest,
                 public ::testing::WithParamInterface<std::vector<std::string>> {
  protected:
    void PointAt(std::size_t job, const FtpTestServer& server, bool base,
                 const std::u16string& folder) {
        Edit(job, [&](JobRecord& record) {
            (base ? record.basePath : record.targetPath) = u"ftp://127.0.0.1" + folder;
            (base ? record.baseFtpUser : record.targetFtpUser) = u"u";
            (base ? record.baseFtpPassword : record.targetFtpPassword) = u"p";
            (base ? record.baseFtpPort : record.targetFtpPort) = server.port();
        });
    }

    TempFolder served;
};

// A differential compares with what the server lists: after a synchronisation uploaded
// everything, it uploads nothing, run after run, until a base file is newer than its upload.
TEST_P(FtpRoute, DifferentialToAServerUploadsNothingTwiceAfterASync) {
    const fs::path destination = served / "dst";
    fs::create_directories(destination);
    MakeRouteTree(base);
    FtpTestServer server(served.path(), GetParam());
    const auto sync = AddJob(base, target, BackupType::Sync);
    PointAt(sync, server, false, u"/dst");
    engine::RunOptions options;
    options.jobs = {sync};
    const auto uploaded = Run(options);
    ASSERT_TRUE(uploaded.Succeeded()) << server.Log();
    EXPECT_EQ(uploaded.copied, 3u);
    EXPECT_EQ(FileContents(destination), FileContents(base));
    EXPECT_EQ(Run(options).copied, 0u);

    const auto dif = AddJob(base, target, BackupType::Dif);
    PointAt(dif, server, false, u"/dst");
    options.jobs = {dif};
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const auto unchanged = Run(options);
        EXPECT_TRUE(unchanged.Succeeded());
        EXPECT_EQ(unchanged.copied, 0u);
        EXPECT_EQ(FileContents(destination), FileContents(base));  // no dated folder either
    }

    MakeFile(base / "docs/old.txt", "old, changed", platform::NowUnixSeconds() + 3600);
    const auto changed = Run(options);
    EXPECT_EQ(changed.copied, 1u);
    EXPECT_EQ(FileContents(test::OnlyDatedOutput(destination, "DIF_")),
              (Contents{{"docs/old.txt", "old, changed"}}));
}

TEST_P(FtpRoute, SyncFromAServerMirrorsItAndCopiesNothingTwice) {
    const fs::path source = served / "src";
    MakeRouteTree(source);
    MakeFile(target / "orphan.txt", "not on the server");
    FtpTestServer server(served.path(), GetParam());
    const auto job = AddJob(base, target, BackupType::Sync);
    PointAt(job, server, true, u"/src");
    WriteSyncDelNoSrc(stores.setting, job, true);

    const auto summary = Run();
    ASSERT_TRUE(summary.Succeeded()) << server.Log();
    EXPECT_EQ(FileContents(target), FileContents(source));
    EXPECT_EQ(summary.copied, 3u);
    EXPECT_EQ(summary.deleted, 1u);

    const auto again = Run();
    EXPECT_TRUE(again.Succeeded());
    EXPECT_EQ(again.copied, 0u);
    EXPECT_EQ(again.deleted, 0u);

    // A newer version replaces the copy whole, also one the user made read-only.
    fs::permissions(target / "docs/old.txt", fs::perms::owner_read);
    MakeFile(source / "docs/old.txt", "old, rewritten", platform::NowUnixSeconds() - 3600);
    const auto changed = Run();
    EXPECT_TRUE(changed.Succeeded()) << server.Log();
    EXPECT_EQ(changed.copied, 1u);
    EXPECT_EQ(FileContents(target), FileContents(source));
}

// Names a Unix server holds that Windows would read as a stream of another file ("a:b"), a
// device ("con.txt") or another file's name ("notes." is "notes"): on Windows each is a
// failure that names the file, never a write somewhere else; elsewhere they are ordinary names.
TEST_P(FtpRoute, ServerNamesThisSystemCannotHoldAreFailuresNeverWrittenElsewhere) {
    const fs::path source = served / "src";
    const Contents odd = {{"a:b.txt", "stream"}, {"con.txt", "device"}, {"notes.", "dot"}};
    // The server makes them: this system could not.
    std::vector<std::string> options = GetParam();
    for (const auto& [name, bytes] : odd) {
        options.insert(options.end(), {"--file", "src/" + name + "=" + bytes});
    }
    MakeFile(source / "plain.txt", "plain");
    FtpTestServer server(served.path(), options);
    const auto job = AddJob(base, target, BackupType::Sync);
    PointAt(job, server, true, u"/src");

    const auto summary = Run();
#ifdef _WIN32
    EXPECT_EQ(summary.copied, 1u);
    EXPECT_EQ(summary.failed, odd.size());
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_EQ(FileContents(target), (Contents{{"plain.txt", "plain"}}));
    for (const auto& [name, bytes] : odd) {
        EXPECT_TRUE(observer.ToldFixedContaining(Utf8ToUtf16(name) + u": this system cannot"))
            << name;
    }
    // Nor could this system remove them when the test's folder is cleaned: the server does.
    const auto connection = platform::NewFtpConnection();
    ASSERT_FALSE(connection->Connect(server.Endpoint()));
    for (const auto& [name, bytes] : odd) {
        EXPECT_FALSE(connection->Delete(u"/src/" + Utf8ToUtf16(name))) << name;
    }
#else
    EXPECT_TRUE(summary.Succeeded()) << server.Log();
    EXPECT_EQ(summary.copied, odd.size() + 1);
    Contents all = odd;
    all["plain.txt"] = "plain";
    EXPECT_EQ(FileContents(target), all);
#endif
}

INSTANTIATE_TEST_SUITE_P(Listings, FtpRoute,
                         ::testing::Values(std::vector<std::string>{"--no-mlsd"},
                                           std::vector<std::string>{}),
                         [](const auto& info) { return info.param.empty() ? "Mlsd" : "ListOnly"; });

}  // namespace
}  // namespace arkivo
