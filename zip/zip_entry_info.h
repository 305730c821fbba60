// The facts of one archive entry, kept from its local header until the central directory.
#pragma once

#include <cstdint>
#include <string>

#include "zip/zip_format.h"

namespace arkivo::zip {

struct ZipEntryInfo {
    std::uint16_t versionMadeBy = VersionMadeBy(kHostNtfs, false);
    std::uint16_t versionNeeded = kVersionNeeded;
    std::uint16_t flags = 0;
    std::uint16_t method = kMethodDeflated;
    std::uint32_t dosTime = 0;  // time in the low 16 bits, date in the high 16 bits
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint32_t externalAttributes = 0;
    std::uint64_t localHeaderOffset = 0;
    // Low 32 bits of seconds since 1970, for the extended timestamp field.
    std::uint32_t modificationTime = 0;
    std::uint32_t accessTime = 0;
    std::uint32_t creationTime = 0;
    // Both sizes live in ZIP64 fields: the local header had to be laid out before the sizes
    // were known, for a source that might reach 4 GiB.
    bool zip64Sizes = false;
    std::string name;  // as stored: the ANSI code page (UTF-8 on POSIX), "/" as separator

    bool zip64Offset() const { return localHeaderOffset >= kMax32; }
    bool usesZip64() const { return zip64Sizes || zip64Offset(); }
};

}  // namespace arkivo::zip
