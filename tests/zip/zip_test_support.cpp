#include "tests/zip/zip_test_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>

#include "support/run_program.h"
#include "zip/verify.h"
#include "zip/zip_archive.h"

namespace arkivo::test {

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

Manifest WriteArchive(const std::filesystem::path& archive, const std::vector<Added>& files) {
    Manifest manifest;
    auto handle = CreateZipArchive(archive);
    EXPECT_TRUE(handle) << archive;
    for (const Added& file : files) {
        EXPECT_EQ(AddFileToZipArchive(handle.get(), file.name, file.source), ZipOk) << file.source;
        manifest.push_back({file.stored, file.source});
        if (file.stored.empty()) {
            manifest.back().name.assign(file.name.begin(), file.name.end());
        }
    }
    EXPECT_EQ(CloseZipArchive(std::move(handle)), ZipOk) << archive;
    return manifest;
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
    FILE* unzipPipe = StartCommand("unzip -tqq " + ShellQuote(archive.string()));
    FILE* sevenZipPipe = StartCommand("7z t -bso0 -bsp0 " + ShellQuote(archive.string()));
    FILE* pythonPipe =
        StartCommand("/usr/bin/python3 " + ShellQuote(ARKIVO_ZIP_CHECK_SCRIPT) + " " +
                     ShellQuote(archive.string()) + " " + ShellQuote(manifestPath.string()) +
                     (options.pythonTestzip ? "" : " --no-testzip"));
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
