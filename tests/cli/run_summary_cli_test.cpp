// One summary per run: the jobs, the files examined, copied, deleted and failed, what was left
// out and why (dot folders, links to folders, special files), the bytes written, the time and
// the result. A dry run says what would be done and never that anything was done.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <set>

#include "support/cli_fixture.h"

namespace arkivo {
namespace {

// A socket file, as a running program leaves one: bound, then closed.
void MakeSocketFile(const std::filesystem::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.native().size(), sizeof address.sun_path);
    std::copy(path.native().begin(), path.native().end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

// Every name below root (folders ending in "/"), without opening anything: a FIFO would block.
std::set<std::string> NamesBelow(const std::filesystem::path& root) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        names.insert(std::filesystem::relative(entry.path(), root).string() +
                     (entry.is_directory() ? "/" : ""));
    }
    return names;
}

class RunSummaryCli : public test::CliTest {
  protected:
    // Two files to copy (5 and 1,000 bytes), one target file the base lacks, and one of each
    // kind of thing a run leaves out.
    void MakeTreeWithEverythingARunLeavesOut() {
        test::MakeFile(base / "a.txt", "hello");
        test::MakeFile(base / "sub/b.bin", std::string(1000, 'b'));
        test::MakeFile(base / ".git/HEAD", "ref");
        test::MakeFile(folder / "elsewhere/c.txt", "c");
        std::filesystem::create_directory_symlink(folder / "elsewhere", base / "link");
        ASSERT_EQ(::mkfifo((base / "fifo").c_str(), 0600), 0);
        MakeSocketFile(base / "sock");
        test::MakeFile(target / "orphan.txt", "o");
        // One in the target too: what no run copies, no run deletes.
        ASSERT_EQ(::mkfifo((target / "pipe").c_str(), 0600), 0);
        ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
        ASSERT_EQ(Arkivo({"options", "set", "sync-delete", "on", "--job", "1"}).exitCode, 0);
        ASSERT_EQ(Arkivo({"options", "set", "report", "on"}).exitCode, 0);
    }
};

TEST_F(RunSummaryCli, TheSummaryCountsWhatWasDoneAndWhatWasLeftOutByReason) {
    MakeTreeWithEverythingARunLeavesOut();

    const auto dry = Arkivo({"run", "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    test::ExpectHas(dry.out,
                    "Summary (dry run): 1 job, 2 files examined, would copy 2 files "
                    "(1,005 bytes), would delete 1\n");
    test::ExpectHas(dry.out, "would skip " + (base / "fifo").string() + " (a special file");
    test::ExpectHas(dry.out, "Dry run: nothing was changed.");
    test::ExpectLacks(dry.out, "copied");
    test::ExpectLacks(dry.out, "The backup is complete.");
    EXPECT_EQ(NamesBelow(target), (std::set<std::string>{"orphan.txt", "pipe"}));
    EXPECT_TRUE(Reports().empty());

    const auto run = Arkivo({"run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    test::ExpectHas(run.out,
                    "Summary: 1 job run, 2 files examined, 2 copied, 1 deleted, 0 failed\n");
    test::ExpectHas(run.out,
                    "Skipped: 1 folder whose name begins with '.', 1 link to a folder, "
                    "2 special files (sockets, FIFOs or devices)\n");
    test::ExpectHas(run.out, "Written: 1.0 kB in ");
    test::ExpectHas(run.out, "B/s)\n");
    EXPECT_EQ(run.out.substr(run.out.size() - 24), "The backup is complete.\n") << run.out;
    EXPECT_EQ(NamesBelow(target), (std::set<std::string>{"a.txt", "sub/", "sub/b.bin", "pipe"}));
    EXPECT_EQ(test::ReadBytes(target / "a.txt"), "hello");
    EXPECT_EQ(test::ReadBytes(target / "sub/b.bin"), std::string(1000, 'b'));
    EXPECT_TRUE(std::filesystem::is_fifo(target / "pipe"));

    // The report names each special file left out, as it names dot folders and links.
    const auto reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    const std::string report = test::ReadBytes(reports.front());
    for (const char* name : {"fifo", "sock"}) {
        EXPECT_NE(
            report.find((base / name).string() + " (a special file (socket, FIFO or device))"),
            std::string::npos)
            << report;
    }
    test::ExpectHas(report, (base / "link").string() + " (a link to a folder)");
}

TEST_F(RunSummaryCli, RunVerifyTellsTheArchivesAndEntriesItChecked) {
    test::MakeFile(base / "one/a.txt", "a");
    test::MakeFile(base / "one/b.txt", "b");
    test::MakeFile(base / "one/c.txt", "c");
    test::MakeFile(base / "two/d.txt", "d");
    test::MakeFile(base / "two/e.txt", "e");
    std::filesystem::create_directories(target);
    for (const char* part : {"one", "two"}) {
        ASSERT_EQ(Arkivo({"jobs", "add", (base / part).string(), (target / part).string(), "--type",
                          "dif", "--zip"})
                      .exitCode,
                  0);
    }
    // Differential archives hold every file the target root lacks: each run takes them all.
    const auto plain = Arkivo({"run"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    test::ExpectLacks(plain.out, "Verified");

    const auto verified = Arkivo({"run", "--verify"});
    ASSERT_EQ(verified.exitCode, 0) << verified.err;
    test::ExpectHas(verified.out, "Verified: 2 archives, 5 entries, all intact\n");
    const auto json = Arkivo({"run", "--verify", "--json", "2"});
    EXPECT_EQ(json.exitCode, 0) << json.err;
    test::ExpectHas(json.out, "\"verified\":{\"archives\":1,\"entries\":2,\"damagedArchives\":0}");
}

TEST_F(RunSummaryCli, WithNothingToRunTheRunSaysSoAndLeavesNoReport) {
    ASSERT_EQ(Arkivo({"options", "set", "report", "on"}).exitCode, 0);
    const auto empty = Arkivo({"run"});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, "Nothing to run: the job list is empty or no job is ticked.\n");

    test::MakeFile(base / "a.txt", "a");
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    ASSERT_EQ(Arkivo({"jobs", "uncheck", "1"}).exitCode, 0);
    const auto unticked = Arkivo({"run"});
    EXPECT_EQ(unticked.exitCode, 0);
    test::ExpectHas(unticked.out, "Nothing to run");
    test::ExpectLacks(unticked.out, "complete");
    EXPECT_TRUE(Reports().empty());
    EXPECT_FALSE(std::filesystem::exists(target));

    ASSERT_EQ(Arkivo({"jobs", "check", "1"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"run"}).exitCode, 0);
    EXPECT_EQ(Reports().size(), 1u);
}

TEST_F(RunSummaryCli, QuietPrintsTheErrorsAlone) {
    test::MakeFile(base / "a.txt", "a");
    std::filesystem::create_symlink("/proc/self/status", base / "status.txt");
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto quiet = Arkivo({"run", "--quiet"});
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.out, "");
    test::ExpectHas(quiet.err, "failed: " + (base / "status.txt").string());
    EXPECT_EQ(test::ReadBytes(target / "a.txt"), "a");

    const auto loud = Arkivo({"run"});
    EXPECT_EQ(loud.exitCode, 1);
    test::ExpectHas(loud.out, "The run ended, but not everything was backed up. Failures: 1\n");
}

}  // namespace
}  // namespace arkivo
