#include "tests/zip/zip_inspect.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/zip/zip_test_support.h"

namespace arkivo::test {

std::uint32_t Le16(const Bytes& bytes, std::uint64_t offset) {
    return bytes.at(offset) | (std::uint32_t{bytes.at(offset + 1)} << 8);
}

std::uint32_t Le32(const Bytes& bytes, std::uint64_t offset) {
    return Le16(bytes, offset) | (Le16(bytes, offset + 2) << 16);
}

std::uint64_t Le64(const Bytes& bytes, std::uint64_t offset) {
    return Le32(bytes, offset) | (std::uint64_t{Le32(bytes, offset + 4)} << 32);
}

namespace {

std::string Text(const Bytes& bytes, std::uint64_t offset, std::uint64_t size) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                       bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

Bytes Slice(const Bytes& bytes, std::uint64_t offset, std::uint64_t size) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

}  // namespace

// Local header: signature 0, version needed 4, flags 6, method 8, DOS time 10, CRC 14,
// compressed size 18, uncompressed size 22, name length 26, extra length 28, name 30.
HeaderFields ReadLocalHeaderAt(const Bytes& archive, std::uint64_t offset) {
    HeaderFields h;
    h.signature = Le32(archive, offset);
    h.versionNeeded = Le16(archive, offset + 4);
    h.flags = Le16(archive, offset + 6);
    h.method = Le16(archive, offset + 8);
    h.dosTime = Le32(archive, offset + 10);
    h.crc32 = Le32(archive, offset + 14);
    h.compressedSize = Le32(archive, offset + 18);
    h.uncompressedSize = Le32(archive, offset + 22);
    const std::uint32_t nameLength = Le16(archive, offset + 26);
    const std::uint32_t extraLength = Le16(archive, offset + 28);
    h.name = Text(archive, offset + 30, nameLength);
    h.extra = Slice(archive, offset + 30 + nameLength, extraLength);
    h.end = offset + 30 + nameLength + extraLength;
    return h;
}

// Central header: signature 0, made by 4, needed 6, flags 8, method 10, DOS time 12, CRC 16,
// compressed 20, uncompressed 24, name length 28, extra length 30, comment length 32, disk 34,
// internal attributes 36, external attributes 38, local header offset 42, name 46.
HeaderFields ReadCentralHeaderAt(const Bytes& archive, std::uint64_t offset) {
    HeaderFields h;
    h.signature = Le32(archive, offset);
    h.versionMadeBy = Le16(archive, offset + 4);
    h.versionNeeded = Le16(archive, offset + 6);
    h.flags = Le16(archive, offset + 8);
    h.method = Le16(archive, offset + 10);
    h.dosTime = Le32(archive, offset + 12);
    h.crc32 = Le32(archive, offset + 16);
    h.compressedSize = Le32(archive, offset + 20);
    h.uncompressedSize = Le32(archive, offset + 24);
    const std::uint32_t nameLength = Le16(archive, offset + 28);
    const std::uint32_t extraLength = Le16(archive, offset + 30);
    const std::uint32_t commentLength = Le16(archive, offset + 32);
    h.externalAttributes = Le32(archive, offset + 38);
    h.localHeaderOffset = Le32(archive, offset + 42);
    h.name = Text(archive, offset + 46, nameLength);
    h.extra = Slice(archive, offset + 46 + nameLength, extraLength);
    h.end = offset + 46 + nameLength + extraLength + commentLength;
    return h;
}

Bytes FindExtraField(const Bytes& extra, std::uint32_t id) {
    for (std::uint64_t at = 0; at + 4 <= extra.size();) {
        const std::uint32_t size = Le16(extra, at + 2);
        if (Le16(extra, at) == id) {
            return Slice(extra, at + 4, size);
        }
        at += 4 + size;
    }
    return {};
}

Bytes ReadFileRange(const std::filesystem::path& path, std::uint64_t offset, std::uint64_t size) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    Bytes bytes(size);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// End record (22 bytes): signature 0, disk 4, directory disk 6, entries on disk 8, entries 10,
// directory size 12, directory offset 16, comment length 20. ZIP64 locator (20 bytes, just
// before it): signature 0, disk 4, offset of the ZIP64 end record 8, disks 16. ZIP64 end
// record: signature 0, record size 4, made by 12, needed 14, disk 16, directory disk 20,
// entries on disk 24, entries 32, directory size 40, directory offset 48.
EndOfArchive ReadEndOfArchive(const std::filesystem::path& archive) {
    const std::uint64_t size = std::filesystem::file_size(archive);
    const std::uint64_t tailSize = std::min<std::uint64_t>(size, 22 + 20);
    const Bytes tail = ReadFileRange(archive, size - tailSize, tailSize);
    const std::uint64_t end = tailSize - 22;
    EndOfArchive result;
    result.endRecordOffset = size - 22;
    EXPECT_EQ(Le32(tail, end), 0x06054B50u) << "end record signature";
    EXPECT_EQ(Le16(tail, end + 20), 0u) << "comment length";
    result.entriesOnDisk = Le16(tail, end + 8);
    result.entriesTotal = Le16(tail, end + 10);
    result.directorySize = Le32(tail, end + 12);
    result.directoryOffset = Le32(tail, end + 16);
    if (end >= 20 && Le32(tail, end - 20) == 0x07064B50u) {
        result.hasZip64 = true;
        EXPECT_EQ(Le32(tail, end - 16), 0u) << "locator disk";
        EXPECT_EQ(Le32(tail, end - 4), 1u) << "locator disk count";
        result.zip64RecordOffset = Le64(tail, end - 12);
        const Bytes record = ReadFileRange(archive, result.zip64RecordOffset, 56);
        EXPECT_EQ(Le32(record, 0), 0x06064B50u) << "ZIP64 end record signature";
        EXPECT_EQ(Le64(record, 4), 44u) << "ZIP64 end record size";
        EXPECT_EQ(Le16(record, 12), 0x032Du) << "ZIP64 end record version made by";
        EXPECT_EQ(Le16(record, 14), 45u) << "ZIP64 end record version needed";
        EXPECT_EQ(Le64(record, 24), Le64(record, 32)) << "entries on disk and in total";
        result.zip64Entries = Le64(record, 32);
        result.zip64DirectorySize = Le64(record, 40);
        result.zip64DirectoryOffset = Le64(record, 48);
        EXPECT_EQ(result.zip64RecordOffset, result.zip64DirectoryOffset + result.zip64DirectorySize)
            << "the ZIP64 end record follows the directory";
        EXPECT_EQ(result.zip64RecordOffset + 56 + 20, result.endRecordOffset)
            << "the locator follows the ZIP64 end record";
    }
    return result;
}

std::vector<HeaderFields> ReadCentralDirectory(const std::filesystem::path& archive) {
    const EndOfArchive end = ReadEndOfArchive(archive);
    const std::uint64_t offset = end.hasZip64 ? end.zip64DirectoryOffset : end.directoryOffset;
    const std::uint64_t size = end.hasZip64 ? end.zip64DirectorySize : end.directorySize;
    const std::uint64_t count = end.hasZip64 ? end.zip64Entries : end.entriesTotal;
    const Bytes directory = ReadFileRange(archive, offset, size);
    std::vector<HeaderFields> headers;
    std::uint64_t at = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        headers.push_back(ReadCentralHeaderAt(directory, at));
        at = headers.back().end;
    }
    EXPECT_EQ(at, size) << "directory size";
    return headers;
}

std::vector<EntryHeaders> ReadEntryHeaders(const std::filesystem::path& archive) {
    const Bytes bytes = ReadFile(archive);
    std::vector<EntryHeaders> entries;
    for (const HeaderFields& central : ReadCentralDirectory(archive)) {
        entries.push_back({central, ReadLocalHeaderAt(bytes, central.localHeaderOffset)});
    }
    return entries;
}

void ExpectEntriesBackToBack(const std::filesystem::path& archive) {
    std::uint64_t expectedOffset = 0;
    for (const auto& [central, local] : ReadEntryHeaders(archive)) {
        EXPECT_EQ(central.localHeaderOffset, expectedOffset) << central.name;
        expectedOffset = local.end + central.compressedSize;
    }
    EXPECT_EQ(ReadEndOfArchive(archive).directoryOffset, expectedOffset) << "the directory";
}

}  // namespace arkivo::test
