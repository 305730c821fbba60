// Files queued for an archive are compressed on several threads while the next ones are read;
// the archive still comes out as if they had been added one by one: the same bytes whatever
// the number of threads, each outcome told in turn on the caller's thread, a source that
// changes left out, a full disk failing only what does not fit, memory bounded.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "support/small_file_system.h"
#include "tests/zip/zip_inspect.h"
#include "tests/zip/zip_test_support.h"
#include "tests/zip/zlib_codec.h"
#include "zip/zip_archive.h"

namespace arkivo::test {
namespace {

constexpr std::size_t kPiece = 1 << 19;  // what the writer cuts large files into

struct Outcome {
    std::string name;
    ZipResult result;
    std::error_code reason;
    std::thread::id thread;

    // Reasons compare by what they mean: the system's code and the portable one are equal.
    bool operator==(const Outcome& other) const {
        return name == other.name && result == other.result &&
               reason.default_error_condition() == other.reason.default_error_condition() &&
               thread == other.thread;
    }
};

std::ostream& operator<<(std::ostream& out, const Outcome& outcome) {
    return out << outcome.name << ": " << outcome.result << " (" << outcome.reason.message() << ")";
}

// An archive whose files are queued, each outcome recorded as it is told.
class QueuedArchive {
  public:
    explicit QueuedArchive(const std::filesystem::path& path, unsigned threads = 0)
        : handle_(CreateZipArchive(path, nullptr, threads)) {
        EXPECT_TRUE(handle_) << path;
    }

    void Queue(const std::string& name, const std::filesystem::path& source,
               const platform::CopyProgress& progress = {}) {
        QueueFileForZipArchive(
            handle_.get(), u"set", name, source, progress,
            [this, name](ZipResult result, std::error_code reason) {
                outcomes.push_back({name, result, reason, std::this_thread::get_id()});
            });
    }

    ZipResult Close() { return CloseZipArchive(std::move(handle_)); }

    std::vector<Outcome> outcomes;

  private:
    std::unique_ptr<ZipHandle> handle_;
};

Outcome Ok(const std::string& name) {
    return {name, ZipOk, {}, std::this_thread::get_id()};
}

Outcome Failed(const std::string& name, ZipResult result, std::error_code reason = {}) {
    return {name, result, reason, std::this_thread::get_id()};
}

// Files of every kind an archive meets, and the manifest of their entries under "set/". Their
// access times lie ahead, past their change times, so that reading them does not move them
// (under relatime) and every archive of them records the same times.
class SourceSet {
  public:
    explicit SourceSet(const std::filesystem::path& folder) : folder_(folder) {
        std::filesystem::create_directories(folder);
        for (std::uint32_t i = 0; i < 40; ++i) {
            const std::size_t size = (i * 7919u) % 90000u;
            Add("small" + std::to_string(i) + ".txt", OfShape(i, size, i));
        }
        Add("empty.txt", {});
        // Pieces of deflated and of stored data, the last one short.
        Add("large.bin", MixedShapes(6 * kPiece + 12345, 100));
        Add("large.zip", RandomBytes(2 * kPiece + 1, 101));
        Add("exact.txt", TextLike(2 * kPiece, 102));
    }

    void Add(const std::string& name, const Bytes& bytes) {
        const auto path = folder_ / name;
        WriteFile(path, bytes);
        const std::int64_t now = std::time(nullptr);
        const timespec times[2] = {{static_cast<time_t>(now + 3600), 0},
                                   {static_cast<time_t>(now - 3600), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
        names_.push_back(name);
    }

    void QueueAll(QueuedArchive& archive) const {
        for (const auto& name : names_) {
            archive.Queue(name, folder_ / name);
        }
    }

    // Without the checks of a test, for a child process: whether every file went in.
    bool AddAll(ZipHandle* handle) const {
        bool all = true;
        for (const auto& name : names_) {
            QueueFileForZipArchive(
                handle, u"set", name, folder_ / name, {},
                [&all](ZipResult result, std::error_code) { all = all && result == ZipOk; });
        }
        SettleZipArchive(handle);
        return all;
    }

    Manifest manifest() const {
        Manifest manifest;
        for (const auto& name : names_) {
            manifest.push_back({"set/" + name, folder_ / name});
        }
        return manifest;
    }

  private:
    std::filesystem::path folder_;
    std::vector<std::string> names_;
};

std::size_t ThreadsOfThisProcess() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& task :
         std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

TEST(ZipQueue, TheArchiveIsTheSameByteForByteWhateverTheNumberOfThreads) {
    TempFolder folder;
    const SourceSet sources(folder / "sources");
    std::vector<Bytes> archives;
    for (const unsigned threads : {1u, 2u, 3u}) {
        const auto path = folder / ("threads" + std::to_string(threads) + ".zip");
        const std::size_t before = ThreadsOfThisProcess();
        QueuedArchive archive(path, threads);
        EXPECT_EQ(ThreadsOfThisProcess(), before + threads) << "the archive's workers";
        sources.QueueAll(archive);
        ASSERT_EQ(archive.Close(), ZipOk);
        for (const auto& outcome : archive.outcomes) {
            EXPECT_EQ(outcome.result, ZipOk) << outcome;
        }
        archives.push_back(ReadFile(path));
    }
    EXPECT_TRUE(archives[0] == archives[1]) << "1 thread and 2 threads differ";
    EXPECT_TRUE(archives[0] == archives[2]) << "1 thread and 3 threads differ";
    ExpectEntriesBackToBack(folder / "threads3.zip");
    ExpectReadersAccept(folder / "threads3.zip", sources.manifest());
}

// Runs body in a child process and gives its exit code; a child that hangs is ended after a
// minute.
int ExitCodeOfChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(60);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr int kThreadsNotLimited = 12;

// Leaves this process (a child) no thread to start: as an unprivileged user when it is root,
// whom no limit binds, with a limit of one process for its user. Whether it worked.
bool NoMoreThreads() {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
         ::setresuid(65534, 65534, 65534) != 0)) {
        return false;
    }
    const rlimit one{1, 1};
    if (::setrlimit(RLIMIT_NPROC, &one) != 0) {
        return false;
    }
    try {
        std::thread([] {}).join();
        return false;
    } catch (const std::system_error&) {
        return true;
    }
}

TEST(ZipQueue, WithoutAThreadToSpareTheCallersThreadCompressesTheSameArchive) {
    TempFolder folder;
    const SourceSet sources(folder / "sources");
    QueuedArchive withWorkers(folder / "workers.zip", 2);
    sources.QueueAll(withWorkers);
    ASSERT_EQ(withWorkers.Close(), ZipOk);
    ASSERT_EQ(::chown(folder.path().c_str(), 65534, 65534), 0);
    const int exitCode = ExitCodeOfChild([&] {
        if (!NoMoreThreads()) {
            return kThreadsNotLimited;
        }
        auto handle = CreateZipArchive(folder / "alone.zip", nullptr, 2);
        if (!handle || !sources.AddAll(handle.get())) {
            return 1;
        }
        return CloseZipArchive(std::move(handle)) == ZipOk ? 0 : 2;
    });
    if (exitCode == kThreadsNotLimited) {
        GTEST_SKIP() << "the system would not limit this process's threads";
    }
    ASSERT_EQ(exitCode, 0);
    EXPECT_TRUE(ReadFile(folder / "alone.zip") == ReadFile(folder / "workers.zip"));
}

// The data of the archive's entry read by zlib alone, from the offsets its headers give.
Bytes InflateEntryWithZlib(const std::filesystem::path& archive, const std::string& name) {
    const Bytes bytes = ReadFile(archive);
    for (const auto& central : ReadCentralDirectory(archive)) {
        if (central.name == name) {
            const HeaderFields local = ReadLocalHeaderAt(bytes, central.localHeaderOffset);
            const auto data = std::span(bytes).subspan(local.end, central.compressedSize);
            const auto inflated = ZlibInflateRaw(data);
            EXPECT_TRUE(inflated) << name << ": zlib rejects its stream";
            if (!inflated) {
                return {};
            }
            EXPECT_EQ(inflated->consumed, data.size()) << name << ": bytes after the final block";
            return inflated->bytes;
        }
    }
    ADD_FAILURE() << name << " is not in the archive";
    return {};
}

TEST(ZipQueue, AFileOfManyPiecesIsOneDeflateStreamEveryReaderTakes) {
    TempFolder folder;
    const Bytes large = MixedShapes(9 * kPiece + 1000, 103);
    WriteFile(folder / "large.bin", large);
    const auto path = folder / "out.zip";
    QueuedArchive archive(path, 2);
    archive.Queue("large.bin", folder / "large.bin");
    ASSERT_EQ(archive.Close(), ZipOk);
    EXPECT_TRUE(InflateEntryWithZlib(path, "set/large.bin") == large);
    ExpectReadersAccept(path, {{"set/large.bin", folder / "large.bin"}});
    // The cuts cost little: one stream of the whole, as zlib makes it at level 8, is not much
    // smaller.
    const std::size_t oneStream = ZlibDeflateRaw(large, 8).size();
    EXPECT_LE(ReadCentralDirectory(path).at(0).compressedSize, oneStream + oneStream / 100);
}

TEST(ZipQueue, OutcomesAreToldOnTheCallersThreadInTheOrderTheFilesWereQueued) {
    TempFolder folder;
    WriteFile(folder / "a.txt", TextLike(70000, 104));
    WriteFile(folder / "large.bin", MixedShapes(5 * kPiece, 105));
    WriteFile(folder / "b.txt", TextLike(3000, 106));
    const auto path = folder / "out.zip";
    QueuedArchive archive(path, 2);
    archive.Queue("a.txt", folder / "a.txt");
    archive.Queue("large.bin", folder / "large.bin");
    archive.Queue("missing.txt", folder / "missing.txt");
    archive.Queue(std::string(300, 'n'), folder / "a.txt");
    // Files under /proc say they are empty and are not.
    archive.Queue("status", "/proc/self/status");
    archive.Queue("b.txt", folder / "b.txt");
    ASSERT_EQ(archive.Close(), ZipOk);
    const std::vector<Outcome> expected = {
        Ok("a.txt"),
        Ok("large.bin"),
        Failed("missing.txt", ZipNoFile,
               std::make_error_code(std::errc::no_such_file_or_directory)),
        Failed(std::string(300, 'n'), ZipBadArguments),
        Failed("status", ZipSourceChanged),
        Ok("b.txt")};
    EXPECT_EQ(archive.outcomes, expected);
    ExpectEntriesBackToBack(path);
    ExpectReadersAccept(path, {{"set/a.txt", folder / "a.txt"},
                               {"set/large.bin", folder / "large.bin"},
                               {"set/b.txt", folder / "b.txt"}});
}

void AppendTo(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Rewrites bytes in the middle without changing the size, under a new modification time.
void RewriteInPlace(const std::filesystem::path& path) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(kPiece * 3);
    file.write("changed", 7);
    file.close();
    const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 100, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// The change comes once the first piece of the file has gone to the workers, while the pieces
// of the file before it are still being compressed.
TEST(ZipQueue, AFileThatChangesWhileItsPiecesAreCompressedIsLeftOutAndItsNeighboursStay) {
    const std::vector<std::pair<std::string, std::function<void(const std::filesystem::path&)>>>
        changes = {
            {"grows", [](const auto& path) { AppendTo(path, Bytes(100, 'x')); }},
            {"shrinks", [](const auto& path) { std::filesystem::resize_file(path, kPiece * 2); }},
            {"is rewritten", RewriteInPlace},
        };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE("a file that " + what);
        TempFolder folder;
        WriteFile(folder / "before.bin", MixedShapes(4 * kPiece, 107));
        WriteFile(folder / "changing.bin", MixedShapes(6 * kPiece, 108));
        WriteFile(folder / "after.txt", TextLike(50000, 109));
        const auto path = folder / "out.zip";
        QueuedArchive archive(path, 2);
        archive.Queue("before.bin", folder / "before.bin");
        bool changed = false;
        std::thread::id heardOn;
        archive.Queue("changing.bin", folder / "changing.bin", [&](std::uint64_t) {
            heardOn = std::this_thread::get_id();
            if (!changed) {
                changed = true;
                change(folder / "changing.bin");
            }
        });
        archive.Queue("after.txt", folder / "after.txt");
        ASSERT_EQ(archive.Close(), ZipOk);
        ASSERT_TRUE(changed);
        EXPECT_EQ(heardOn, std::this_thread::get_id()) << "progress was told on another thread";
        const std::vector<Outcome> expected = {
            Ok("before.bin"), Failed("changing.bin", ZipSourceChanged), Ok("after.txt")};
        EXPECT_EQ(archive.outcomes, expected);
        ExpectEntriesBackToBack(path);
        ExpectReadersAccept(path, {{"set/before.bin", folder / "before.bin"},
                                   {"set/after.txt", folder / "after.txt"}});
    }
}

TEST(ZipQueue, AFullFileSystemFailsTheEntriesThatDoNotFitAndTheArchiveHoldsTheOthers) {
    TempFolder folder;
    const SmallFileSystem small(folder / "small");
    if (!small.mounted()) {
        GTEST_SKIP() << "no small file system could be mounted";
    }
    Manifest kept;
    std::vector<Outcome> expected;
    const auto path = folder / "small" / "out.zip";
    QueuedArchive archive(path, 2);
    auto queue = [&](const std::string& name, const Bytes& bytes, bool fits) {
        WriteFile(folder / name, bytes);
        archive.Queue(name, folder / name);
        expected.push_back(fits ? Ok(name)
                                : Failed(name, ZipWriteFailed,
                                         std::make_error_code(std::errc::no_space_on_device)));
        if (fits) {
            kept.push_back({"set/" + name, folder / name});
        }
    };
    for (std::uint32_t i = 0; i < 12; ++i) {
        queue("first" + std::to_string(i) + ".txt", TextLike(20000, 110 + i), true);
    }
    queue("noise.bin", RandomBytes(3 << 20, 130), false);
    for (std::uint32_t i = 0; i < 12; ++i) {
        queue("then" + std::to_string(i) + ".txt", TextLike(20000, 140 + i), true);
    }
    ASSERT_EQ(archive.Close(), ZipOk);
    EXPECT_EQ(archive.outcomes, expected);
    ExpectEntriesBackToBack(path);
    ExpectReadersAccept(path, kept);
}

// Runs body in a child process and gives how much its peak resident memory grew, in MiB.
std::int64_t PeakGrowthInChild(const std::function<bool()>& body) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "no pipe";
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const long start = usage.ru_maxrss;
        const bool succeeded = body();
        ::getrusage(RUSAGE_SELF, &usage);
        const std::int64_t growth = succeeded ? (usage.ru_maxrss - start) / 1024 : -1;
        const bool sent = ::write(pipeEnds[1], &growth, sizeof growth) == sizeof growth;
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::int64_t growth = -1;
    const bool received = ::read(pipeEnds[0], &growth, sizeof growth) == sizeof growth;
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(received && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return growth;
}

TEST(ZipQueue, MemoryDoesNotGrowWithTheSizeOfTheFiles) {
    TempFolder folder;
    // Sparse: the file takes no room on disk, and its zeros compress to almost nothing.
    constexpr std::uint64_t kSize = std::uint64_t{256} << 20;
    { std::ofstream(folder / "zeros.bin"); }
    std::filesystem::resize_file(folder / "zeros.bin", kSize);
    const std::int64_t growth = PeakGrowthInChild([&] {
        auto handle = CreateZipArchive(folder / "out.zip", nullptr, 2);
        return AddFileToZipArchive(handle.get(), u"zeros.bin", folder / "zeros.bin") == ZipOk &&
               CloseZipArchive(std::move(handle)) == ZipOk;
    });
    ASSERT_GE(growth, 0) << "the archive could not be written";
    EXPECT_LT(growth, 40) << "MiB more than before, for a file of " << (kSize >> 20) << " MiB";
    const auto directory = ReadCentralDirectory(folder / "out.zip");
    ASSERT_EQ(directory.size(), 1u);
    EXPECT_EQ(directory[0].uncompressedSize, kSize);
    const Bytes zeros(1 << 20, 0);
    uLong crc = crc32(0, nullptr, 0);
    for (std::uint64_t done = 0; done < kSize; done += zeros.size()) {
        crc = crc32(crc, zeros.data(), static_cast<uInt>(zeros.size()));
    }
    EXPECT_EQ(directory[0].crc32, crc);
}

}  // namespace
}  // namespace arkivo::test
