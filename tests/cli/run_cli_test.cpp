#include <gtest/gtest.h>

#include <random>

#include "support/file_tree.h"
#include "support/run_program.h"

namespace arkivo {
namespace {

using test::ProgramResult;
using test::TempFolder;

const std::filesystem::path kArkivo = ARKIVO_CLI_PATH;

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

class RunCli : public ::testing::Test {
  protected:
    ProgramResult Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--home", home.string()});
        return test::RunProgram(kArkivo, arguments, {"HOME=" + folder.path().string()},
                                folder.path());
    }
    TempFolder folder;
    std::filesystem::path home = folder / "home";
    std::filesystem::path base = folder / "base";
    std::filesystem::path target = folder / "target";
};

TEST_F(RunCli, ASyncRunMakesTheTargetEqualToTheBase) {
    GenerateTree(base, 7);
    ASSERT_EQ(Run({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto first = Run({"run"});
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
    EXPECT_NE(first.out.find("Job 1: "), std::string::npos);
    EXPECT_NE(first.out.find(" 0 failed"), std::string::npos);

    const auto second = Run({"run"});
    ASSERT_EQ(second.exitCode, 0);
    EXPECT_NE(second.out.find("Job 1: 0 copied"), std::string::npos);
}

TEST_F(RunCli, DryRunListsAndChangesNothing) {
    GenerateTree(base, 11);
    std::filesystem::create_directories(target);
    ASSERT_EQ(Run({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto dry = Run({"run", "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_NE(dry.out.find("would copy "), std::string::npos);
    EXPECT_TRUE(test::TreeContents(target).empty());
}

TEST_F(RunCli, DotFoldersAreNamedWhenLeftOutAndTakenWhenAsked) {
    test::MakeFile(base / "a.txt", "a");
    test::MakeFile(base / ".ssh/id", "key");
    test::MakeFile(base / "p/.git/HEAD", "ref");
    ASSERT_EQ(Run({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto dry = Run({"run", "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_NE(
        dry.out.find("would skip " + (base / ".ssh").string() + " (its name begins with '.')"),
        std::string::npos)
        << dry.out;
    EXPECT_NE(dry.out.find("would skip " + (base / "p/.git").string()), std::string::npos);
    const auto run = Run({"run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("skipped 2 folders whose names begin with '.'"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("would skip"), std::string::npos);

    ASSERT_EQ(Run({"options", "set", "dot-folders", "on", "--job", "1"}).exitCode, 0);
    EXPECT_NE(Run({"options"}).out.find("dot-folders = on"), std::string::npos);
    const auto taken = Run({"run"});
    ASSERT_EQ(taken.exitCode, 0) << taken.err;
    EXPECT_EQ(taken.out.find("skipped"), std::string::npos);
    EXPECT_EQ(test::FileContents(target), test::FileContents(base));
}

TEST_F(RunCli, CopiesReachTheDiskBeforeTheRunIsRecorded) {
    if (std::system("command -v strace >/dev/null") != 0) {
        GTEST_SKIP() << "strace is not installed";
    }
    test::MakeFile(base / "a.txt", "a");
    ASSERT_EQ(Run({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto trace = folder / "trace";
    const auto run =
        test::RunProgram("/usr/bin/strace",
                         {"-f", "-e", "trace=syncfs,fsync,rename,renameat,renameat2", "-o",
                          trace.string(), kArkivo.string(), "--home", home.string(), "run"},
                         {}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string calls = test::ReadBytes(trace);
    const auto copied = calls.find("\"" + (target / "a.txt").string() + "\"");
    const auto flushed = calls.find("syncfs(", copied);
    const auto recorded = calls.find("\"" + (home / "LastSetting.env").string() + "\"");
    ASSERT_NE(copied, std::string::npos) << calls;
    ASSERT_NE(recorded, std::string::npos) << calls;
    EXPECT_LT(flushed, recorded) << calls;
}

TEST_F(RunCli, TheExitCodeTellsWhetherEverythingWasCopied) {
    test::MakeFile(base / "a.txt", "a");
    test::MakeFile(base / "b.txt", "b");
    std::filesystem::create_directories(target / "b.txt");  // this copy cannot succeed
    ASSERT_EQ(Run({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const auto run = Run({"run"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("failed: " + (base / "b.txt").string()), std::string::npos);
    EXPECT_NE(run.out.find("1 failed"), std::string::npos);
}

TEST_F(RunCli, AFileThatChangedWhileItWasCopiedIsNamedAndLeftOut) {
    test::MakeFile(base / "a.txt", "a");
    // A file under /proc says it is empty, yet reading it gives bytes.
    std::filesystem::create_directories(base);
    std::filesystem::create_symlink("/proc/self/status", base / "status.txt");
    ASSERT_EQ(
        Run({"jobs", "add", base.string(), target.string(), "--type", "dif", "--zip"}).exitCode, 0);
    const auto run = Run({"run"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("failed: " + (base / "status.txt").string()), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(": the file changed while it was copied\n"), std::string::npos)
        << run.err;
    std::filesystem::path archive;
    for (const auto& entry : std::filesystem::directory_iterator(target)) {
        archive = entry.path();
    }
    ASSERT_EQ(archive.extension(), ".zip");
    const auto verify = Run({"verify", archive.string()});
    EXPECT_EQ(verify.exitCode, 0) << verify.err;
    EXPECT_NE(verify.out.find(": 1 entries, all ok"), std::string::npos) << verify.out;

    // A plain copy leaves it out in the same way.
    const auto mirror = folder / "mirror";
    ASSERT_EQ(Run({"jobs", "add", base.string(), mirror.string()}).exitCode, 0);
    const auto sync = Run({"run", "2"});
    EXPECT_EQ(sync.exitCode, 1);
    EXPECT_NE(
        sync.err.find((base / "status.txt").string() + " -> " + (mirror / "status.txt").string() +
                      ": the file changed while it was copied\n"),
        std::string::npos)
        << sync.err;
    EXPECT_EQ(test::FileContents(mirror), (std::map<std::string, std::string>{{"a.txt", "a"}}));
}

TEST_F(RunCli, NamedJobsRunEvenWhenUnticked) {
    test::MakeFile(base / "a.txt", "a");
    ASSERT_EQ(Run({"jobs", "add", base.string(), (folder / "one").string()}).exitCode, 0);
    ASSERT_EQ(Run({"jobs", "add", base.string(), (folder / "two").string()}).exitCode, 0);
    ASSERT_EQ(Run({"jobs", "uncheck", "1", "2"}).exitCode, 0);
    ASSERT_EQ(Run({"run"}).exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "one"));
    ASSERT_EQ(Run({"run", "2"}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "two/a.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "one"));
    EXPECT_EQ(Run({"run", "3"}).exitCode, 1);
}

TEST_F(RunCli, FiltersAndOptionsShapeTheRun) {
    test::MakeFile(base / "keep.doc", "k");
    test::MakeFile(base / "skip.tmp", "s");
    test::MakeFile(target / "orphan.txt", "o");
    ASSERT_EQ(Run({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    ASSERT_EQ(Run({"filters", "add", "1", "exclude", "*.tmp"}).exitCode, 0);
    const auto listed = Run({"filters", "list", "1"});
    EXPECT_NE(listed.out.find("1  *.tmp"), std::string::npos);
    ASSERT_EQ(Run({"options", "set", "sync-delete", "on", "--job", "1"}).exitCode, 0);
    ASSERT_EQ(Run({"options", "set", "report", "on"}).exitCode, 0);
    ASSERT_EQ(Run({"options", "set", "report-deleted", "on"}).exitCode, 0);
    const auto shown = Run({"options"});
    EXPECT_NE(shown.out.find("sync-delete = on"), std::string::npos);
    EXPECT_NE(shown.out.find("report = on"), std::string::npos);
    const auto run = Run({"run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(test::FileContents(target), (std::map<std::string, std::string>{{"keep.doc", "k"}}));
    ASSERT_EQ(Run({"filters", "remove", "1", "exclude", "*.tmp"}).exitCode, 0);
    EXPECT_NE(Run({"filters", "list", "1"}).out.find("exclude: none"), std::string::npos);
    EXPECT_EQ(Run({"options", "set", "zip", "on", "--job", "1"}).exitCode, 1);
}

}  // namespace
}  // namespace arkivo
