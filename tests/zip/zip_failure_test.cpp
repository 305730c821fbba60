// An archive is never left under its name unless it is complete, an entry that fails leaves no
// trace, and a source that changes while it is read is recorded as it was read.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/files.h"
#include "tests/zip/zip_inspect.h"
#include "tests/zip/zip_test_support.h"
#include "zip/zip_archive.h"

namespace arkivo::test {
namespace {

// Whether a temporary file of ours lies in the archive's folder.
bool HasTemporaryBeside(const std::filesystem::path& archive) {
    for (const auto& entry : std::filesystem::directory_iterator(archive.parent_path())) {
        if (platform::IsTemporaryName(entry.path().filename())) {
            return true;
        }
    }
    return false;
}

// Runs body in a child process whose files cannot grow past limit bytes, as on a full disk,
// and returns its exit code.
int RunWithFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit cap{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &cap);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ZipArchiveFile, IsWrittenUnderATemporaryNameUntilClosed) {
    TempFolder folder;
    WriteFile(folder / "a.txt", TextLike(5000, 1));
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"a.txt", folder / "a.txt"), ZipOk);
    EXPECT_FALSE(std::filesystem::exists(archive));
    EXPECT_TRUE(HasTemporaryBeside(archive));
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    EXPECT_TRUE(std::filesystem::exists(archive));
    EXPECT_FALSE(HasTemporaryBeside(archive));
    ExpectReadersAccept(archive, {{"a.txt", folder / "a.txt"}});
}

TEST(ZipArchiveFile, AnOlderArchiveOfTheSameNameStaysUntilTheNewOneReplacesIt) {
    TempFolder folder;
    const auto archive = folder / "out.zip";
    WriteFile(archive, RandomBytes(1000, 3));
    WriteFile(folder / "a.txt", TextLike(5000, 2));
    auto abandoned = CreateZipArchive(archive);
    ASSERT_EQ(AddFileToZipArchive(abandoned.get(), u"a.txt", folder / "a.txt"), ZipOk);
    abandoned.reset();
    EXPECT_FALSE(HasTemporaryBeside(archive)) << "an abandoned archive leaves nothing";
    EXPECT_EQ(std::filesystem::file_size(archive), 1000u);
    auto handle = CreateZipArchive(archive);
    ASSERT_TRUE(handle);
    EXPECT_EQ(std::filesystem::file_size(archive), 1000u);
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    EXPECT_EQ(std::filesystem::file_size(archive), 22u);
}

TEST(ZipArchiveFile, EntriesThatFailToBeWrittenLeaveAValidArchiveOfTheOthers) {
    TempFolder folder;
    WriteFile(folder / "a.txt", TextLike(30000, 4));
    WriteFile(folder / "b.txt", TextLike(30000, 5));
    WriteFile(folder / "big", RandomBytes(3 << 20, 6));
    const auto archive = folder / "out.zip";
    constexpr rlim_t kLimit = 1 << 20;
    const int failedStep = RunWithFileSizeLimit(kLimit, [&] {
        auto handle = CreateZipArchive(archive);
        if (AddFileToZipArchive(handle.get(), u"a.txt", folder / "a.txt") != ZipOk) {
            return 1;
        }
        // Both fail once their data reaches the limit, one stored and one deflated.
        if (AddFileToZipArchive(handle.get(), u"big.zip", folder / "big") != ZipWriteFailed) {
            return 2;
        }
        if (AddFileToZipArchive(handle.get(), u"big.bin", folder / "big") != ZipWriteFailed) {
            return 3;
        }
        if (AddFileToZipArchive(handle.get(), u"b.txt", folder / "b.txt") != ZipOk) {
            return 4;
        }
        return CloseZipArchive(std::move(handle)) == ZipOk ? 0 : 5;
    });
    ASSERT_EQ(failedStep, 0);
    EXPECT_LT(std::filesystem::file_size(archive), 100000u) << "the failed data was not cut off";
    ExpectEntriesBackToBack(archive);
    ExpectReadersAccept(archive, {{"a.txt", folder / "a.txt"}, {"b.txt", folder / "b.txt"}});
}

TEST(ZipArchiveFile, ADirectoryThatCannotBeWrittenLeavesNoArchive) {
    TempFolder folder;
    constexpr rlim_t kLimit = 1 << 16;
    // The entry fits the limit, with 40 bytes to spare; its directory record and the end
    // record need 82.
    WriteFile(folder / "a", RandomBytes(kLimit - (30 + 5 + 17) - 40, 7));
    const auto archive = folder / "out.zip";
    const int failedStep = RunWithFileSizeLimit(kLimit, [&] {
        auto handle = CreateZipArchive(archive);
        if (AddFileToZipArchive(handle.get(), u"a.zip", folder / "a") != ZipOk) {
            return 1;
        }
        return CloseZipArchive(std::move(handle)) == ZipWriteFailed ? 0 : 2;
    });
    ASSERT_EQ(failedStep, 0);
    EXPECT_FALSE(std::filesystem::exists(archive));
    EXPECT_FALSE(HasTemporaryBeside(archive));
}

TEST(ZipChangingSource, RecordsWhatWasReadWhenTheFileSizeSaidOtherwise) {
    // Files under /proc report a size of 0 yet have content.
    const std::filesystem::path source = "/proc/self/status";
    ASSERT_EQ(std::filesystem::file_size(source), 0u);
    TempFolder folder;
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"status.txt", source), ZipOk);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"status.zip", source), ZipOk);
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    const auto entries = ReadCentralDirectory(archive);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_GT(entries[0].uncompressedSize, 100u);
    EXPECT_GT(entries[1].uncompressedSize, 100u);
    EXPECT_EQ(entries[1].compressedSize, entries[1].uncompressedSize);
    // The content differs from process to process: the readers check the CRCs only.
    ExpectReadersAccept(archive, {{"status.txt", ""}, {"status.zip", ""}});
}

TEST(ZipChangingSource, AFileThatGrowsWhileReadIsRecordedAsFarAsItWasRead) {
    TempFolder folder;
    const auto source = folder / "growing.log";
    constexpr std::size_t kInitial = 4 << 20;
    WriteFile(source, TextLike(kInitial, 8));
    const Bytes piece = TextLike(1 << 16, 9);
    std::atomic<bool> growing{false};
    std::thread appender([&] {
        std::ofstream out(source, std::ios::binary | std::ios::app);
        for (int i = 0; i < 64; ++i) {
            out.write(reinterpret_cast<const char*>(piece.data()),
                      static_cast<std::streamsize>(piece.size()));
            out.flush();
            growing = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    while (!growing) {
        std::this_thread::yield();
    }
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    const ZipResult deflated = AddFileToZipArchive(handle.get(), u"growing.log", source);
    appender.join();
    ASSERT_EQ(deflated, ZipOk);
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    const auto entries = ReadCentralDirectory(archive);
    ASSERT_EQ(entries.size(), 1u);
    const std::uint32_t read = entries[0].uncompressedSize;
    EXPECT_GE(read, kInitial + piece.size());
    // The entry holds the file as it was when reading ended: a prefix of what it is now.
    Bytes prefix = ReadFile(source);
    ASSERT_LE(read, prefix.size());
    prefix.resize(read);
    WriteFile(folder / "prefix", prefix);
    ExpectReadersAccept(archive, {{"growing.log", folder / "prefix"}});
}

}  // namespace
}  // namespace arkivo::test
