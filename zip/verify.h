// Checks an archive written by this program: reads its central directory and local headers
// and decodes every entry, comparing sizes and CRC-32 with what the headers say. This is what
// `arkivo verify ARCHIVE` reports.
//
// A hostile archive costs no more to check than its headers declare: entries that share their
// bytes are refused without being decoded, and no entry is decoded much past the size it
// declares, nor read past the compressed size it declares.
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
    Overlapping,        // its bytes are also another entry's: not decoded
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
    OverlappingEntries,  // some entries share their bytes, as no archive writer does
    EntriesFailed,       // the directory is sound but some entry is not
};

struct ArchiveVerdict {
    ArchiveCheck status = ArchiveCheck::Ok;
    std::vector<EntryVerdict> entries;
    // The bytes the entries' data decoded to, all entries together: what the check cost.
    std::uint64_t decodedBytes = 0;
};

ArchiveVerdict VerifyZipArchive(const std::filesystem::path& archive);

}  // namespace arkivo::zip
