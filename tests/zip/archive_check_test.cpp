// The archive check against archives made by hand to be hostile: checking one must cost no more
// than its headers declare, whatever its few bytes would expand to.
#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/zip/zip_test_support.h"
#include "tests/zip/zlib_codec.h"
#include "zip/verify.h"

namespace arkivo::test {
namespace {

constexpr std::uint64_t kMiB = 1 << 20;

struct Record {
    std::string name;
    std::uint16_t method = 8;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t localHeaderOffset = 0;
};

void Put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The local header of r followed by data, as the format lays them out.
Bytes LocalRecord(const Record& r, const Bytes& data) {
    Bytes out;
    Put32(out, 0x04034B50);
    Put16(out, 20);
    Put16(out, 0);  // flags
    Put16(out, r.method);
    Put32(out, 0);  // DOS time
    Put32(out, r.crc);
    Put32(out, r.compressedSize);
    Put32(out, r.uncompressedSize);
    Put16(out, static_cast<std::uint32_t>(r.name.size()));
    Put16(out, 0);  // extra length
    out.insert(out.end(), r.name.begin(), r.name.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// archive: the local records; the central directory of entries and the end record follow.
void AppendDirectory(Bytes& archive, const std::vector<Record>& entries) {
    const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
    for (const Record& r : entries) {
        Put32(archive, 0x02014B50);
        Put16(archive, 0x0317);
        Put16(archive, 20);
        Put16(archive, 0);
        Put16(archive, r.method);
        Put32(archive, 0);
        Put32(archive, r.crc);
        Put32(archive, r.compressedSize);
        Put32(archive, r.uncompressedSize);
        Put16(archive, static_cast<std::uint32_t>(r.name.size()));
        Put16(archive, 0);  // extra length
        Put16(archive, 0);  // comment length
        Put16(archive, 0);  // disk
        Put16(archive, 0);  // internal attributes
        Put32(archive, 0x81A40000);
        Put32(archive, r.localHeaderOffset);
        archive.insert(archive.end(), r.name.begin(), r.name.end());
    }
    const auto directorySize = static_cast<std::uint32_t>(archive.size() - directoryOffset);
    Put32(archive, 0x06054B50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put32(archive, directorySize);
    Put32(archive, directoryOffset);
    Put16(archive, 0);
}

std::uint32_t Crc(const Bytes& bytes) {
    return static_cast<std::uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

// A deflated entry whose headers tell the truth about data that expands a thousandfold.
Record Expanding(const std::string& name, std::uint64_t expandedSize, Bytes& data) {
    const Bytes zeros(expandedSize, 0);
    data = ZlibDeflateRaw(zeros, 9);
    return {name,
            8,
            Crc(zeros),
            static_cast<std::uint32_t>(data.size()),
            static_cast<std::uint32_t>(expandedSize),
            0};
}

TEST(ArchiveCheck, ThousandsOfEntriesSharingOneExpandingStreamAreRefusedUndecoded) {
    TempFolder folder;
    constexpr std::uint64_t kExpanded = 10 * kMiB;
    Bytes data;
    const Record bomb = Expanding("bomb.txt", kExpanded, data);
    Bytes archive = LocalRecord(bomb, data);
    AppendDirectory(archive, std::vector<Record>(3000, bomb));
    WriteFile(folder / "bomb.zip", archive);

    const zip::ArchiveVerdict verdict = zip::VerifyZipArchive(folder / "bomb.zip");
    EXPECT_EQ(verdict.status, zip::ArchiveCheck::OverlappingEntries);
    ASSERT_EQ(verdict.entries.size(), 3000u);
    for (const auto& entry : verdict.entries) {
        ASSERT_EQ(entry.check, zip::EntryCheck::Overlapping);
    }
    EXPECT_LE(verdict.decodedBytes, kExpanded) << "entries sharing their data were decoded";
}

TEST(ArchiveCheck, AnEntryInsideAnotherIsRefusedAndTheEntriesApartAreStillChecked) {
    TempFolder folder;
    const Bytes text = TextLike(5000, 1);
    // The outer entry stores a whole local record, which a second directory entry points at.
    const Record inner{"inner.txt", 0, Crc(text), 5000, 5000, 0};
    const Bytes innerRecord = LocalRecord(inner, text);
    const Record outer{"outer.bin",
                       0,
                       Crc(innerRecord),
                       static_cast<std::uint32_t>(innerRecord.size()),
                       static_cast<std::uint32_t>(innerRecord.size()),
                       0};
    Bytes archive = LocalRecord(outer, innerRecord);
    const auto innerOffset = static_cast<std::uint32_t>(archive.size() - innerRecord.size());
    const auto apartOffset = static_cast<std::uint32_t>(archive.size());
    const Record apart{"apart.txt", 0, Crc(text), 5000, 5000, apartOffset};
    const Bytes apartRecord = LocalRecord(apart, text);
    archive.insert(archive.end(), apartRecord.begin(), apartRecord.end());
    Record innerEntry = inner;
    innerEntry.localHeaderOffset = innerOffset;
    AppendDirectory(archive, {outer, innerEntry, apart});
    WriteFile(folder / "nested.zip", archive);

    const zip::ArchiveVerdict verdict = zip::VerifyZipArchive(folder / "nested.zip");
    EXPECT_EQ(verdict.status, zip::ArchiveCheck::OverlappingEntries);
    ASSERT_EQ(verdict.entries.size(), 3u);
    EXPECT_EQ(verdict.entries[0].check, zip::EntryCheck::Overlapping);
    EXPECT_EQ(verdict.entries[1].check, zip::EntryCheck::Overlapping);
    EXPECT_EQ(verdict.entries[2].check, zip::EntryCheck::Ok);
    EXPECT_EQ(verdict.decodedBytes, text.size());
}

TEST(ArchiveCheck, DecodingStopsSoonAfterAnEntryPassesItsDeclaredSize) {
    TempFolder folder;
    Bytes data;
    Record liar = Expanding("small.txt", 16 * kMiB, data);
    constexpr std::uint32_t kDeclared = 1000;
    liar.uncompressedSize = kDeclared;
    Bytes archive = LocalRecord(liar, data);
    AppendDirectory(archive, {liar});
    WriteFile(folder / "liar.zip", archive);

    const zip::ArchiveVerdict verdict = zip::VerifyZipArchive(folder / "liar.zip");
    EXPECT_EQ(verdict.status, zip::ArchiveCheck::EntriesFailed);
    ASSERT_EQ(verdict.entries.size(), 1u);
    EXPECT_EQ(verdict.entries[0].check, zip::EntryCheck::SizeMismatch);
    // One match or stored piece may pass the declared size before decoding stops.
    EXPECT_LE(verdict.decodedBytes, kDeclared + 32 * 1024);
}

}  // namespace
}  // namespace arkivo::test
