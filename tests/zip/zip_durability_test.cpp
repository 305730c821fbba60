// An archive survives a power loss once it has its name: its bytes reach stable storage
// before the rename, and the rename itself is flushed with its folder. Watched with strace on
// a run of another test of this program that writes and closes an archive.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/run_program.h"
#include "tests/zip/zip_test_support.h"

namespace arkivo::test {
namespace {

struct SystemCall {
    std::string name;
    std::vector<std::string> paths;  // the quoted arguments
    std::string arguments;
    long result = -1;
};

std::vector<SystemCall> ReadTrace(const std::filesystem::path& log) {
    std::ifstream in(log);
    const std::regex line(R"(^\d+\s+(\w+)\((.*)\)\s+=\s+(-?\d+))");
    const std::regex quoted(R"re("([^"]*)")re");
    std::vector<SystemCall> calls;
    for (std::string text; std::getline(in, text);) {
        std::smatch match;
        if (!std::regex_search(text, match, line)) {
            continue;
        }
        SystemCall call{match[1], {}, match[2], std::stol(match[3])};
        for (std::sregex_iterator it(call.arguments.begin(), call.arguments.end(), quoted), end;
             it != end; ++it) {
            call.paths.push_back((*it)[1]);
        }
        calls.push_back(std::move(call));
    }
    return calls;
}

// The index of the first fsync or fdatasync of fd in calls[from, to) that succeeded, before
// any close of it; to when there is none.
std::size_t FindFlush(const std::vector<SystemCall>& calls, std::size_t from, std::size_t to,
                      long fd) {
    const std::string descriptor = std::to_string(fd);
    for (std::size_t i = from; i < to; ++i) {
        if (calls[i].arguments != descriptor) {
            continue;
        }
        if (std::regex_match(calls[i].name, std::regex("f(data)?sync")) && calls[i].result == 0) {
            return i;
        }
        if (calls[i].name == "close") {
            break;
        }
    }
    return to;
}

bool IsOnly(const std::vector<std::string>& paths, const std::string& path) {
    return paths.size() == 1 && paths[0] == path;
}

TEST(ZipDurability, TheArchiveIsFlushedBeforeItsRenameAndItsFolderAfter) {
    TempFolder folder;
    const auto log = folder / "trace.log";
    // A sanitized build's leak check cannot run under ptrace; it is turned off for the run traced.
    const CommandResult traced = RunCommand(
        "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -s 4096 -e "
        "trace=openat,close,fsync,fdatasync,rename,renameat,renameat2 "
        "-o " +
        ShellQuote(log.string()) + " /proc/" + std::to_string(::getpid()) +
        "/exe "
        "--gtest_filter=ZipArchiveFile."
        "IsWrittenUnderATemporaryNameUntilClosedAndReadableByItsOwnerOnly");
    ASSERT_EQ(traced.exitCode, 0) << traced.output;
    const auto calls = ReadTrace(log);

    std::size_t rename = calls.size();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (std::regex_match(calls[i].name, std::regex("rename(at2?)?")) && calls[i].result == 0 &&
            calls[i].paths.size() == 2 &&
            platform::IsTemporaryName(std::filesystem::path(calls[i].paths[0]).filename())) {
            rename = i;
        }
    }
    ASSERT_LT(rename, calls.size()) << "no archive was renamed to its name";
    const std::string temp = calls[rename].paths[0];
    const std::string folderPath = std::filesystem::path(calls[rename].paths[1]).parent_path();

    std::size_t created = rename;
    for (std::size_t i = 0; i < rename; ++i) {
        if (calls[i].name == "openat" && IsOnly(calls[i].paths, temp) &&
            calls[i].arguments.find("O_CREAT") != std::string::npos && calls[i].result >= 0) {
            created = i;
        }
    }
    ASSERT_LT(created, rename) << "the archive " << temp << " was not created";
    EXPECT_LT(FindFlush(calls, created + 1, rename, calls[created].result), rename)
        << "the archive's bytes were not flushed before the rename";

    bool folderFlushed = false;
    for (std::size_t i = rename + 1; i < calls.size() && !folderFlushed; ++i) {
        if (calls[i].name == "openat" && IsOnly(calls[i].paths, folderPath) &&
            calls[i].arguments.find("O_DIRECTORY") != std::string::npos && calls[i].result >= 0) {
            folderFlushed = FindFlush(calls, i + 1, calls.size(), calls[i].result) < calls.size();
        }
    }
    EXPECT_TRUE(folderFlushed) << "the folder " << folderPath
                               << " was not flushed after the rename";
}

}  // namespace
}  // namespace arkivo::test
