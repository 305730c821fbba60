// An archive is never left under its name unless it is complete, an entry that fails leaves no
// trace, and a source that changes while it is read is left out rather than recorded half old
// and half new.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "platform/files.h"
#include "support/file_size_limit.h"
#include "tests/zip/zip_inspect.h"
#include "tests/zip/zip_test_support.h"
#include "zip/zip_archive.h"

namespace arkivo::test {
namespace {

// The temporary file of ours in the archive's folder, if there is one.
std::optional<std::filesystem::path> TemporaryBeside(const std::filesystem::path& archive) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(archive.parent_path(), error)) {
        if (platform::IsTemporaryName(entry.path().filename())) {
            return entry.path();
        }
    }
    return std::nullopt;
}

// Runs body in a child process whose files cannot grow past limit bytes, as on a full disk,
// and returns its exit code.
int RunWithFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        const FileSizeLimit full(limit);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Under either name only its owner may read it: the archive may hold private files.
TEST(ZipArchiveFile, IsWrittenUnderATemporaryNameUntilClosedAndReadableByItsOwnerOnly) {
    const UsualUmask umask;
    TempFolder folder;
    WriteFile(folder / "a.txt", TextLike(5000, 1));
    const auto archive = folder / "out.zip";
    const auto ownerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    auto handle = CreateZipArchive(archive);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"a.txt", folder / "a.txt"), ZipOk);
    EXPECT_FALSE(std::filesystem::exists(archive));
    const auto temporary = TemporaryBeside(archive);
    ASSERT_TRUE(temporary);
    EXPECT_EQ(std::filesystem::status(*temporary).permissions(), ownerOnly);
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    EXPECT_EQ(std::filesystem::status(archive).permissions(), ownerOnly);
    EXPECT_FALSE(TemporaryBeside(archive));
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
    EXPECT_FALSE(TemporaryBeside(archive)) << "an abandoned archive leaves nothing";
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
    EXPECT_FALSE(TemporaryBeside(archive));
}

// Runs change(source) on a thread of its own once the add has opened the source and its
// data has begun to reach the archive, while the rest of the source is still being read.
class ChangeDuringAdd {
  public:
    ChangeDuringAdd(const std::filesystem::path& archive, std::function<void()> change)
        : thread_([this, archive, change = std::move(change)] {
              std::error_code error;
              auto started = [&] {
                  const auto temp = TemporaryBeside(archive);
                  return temp && std::filesystem::file_size(*temp, error) > kStarted && !error;
              };
              while (!stop_ && !started()) {
                  std::this_thread::sleep_for(std::chrono::microseconds(100));
              }
              if (!stop_) {
                  change();
                  changed_ = true;
              }
          }) {}
    ~ChangeDuringAdd() { Join(); }

    // Whether the change was made.
    bool Join() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return changed_;
    }

  private:
    // Past the first piece of data the archive file holds back in memory.
    static constexpr std::uintmax_t kStarted = 1 << 19;

    std::atomic<bool> stop_{false};
    std::atomic<bool> changed_{false};
    std::thread thread_;
};

void AppendTo(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Every byte this process has had from read calls so far, from /proc/self/io.
std::uint64_t BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") {
            return value;
        }
    }
    ADD_FAILURE() << "no rchar in /proc/self/io";
    return 0;
}

// An entry added whole, then a source that changes while it is read, then another entry added
// whole: the changed source leaves no entry, and the entries around it are whole.
class ZipChangingSource : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(folder / "steady.txt", TextLike(20000, 8));
        ASSERT_EQ(AddFileToZipArchive(handle.get(), u"before.txt", folder / "steady.txt"), ZipOk);
    }

    void ExpectOnlyTheSteadyEntries() {
        ASSERT_EQ(AddFileToZipArchive(handle.get(), u"after.txt", folder / "steady.txt"), ZipOk);
        ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
        ExpectEntriesBackToBack(archive);
        ExpectReadersAccept(
            archive, {{"before.txt", folder / "steady.txt"}, {"after.txt", folder / "steady.txt"}});
    }

    TempFolder folder;
    std::filesystem::path archive = folder / "out.zip";
    std::unique_ptr<ZipHandle> handle = CreateZipArchive(archive);
};

TEST_F(ZipChangingSource, AFileThatGrowsWhileReadIsLeftOut) {
    const auto source = folder / "growing.log";
    constexpr std::size_t kInitial = 24 << 20;
    WriteFile(source, RandomBytes(kInitial, 9));
    const Bytes piece = RandomBytes(1 << 20, 10);
    ChangeDuringAdd appender(archive, [&] {
        for (int i = 0; i < 16; ++i) {
            AppendTo(source, piece);
        }
    });
    const std::uint64_t readBefore = BytesReadSoFar();
    const ZipResult grown = AddFileToZipArchive(handle.get(), u"growing.log", source);
    const std::uint64_t read = BytesReadSoFar() - readBefore;
    ASSERT_TRUE(appender.Join()) << "the add ended before the file could grow";
    EXPECT_EQ(grown, ZipSourceChanged);
    // One byte past its size shows that it grew; what /proc/self/io itself takes is small.
    EXPECT_LE(read, kInitial + 4096) << "the bytes appended were read as well";
    ExpectOnlyTheSteadyEntries();
}

TEST_F(ZipChangingSource, AFileCutShortWhileReadIsLeftOut) {
    const auto source = folder / "shrinking.zip";  // stored, the quickest to read
    constexpr std::size_t kInitial = 64 << 20;
    WriteFile(source, RandomBytes(kInitial, 12));
    ChangeDuringAdd truncater(archive, [&] { std::filesystem::resize_file(source, kInitial / 2); });
    const ZipResult shrunk = AddFileToZipArchive(handle.get(), u"shrinking.zip", source);
    ASSERT_TRUE(truncater.Join()) << "the add ended before the file could be cut";
    EXPECT_EQ(shrunk, ZipSourceChanged);
    ExpectOnlyTheSteadyEntries();
}

TEST_F(ZipChangingSource, AFileHoldingMoreThanItsSizeSaysIsLeftOut) {
    // Files under /proc report a size of 0 yet have content.
    const std::filesystem::path source = "/proc/self/status";
    ASSERT_EQ(std::filesystem::file_size(source), 0u);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), u"status.txt", source), ZipSourceChanged);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), u"status.zip", source), ZipSourceChanged);
    ExpectOnlyTheSteadyEntries();
}

}  // namespace
}  // namespace arkivo::test
