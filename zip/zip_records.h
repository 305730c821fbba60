// The byte layout of the records of an archive: local headers, central directory headers and
// the end records, with their extended timestamp and ZIP64 extra fields.
#pragma once

#include <cstdint>
#include <vector>

#include "zip/zip_entry_info.h"

namespace arkivo::zip {

// Appends the local header of the entry with its name and extra fields.
void AppendLocalHeader(std::vector<std::uint8_t>& out, const ZipEntryInfo& entry);

void AppendCentralHeader(std::vector<std::uint8_t>& out, const ZipEntryInfo& entry);

// The end of central directory record, preceded by the ZIP64 end record and its locator when
// a count, size or offset does not fit the classic record. directoryOffset + directorySize
// is where these records begin. host goes into the ZIP64 end record's "version made by".
void AppendEndRecords(std::vector<std::uint8_t>& out, std::uint64_t entryCount,
                      std::uint64_t directorySize, std::uint64_t directoryOffset,
                      std::uint8_t host);

}  // namespace arkivo::zip
