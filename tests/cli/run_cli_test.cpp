#include <random>
#include <sstream>

#include "support/cli_fixture.h"

namespace arkivo {
namespace {

// A seeded tree of a few hundred files of mixed sizes and names, some nested deeply.
void GenerateTree(const std::filesystem::path& root, unsigned seed) {
    std::mt19937 random(seed);
    const std::vector<std::string> names = {
        "alpha",        "Beta",      "gamma delta", "\u65e5\u672c",
        "\ud55c\uad6d", "caf\u00e9", ".config",     "z"};
    for (int i = 0; i < 300; ++i) {
        std::filesystem::path path = root;
        const int depth = static_cast<int>(random() % 5);
        for (int d = 0; d < depth; ++d) {
            path /= names[random() % names.size()] + std::to_string(random() % 3);
        }
        path /= "file" + std::to_string(i) + (i % 3 == 0 ? ".txt" : ".bin");
        std::string content(random() % 5000, '\0');
        for (auto& c : content) {
            c = static_cast<char>(random());
        }
        test::MakeFile(path, content);
    }
}

class RunCli : public test::CliTest {
  protected:
    static bool HasStrace() { return std::system("command -v strace >/dev/null") == 0; }

    // `arkivo run` under strace, the system calls named in `calls` written to `trace`; `more`
    // holds further options for strace.
    test::ProgramResult TracedRun(const std::string& calls, const std::filesystem::path& trace,
                                  std::vector<std::string> more = {}) {
        // A sanitized build's leak check cannot run under ptrace; it is turned off for this run.
        std::vector<std::string> prefix = {"/usr/bin/env",
                                           "ASAN_OPTIONS=detect_leaks=0",
                                           "/usr/bin/strace",
                                           "-f",
                                           "-e",
                                           "trace=" + calls,
                                           "-o",
                                           trace.string()};
        prefix.insert(prefix.end(), more.begin(), more.end());
        return Arkivo({"run"}, prefix);
    }
};

TEST_F(RunCli, ASyncRunMakesTheTargetEqualToTheBase) {
    GenerateTree(base, 7);
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto first = Arkivo({"run"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.err, "");
    // Every file arrives byte for byte, but those in dot folders, which runs leave out.
    auto expected = test::FileContents(base);
    for (auto it = expected.begin(); it != expected.end();) {
        const bool inDotFolder =
            it->first.rfind(".config", 0) == 0 || it->first.find("/.config") != std::string::npos;
        it = inDotFolder ? expected.erase(it) : std::next(it);
    }
    ASSERT_GT(expected.size(), 150u);
    EXPECT_EQ(test::FileContents(target), expected);
    // Piped output: one line as a job starts and one as it ends, no progress redraws.
    EXPECT_EQ(first.out.find('\r'), std::string::npos);
    test::ExpectHas(first.out, "Job 1: ");
    test::ExpectHas(first.out, " 0 failed");

    const auto second = Arkivo({"run"});
    ASSERT_EQ(second.exitCode, 0);
    test::ExpectHas(second.out, "Job 1: 0 copied");
}

TEST_F(RunCli, ADryRunChangesNothingAndNamesDotFoldersLeftOutWhichAreTakenWhenAsked) {
    test::MakeFile(base / "a.txt", "a");
    test::MakeFile(base / ".ssh/id", "key");
    test::MakeFile(base / "p/.git/HEAD", "ref");
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto dry = Arkivo({"run", "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_FALSE(std::filesystem::exists(target));
    test::ExpectHas(dry.out, "would copy " + (base / "a.txt").string());
    EXPECT_NE(
        dry.out.find("would skip " + (base / ".ssh").string() + " (its name begins with '.')"),
        std::string::npos)
        << dry.out;
    test::ExpectHas(dry.out, "would skip " + (base / "p/.git").string());
    const auto run = Arkivo({"run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    test::ExpectHas(run.out, "skipped 2 folders whose names begin with '.'");
    test::ExpectLacks(run.out, "would skip");

    ASSERT_EQ(Arkivo({"options", "set", "dot-folders", "on", "--job", "1"}).exitCode, 0);
    test::ExpectHas(Arkivo({"options"}).out, "dot-folders = on");
    const auto taken = Arkivo({"run"});
    ASSERT_EQ(taken.exitCode, 0) << taken.err;
    test::ExpectLacks(taken.out, "skipped");
    EXPECT_EQ(test::FileContents(target), test::FileContents(base));
}

TEST_F(RunCli, CopiesReachTheDiskBeforeTheRunIsRecorded) {
    if (!HasStrace()) {
        GTEST_SKIP() << "strace is not installed";
    }
    test::MakeFile(base / "a.txt", "a");
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto trace = folder / "trace";
    const auto run = TracedRun("syncfs,fsync,rename,renameat,renameat2,linkat", trace);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string calls = test::ReadBytes(trace);
    const auto copied = calls.find("\"" + (target / "a.txt").string() + "\"");
    const auto flushed = calls.find("syncfs(", copied);
    const auto recorded = calls.find("\"" + (home / "LastSetting.env").string() + "\"");
    ASSERT_NE(copied, std::string::npos) << calls;
    ASSERT_NE(recorded, std::string::npos) << calls;
    EXPECT_LT(flushed, recorded) << calls;
}

TEST_F(RunCli, TheDiskFlushesInTheBackgroundOnlyOnceARunWrites) {
    if (!HasStrace()) {
        GTEST_SKIP() << "strace is not installed";
    }
    const auto makeFiles = [](const std::filesystem::path& root, const std::string& content,
                              std::int64_t time) {
        for (int i = 0; i < 10; ++i) {
            test::MakeFile(root / std::to_string(i % 2) / (std::to_string(i) + ".txt"), content,
                           time);
        }
    };
    makeFiles(base, "x", 1600000000);
    makeFiles(target, "x", 1600000000);
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto trace = folder / "trace";
    // Each listing slowed down, so the walk outlasts the interval of the background flushes
    // several times over.
    const auto slowRun = [&] {
        const auto run = TracedRun("syncfs,fsync,getdents64", trace,
                                   {"-e", "inject=getdents64:delay_exit=60000"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::string calls = test::ReadBytes(trace);
        std::size_t flushes = 0;
        for (auto at = calls.find("syncfs("); at != std::string::npos;
             at = calls.find("syncfs(", at + 1)) {
            ++flushes;
        }
        return std::make_pair(run.out, flushes);
    };
    // With nothing to copy the run leaves the disk alone.
    const auto [idleOut, idleFlushes] = slowRun();
    test::ExpectHas(idleOut, "0 copied");
    EXPECT_EQ(idleFlushes, 0u);
    // Once it copies, the disk writes while the walk goes on, and once more at the end.
    makeFiles(base, "y", 1700000000);
    const auto [busyOut, busyFlushes] = slowRun();
    test::ExpectHas(busyOut, "10 copied");
    EXPECT_GE(busyFlushes, 2u);
}

TEST_F(RunCli, WithoutAProgressLineEachSourceFolderIsReadOnce) {
    if (!HasStrace()) {
        GTEST_SKIP() << "strace is not installed";
    }
    const auto deep = base / "one" / "two";
    test::MakeFile(deep / "a.txt", "a");
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string(), "--type", "dif"}).exitCode, 0);
    const auto trace = folder / "trace";
    // How often the traced run opened the deepest source folder to list it.
    const auto listings = [&] {
        std::istringstream calls(test::ReadBytes(trace));
        std::size_t count = 0;
        for (std::string call; std::getline(calls, call);) {
            count += call.find("\"" + deep.string() + "\"") != std::string::npos &&
                     call.find("O_DIRECTORY") != std::string::npos;
        }
        return count;
    };
    // Output into a pipe shows no progress line, so nothing needs the files counted first.
    const auto piped = TracedRun("open,openat", trace);
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(listings(), 1u) << test::ReadBytes(trace);
    test::ExpectHas(piped.out, "1 copied");
}

TEST_F(RunCli, AFileThatChangedWhileItWasCopiedIsNamedLeftOutAndFailsTheRun) {
    test::MakeFile(base / "a.txt", "a");
    // A file under /proc says it is empty, yet reading it gives bytes.
    std::filesystem::create_directories(base);
    std::filesystem::create_symlink("/proc/self/status", base / "status.txt");
    ASSERT_EQ(
        Arkivo({"jobs", "add", base.string(), target.string(), "--type", "dif", "--zip"}).exitCode,
        0);
    // The exit code and the summary tell that not everything was copied.
    const auto run = Arkivo({"run"});
    EXPECT_EQ(run.exitCode, 1);
    test::ExpectHas(run.out, "1 failed");
    test::ExpectHas(run.err, "failed: " + (base / "status.txt").string());
    test::ExpectHas(run.err, ": the file changed while it was copied\n");
    std::filesystem::path archive;
    for (const auto& entry : std::filesystem::directory_iterator(target)) {
        archive = entry.path();
    }
    ASSERT_EQ(archive.extension(), ".zip");
    const auto verify = Arkivo({"verify", archive.string()});
    EXPECT_EQ(verify.exitCode, 0) << verify.err;
    test::ExpectHas(verify.out, ": 1 entry, all intact");

    // A plain copy leaves it out in the same way. Named, a job runs even when unticked; only
    // ticked jobs run when none are named.
    const auto mirror = folder / "mirror";
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), mirror.string()}).exitCode, 0);
    ASSERT_EQ(Arkivo({"jobs", "uncheck", "1", "2"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"run"}).exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(mirror));
    EXPECT_EQ(Arkivo({"run", "3"}).exitCode, 1);
    const auto sync = Arkivo({"run", "2"});
    EXPECT_EQ(sync.exitCode, 1);
    EXPECT_NE(
        sync.err.find((base / "status.txt").string() + " -> " + (mirror / "status.txt").string() +
                      ": the file changed while it was copied\n"),
        std::string::npos)
        << sync.err;
    EXPECT_EQ(test::FileContents(mirror), (std::map<std::string, std::string>{{"a.txt", "a"}}));
    test::ExpectLacks(sync.out, "Job 1");
}

TEST_F(RunCli, FiltersAndOptionsShapeTheRun) {
    test::MakeFile(base / "keep.doc", "k");
    test::MakeFile(base / "skip.tmp", "s");
    test::MakeFile(target / "orphan.txt", "o");
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    ASSERT_EQ(Arkivo({"filters", "add", "1", "exclude", "*.tmp"}).exitCode, 0);
    const auto listed = Arkivo({"filters", "list", "1"});
    test::ExpectHas(listed.out, "1  *.tmp");
    ASSERT_EQ(Arkivo({"options", "set", "sync-delete", "on", "--job", "1"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"options", "set", "report", "on"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"options", "set", "report-deleted", "on"}).exitCode, 0);
    const auto shown = Arkivo({"options"});
    test::ExpectHas(shown.out, "sync-delete = on");
    test::ExpectHas(shown.out, "report = on");
    const auto run = Arkivo({"run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(test::FileContents(target), (std::map<std::string, std::string>{{"keep.doc", "k"}}));
    ASSERT_EQ(Arkivo({"filters", "remove", "1", "exclude", "*.tmp"}).exitCode, 0);
    test::ExpectHas(Arkivo({"filters", "list", "1"}).out, "exclude: none");
    EXPECT_EQ(Arkivo({"options", "set", "zip", "on", "--job", "1"}).exitCode, 1);
}

}  // namespace
}  // namespace arkivo
