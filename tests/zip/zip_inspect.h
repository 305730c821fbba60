// A small reader of archive records for the tests, written from the format description and
// independent of the writer's and the checker's own code.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/zip/test_data.h"

namespace arkivo::test {

std::uint32_t Le16(const Bytes& bytes, std::uint64_t offset);
std::uint32_t Le32(const Bytes& bytes, std::uint64_t offset);
std::uint64_t Le64(const Bytes& bytes, std::uint64_t offset);

struct HeaderFields {
    std::uint32_t signature = 0;
    std::uint32_t versionMadeBy = 0;  // central headers only
    std::uint32_t versionNeeded = 0;
    std::uint32_t flags = 0;
    std::uint32_t method = 0;
    std::uint32_t dosTime = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t compressedSize = 0;  // the 32-bit fields as written
    std::uint32_t uncompressedSize = 0;
    std::uint32_t externalAttributes = 0;  // central headers only
    std::uint32_t localHeaderOffset = 0;   // central headers only
    std::string name;
    Bytes extra;
    std::uint64_t end = 0;  // offset just past the header
};

// Reads the header at offset, a local one (signature PK 3 4) or a central one (PK 1 2).
HeaderFields ReadLocalHeaderAt(const Bytes& archive, std::uint64_t offset);
HeaderFields ReadCentralHeaderAt(const Bytes& archive, std::uint64_t offset);

// The fields of one extra field block with the given id, empty when there is none.
Bytes FindExtraField(const Bytes& extra, std::uint32_t id);

struct EndOfArchive {
    std::uint64_t endRecordOffset = 0;
    std::uint32_t entriesOnDisk = 0;  // as in the classic end record
    std::uint32_t entriesTotal = 0;
    std::uint32_t directorySize = 0;
    std::uint32_t directoryOffset = 0;
    bool hasZip64 = false;
    std::uint64_t zip64RecordOffset = 0;
    std::uint64_t zip64Entries = 0;
    std::uint64_t zip64DirectorySize = 0;
    std::uint64_t zip64DirectoryOffset = 0;
};

// The end records of an archive without a comment, read from its last bytes.
EndOfArchive ReadEndOfArchive(const std::filesystem::path& archive);

// The central headers in the directory the end records point to, ZIP64 ones where present;
// the archive is never read whole.
std::vector<HeaderFields> ReadCentralDirectory(const std::filesystem::path& archive);
// The central headers of an archive of a few entries at most, each with its local header.
struct EntryHeaders {
    HeaderFields central;
    HeaderFields local;
};
std::vector<EntryHeaders> ReadEntryHeaders(const std::filesystem::path& archive);

// Every entry's local header begins where the data of the one before ends, and the central
// directory where the last entry's data ends: nothing lies between them.
void ExpectEntriesBackToBack(const std::filesystem::path& archive);

// The bytes of a file from offset on, at most size of them.
Bytes ReadFileRange(const std::filesystem::path& path, std::uint64_t offset, std::uint64_t size);

}  // namespace arkivo::test
