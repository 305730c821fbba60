// Checks an archive written by this program: reads its central directory and local headers
// and decodes every entry, comparing sizes and CRC-32 with what the headers say. This is what
// `arkivo verify ARCHIVE` reports.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace arkivo::zip {

enum class EntryCheck {
    Ok,
    BadLocalHeader,     // missing, or not the header of this entry
    HeaderMismatch,     // the local header says other than the central directory
    UnsupportedMethod,  // neither stored nor deflated
    BadData,            // the deflate stream is invalid or does not end where the entry does
    SizeMismatch,       // the data decodes to another length than recorded
    CrcMismatch,
    ReadFailed,
};

struct EntryVerdict {
    std::string name;  // as stored in the archive
    std::uint16_t method = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    EntryCheck check = EntryCheck::Ok;
};

enum class ArchiveCheck {
    Ok,
    CannotOpen,
    NoEndRecord,
    BadDirectory,
    EntriesFailed,  // the directory is sound but some entry is not
};

struct ArchiveVerdict {
    ArchiveCheck status = ArchiveCheck::Ok;
    std::vector<EntryVerdict> entries;
};

ArchiveVerdict VerifyZipArchive(const std::filesystem::path& archive);

}  // namespace arkivo::zip
