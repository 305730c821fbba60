// The ZIP64 records appear exactly at the limits of the classic fields.
#include "zip/zip_records.h"

#include <gtest/gtest.h>

#include "tests/zip/zip_inspect.h"

namespace arkivo::zip {
namespace {

using test::Bytes;
using test::FindExtraField;
using test::Le16;
using test::Le32;
using test::Le64;

ZipEntryInfo Entry(std::uint64_t offset, bool zip64Sizes) {
    ZipEntryInfo entry;
    entry.name = "n";
    entry.localHeaderOffset = offset;
    entry.zip64Sizes = zip64Sizes;
    entry.compressedSize = 0x123456789;
    entry.uncompressedSize = 0x223456789;
    if (!zip64Sizes) {
        entry.compressedSize = 1000;
        entry.uncompressedSize = 2000;
    }
    return entry;
}

TEST(ZipRecords, EndRecordsTurnToZip64AtTheFirstValueThatIsAMarker) {
    const struct {
        std::uint64_t count, size, offset;
        bool zip64;
    } cases[] = {{0xFFFE, 100, 200, false},
                 {0xFFFF, 100, 200, true},
                 {5, 0xFFFFFFFE, 200, false},
                 {5, 0xFFFFFFFF, 200, true},
                 {5, 100, 0xFFFFFFFE, false},
                 {5, 100, 0xFFFFFFFF, true},
                 {70000, 0x100000000, 0x200000000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " " + std::to_string(c.size) + " " +
                     std::to_string(c.offset));
        Bytes out;
        AppendEndRecords(out, c.count, c.size, c.offset, kHostUnix);
        ASSERT_EQ(out.size(), c.zip64 ? 56u + 20u + 22u : 22u);
        const std::size_t end = out.size() - 22;
        EXPECT_EQ(Le32(out, end), 0x06054B50u);
        EXPECT_EQ(Le16(out, end + 8), std::min<std::uint64_t>(c.count, 0xFFFF));
        EXPECT_EQ(Le16(out, end + 10), std::min<std::uint64_t>(c.count, 0xFFFF));
        EXPECT_EQ(Le32(out, end + 12), std::min<std::uint64_t>(c.size, 0xFFFFFFFF));
        EXPECT_EQ(Le32(out, end + 16), std::min<std::uint64_t>(c.offset, 0xFFFFFFFF));
        if (c.zip64) {
            EXPECT_EQ(Le32(out, 0), 0x06064B50u);
            EXPECT_EQ(Le64(out, 4), 44u);
            EXPECT_EQ(Le16(out, 12), 0x032Du);
            EXPECT_EQ(Le16(out, 14), 45u);
            EXPECT_EQ(Le64(out, 24), c.count);
            EXPECT_EQ(Le64(out, 32), c.count);
            EXPECT_EQ(Le64(out, 40), c.size);
            EXPECT_EQ(Le64(out, 48), c.offset);
            EXPECT_EQ(Le32(out, 56), 0x07064B50u);
            EXPECT_EQ(Le32(out, 60), 0u);
            EXPECT_EQ(Le64(out, 64), c.offset + c.size);
            EXPECT_EQ(Le32(out, 72), 1u);
        }
    }
}

TEST(ZipRecords, CentralHeadersCarryOnlyTheZip64FieldsTheyMark) {
    const struct {
        std::uint64_t offset;
        bool zip64Sizes;
        std::uint32_t zip64DataSize;
    } cases[] = {
        {0xFFFFFFFE, false, 0}, {0xFFFFFFFF, false, 8}, {10, true, 16}, {0x100000000, true, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.offset));
        const ZipEntryInfo entry = Entry(c.offset, c.zip64Sizes);
        Bytes out;
        AppendCentralHeader(out, entry);
        const auto header = test::ReadCentralHeaderAt(out, 0);
        const Bytes zip64 = FindExtraField(header.extra, 0x0001);
        EXPECT_EQ(zip64.size(), c.zip64DataSize);
        EXPECT_EQ(header.extra.size(), 9u + (c.zip64DataSize ? 4 + c.zip64DataSize : 0));
        EXPECT_EQ(header.localHeaderOffset, c.offset >= 0xFFFFFFFF ? 0xFFFFFFFFu : c.offset);
        EXPECT_EQ(header.compressedSize, c.zip64Sizes ? 0xFFFFFFFFu : 1000u);
        EXPECT_EQ(header.uncompressedSize, c.zip64Sizes ? 0xFFFFFFFFu : 2000u);
        std::size_t at = 0;
        if (c.zip64Sizes) {
            EXPECT_EQ(Le64(zip64, 0), entry.uncompressedSize);
            EXPECT_EQ(Le64(zip64, 8), entry.compressedSize);
            at = 16;
        }
        if (c.offset >= 0xFFFFFFFF) {
            EXPECT_EQ(Le64(zip64, at), c.offset);
        }
        EXPECT_EQ(FindExtraField(header.extra, 0x5455).size(), 5u);
    }
}

TEST(ZipRecords, LocalHeadersHoldBothSizesInZip64OrNeither) {
    Bytes classic;
    AppendLocalHeader(classic, Entry(0x100000000, false));
    const auto plain = test::ReadLocalHeaderAt(classic, 0);
    EXPECT_EQ(plain.extra.size(), 17u);
    EXPECT_EQ(plain.compressedSize, 1000u);

    const ZipEntryInfo large = Entry(0, true);
    Bytes out;
    AppendLocalHeader(out, large);
    const auto header = test::ReadLocalHeaderAt(out, 0);
    EXPECT_EQ(header.compressedSize, 0xFFFFFFFFu);
    EXPECT_EQ(header.uncompressedSize, 0xFFFFFFFFu);
    const Bytes zip64 = FindExtraField(header.extra, 0x0001);
    ASSERT_EQ(zip64.size(), 16u);
    EXPECT_EQ(Le64(zip64, 0), large.uncompressedSize);
    EXPECT_EQ(Le64(zip64, 8), large.compressedSize);
    EXPECT_EQ(header.extra.size(), 20u + 17u);
}

}  // namespace
}  // namespace arkivo::zip
