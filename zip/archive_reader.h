// Reads the structure of an archive back: the end records (ZIP64 included), the central
// directory and the local headers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace arkivo::zip {

struct DirectoryEntry {
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t dosTime = 0;
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t localHeaderOffset = 0;
    std::uint32_t externalAttributes = 0;
    std::string name;
};

struct LocalHeader {
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::string name;
    std::uint64_t dataOffset = 0;  // where the entry's data begins
};

enum class DirectoryStatus {
    Ok,
    CannotOpen,
    NoEndRecord,   // no end of central directory record where one must be
    BadDirectory,  // the records contradict each other or the file
};

class ArchiveReader {
  public:
    DirectoryStatus Open(const std::filesystem::path& path);

    const std::vector<DirectoryEntry>& entries() const { return entries_; }
    std::uint64_t directoryOffset() const { return directoryOffset_; }

    std::optional<LocalHeader> ReadLocalHeader(const DirectoryEntry& entry);

    // Reads exactly bytes.size() bytes at offset.
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes);

  private:
    DirectoryStatus ReadEndRecords();
    DirectoryStatus ReadDirectory(std::uint64_t count, std::uint64_t size);

    std::ifstream file_;
    std::uint64_t fileSize_ = 0;
    std::uint64_t directoryOffset_ = 0;
    std::vector<DirectoryEntry> entries_;
};

}  // namespace arkivo::zip
