#include "tests/zip/zip_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>

#include "zip/verify.h"

namespace arkivo::test {
namespace {

std::string Quoted(const std::filesystem::path& path) {
    std::string quoted = "'";
    for (const char c : path.string()) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::filesystem::path UniqueFolderName() {
    static std::atomic<int> counter{0};
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "arkivo-zip-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    if (test != nullptr) {
        name += std::string("-") + test->name();
    }
    return std::filesystem::temp_directory_path() / name;
}

}  // namespace

ScratchFolder::ScratchFolder() : path_(UniqueFolderName()) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

namespace {

FILE* StartCommand(const std::string& command) {
    return ::popen(("LC_ALL=C.UTF-8 " + command + " 2>&1").c_str(), "r");
}

CommandResult FinishCommand(FILE* pipe) {
    CommandResult result;
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
        result.output.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace

CommandResult RunCommand(const std::string& command) {
    return FinishCommand(StartCommand(command));
}

void ExpectReadersAccept(const std::filesystem::path& archive, const Manifest& manifest,
                         ReaderOptions options) {
    SCOPED_TRACE(archive.string());
    std::filesystem::path manifestPath = archive;
    manifestPath += ".manifest";
    {
        std::ofstream out(manifestPath, std::ios::binary | std::ios::trunc);
        for (const auto& entry : manifest) {
            out << entry.name << '\t' << entry.source.string() << '\n';
        }
    }
    // The readers work at the same time; large archives take them a while.
    FILE* unzipPipe = StartCommand("unzip -tqq " + Quoted(archive));
    FILE* sevenZipPipe = StartCommand("7z t -bso0 -bsp0 " + Quoted(archive));
    FILE* pythonPipe =
        StartCommand("/usr/bin/python3 " + Quoted(ARKIVO_ZIP_CHECK_SCRIPT) + " " + Quoted(archive) +
                     " " + Quoted(manifestPath) + (options.pythonTestzip ? "" : " --no-testzip"));
    const zip::ArchiveVerdict verdict = zip::VerifyZipArchive(archive);

    const CommandResult unzip = FinishCommand(unzipPipe);
    // unzip warns (exit code 1) about an archive without entries, and nothing else.
    const bool emptyWarning = manifest.empty() && unzip.exitCode == 1 &&
                              unzip.output.find("zipfile is empty") != std::string::npos;
    EXPECT_TRUE(unzip.exitCode == 0 || emptyWarning) << "unzip -t:\n" << unzip.output;
    const CommandResult sevenZip = FinishCommand(sevenZipPipe);
    EXPECT_EQ(sevenZip.exitCode, 0) << "7z t:\n" << sevenZip.output;
    const CommandResult python = FinishCommand(pythonPipe);
    EXPECT_EQ(python.exitCode, 0) << "python zipfile:\n" << python.output;
    std::filesystem::remove(manifestPath);

    EXPECT_EQ(verdict.status, zip::ArchiveCheck::Ok);
    std::multiset<std::string> verifiedNames;
    for (const auto& entry : verdict.entries) {
        verifiedNames.insert(entry.name);
    }
    std::multiset<std::string> expectedNames;
    for (const auto& entry : manifest) {
        expectedNames.insert(entry.name);
    }
    EXPECT_TRUE(verifiedNames == expectedNames) << "our check lists other entries";
}

}  // namespace arkivo::test
