// Archives beyond the classic limits: sources of 2 and 4 GiB and more, an archive past 4 GiB,
// and more than 65535 entries. These take tens of seconds and gigabytes of disk.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>

#include "support/numbered_name.h"
#include "tests/zip/zip_inspect.h"
#include "tests/zip/zip_test_support.h"
#include "zip/zip_archive.h"

namespace arkivo::test {
namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

// A sparse file of zeros with a few marks written into it, so that any misplaced byte shows.
void MakeSparseSource(const std::filesystem::path& path, std::uint64_t size) {
    { std::ofstream create(path, std::ios::binary | std::ios::trunc); }
    std::filesystem::resize_file(path, size);
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    for (const std::uint64_t at : {std::uint64_t{0}, size / 3, size / 2 + 12345, size - 8}) {
        file.seekp(static_cast<std::streamoff>(at));
        file.write("MARK1234", 8);
    }
    ASSERT_TRUE(file.good());
}

HeaderFields LocalHeader(const std::filesystem::path& archive, std::uint64_t offset) {
    return ReadLocalHeaderAt(ReadFileRange(archive, offset, 4096), 0);
}

std::uint64_t PeakMemoryBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
}

// One archive holds every case, because each gigabyte costs the readers seconds.
TEST(Zip64, LargeSourcesAndAnArchivePastFourGibibytes) {
    TempFolder folder;
    const std::uint64_t twoSize = 2 * kGiB + 4096;
    const std::uint64_t fourSize = 4 * kGiB + 100;
    MakeSparseSource(folder / "two", twoSize);
    MakeSparseSource(folder / "four", fourSize);
    WriteFile(folder / "small.txt", TextLike(50000, 1));
    const auto archive = folder / "out.zip";
    const auto manifest = WriteArchive(archive, {{u"first.txt", folder / "small.txt"},
                                                 {u"two.bin", folder / "two"},
                                                 {u"four.bin", folder / "four"},
                                                 // Stored, so that the archive grows past 4 GiB.
                                                 {u"four.zip", folder / "four"},
                                                 {u"last.txt", folder / "small.txt"}});
    EXPECT_LT(PeakMemoryBytes(), 256u << 20) << "a source was held in memory";
    ASSERT_GT(std::filesystem::file_size(archive), 4 * kGiB);

    // The records of an archive too large to hold in memory.
    const EndOfArchive end = ReadEndOfArchive(archive);
    const std::vector<HeaderFields> central = ReadCentralDirectory(archive);
    ASSERT_TRUE(end.hasZip64);
    EXPECT_EQ(end.entriesTotal, 5u);
    EXPECT_EQ(end.directoryOffset, 0xFFFFFFFFu);
    EXPECT_EQ(end.directorySize, end.zip64DirectorySize);
    EXPECT_EQ(end.zip64Entries, 5u);
    ASSERT_EQ(central.size(), 5u);
    EXPECT_EQ(central[0].versionNeeded, 20u);
    EXPECT_EQ(central[0].extra.size(), 9u);

    // From 2 GiB on the sizes still fit the classic fields, which are unsigned.
    const HeaderFields& two = central[1];
    EXPECT_EQ(two.versionNeeded, 20u);
    EXPECT_EQ(two.versionMadeBy, 0x0317u);
    EXPECT_EQ(two.method, 8u);
    EXPECT_EQ(two.uncompressedSize, twoSize);
    EXPECT_EQ(two.extra.size(), 9u);
    const HeaderFields twoLocal = LocalHeader(archive, two.localHeaderOffset);
    EXPECT_EQ(twoLocal.uncompressedSize, twoSize);
    EXPECT_EQ(twoLocal.versionNeeded, 20u);
    EXPECT_EQ(twoLocal.extra.size(), 17u);

    // From 4 GiB on both sizes move to the ZIP64 field, in the local and the central header,
    // even where the compressed size alone would fit.
    for (const std::size_t i : {std::size_t{2}, std::size_t{3}}) {
        const HeaderFields& four = central[i];
        SCOPED_TRACE(four.name);
        EXPECT_EQ(four.method, i == 2 ? 8u : 0u);
        EXPECT_EQ(four.versionNeeded, 45u);
        EXPECT_EQ(four.versionMadeBy, 0x032Du);
        EXPECT_EQ(four.uncompressedSize, 0xFFFFFFFFu);
        EXPECT_EQ(four.compressedSize, 0xFFFFFFFFu);
        EXPECT_LT(four.localHeaderOffset, 0xFFFFFFFFu);
        const Bytes zip64 = FindExtraField(four.extra, 0x0001);
        ASSERT_EQ(zip64.size(), 16u);
        EXPECT_EQ(Le64(zip64, 0), fourSize);
        const HeaderFields local = LocalHeader(archive, four.localHeaderOffset);
        EXPECT_EQ(local.versionNeeded, 45u);
        EXPECT_EQ(local.uncompressedSize, 0xFFFFFFFFu);
        EXPECT_EQ(local.compressedSize, 0xFFFFFFFFu);
        EXPECT_EQ(local.extra.size(), 20u + 17u);
        EXPECT_EQ(FindExtraField(local.extra, 0x0001), zip64);
        // The data runs from the end of this local header to the next one.
        const std::uint64_t nextOffset =
            i == 2 ? central[3].localHeaderOffset : Le64(FindExtraField(central[4].extra, 1), 0);
        EXPECT_EQ(Le64(zip64, 8), nextOffset - (four.localHeaderOffset + 30 + 8 + 37));
    }

    // The last entry begins past 4 GiB: its offset alone needs ZIP64.
    const HeaderFields& last = central[4];
    EXPECT_EQ(last.versionNeeded, 45u);
    EXPECT_EQ(last.compressedSize, central[0].compressedSize);
    EXPECT_EQ(last.localHeaderOffset, 0xFFFFFFFFu);
    const Bytes lastZip64 = FindExtraField(last.extra, 0x0001);
    ASSERT_EQ(lastZip64.size(), 8u);
    const std::uint64_t lastOffset = Le64(lastZip64, 0);
    EXPECT_EQ(lastOffset, central[3].localHeaderOffset + 30 + 8 + 37 + fourSize);
    const HeaderFields lastLocal = LocalHeader(archive, lastOffset);
    EXPECT_EQ(lastLocal.signature, 0x04034B50u);
    EXPECT_EQ(lastLocal.name, "last.txt");
    EXPECT_EQ(lastLocal.versionNeeded, 45u);
    EXPECT_EQ(lastLocal.extra.size(), 17u);
    EXPECT_EQ(end.zip64DirectoryOffset, lastOffset + 30 + 8 + 17 + last.compressedSize);

    ExpectReadersAccept(archive, manifest, {.pythonTestzip = false});
}

TEST(Zip64, MoreThan65535EntriesAreCountedInTheZip64EndRecord) {
    TempFolder folder;
    constexpr std::uint32_t kEntries = 65537;
    constexpr int kSources = 8;
    for (int i = 0; i < kSources; ++i) {
        WriteFile(folder / NumberedName("s", i), TextLike(50 + 30 * i, i));
    }
    std::vector<Added> files;
    for (std::uint32_t i = 0; i < kEntries; ++i) {
        const std::string name = NumberedName("d", i / 1000).append(NumberedName("/f", i));
        files.push_back(
            {std::u16string(name.begin(), name.end()), folder / NumberedName("s", i % kSources)});
    }
    const auto archive = folder / "out.zip";
    const auto manifest = WriteArchive(archive, files);
    // The records of an archive too large to hold in memory.
    const EndOfArchive end = ReadEndOfArchive(archive);
    const std::vector<HeaderFields> central = ReadCentralDirectory(archive);
    ASSERT_TRUE(end.hasZip64);
    EXPECT_EQ(end.entriesOnDisk, 0xFFFFu);
    EXPECT_EQ(end.entriesTotal, 0xFFFFu);
    EXPECT_EQ(end.zip64Entries, kEntries);
    // Sizes and offsets still fit their classic fields.
    EXPECT_EQ(end.directoryOffset, end.zip64DirectoryOffset);
    EXPECT_EQ(central.back().versionNeeded, 20u);
    EXPECT_EQ(central.back().extra.size(), 9u);
    ExpectReadersAccept(archive, manifest);
}

}  // namespace
}  // namespace arkivo::test
