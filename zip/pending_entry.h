// An entry between the moment its source is taken up and the moment it is in the archive or
// left out: its facts, its pieces not written yet, and where it stands.
#pragma once

#include <cstdint>
#include <deque>
#include <system_error>
#include <utility>

#include "zip/data_piece.h"
#include "zip/zip_archive.h"
#include "zip/zip_entry_info.h"

namespace arkivo::zip {

struct PendingEntry {
    explicit PendingEntry(ZipEntryDone whenDone) : done(std::move(whenDone)) {}

    // Keeps the first failure: what came after it is only its consequence.
    void Fail(ZipResult why, std::error_code reason) {
        if (result == ZipOk) {
            result = why;
            systemReason = reason;
        }
    }

    ZipEntryInfo info;
    std::uint8_t host = 0;          // the host whose attributes the entry carries
    std::deque<DataPiece*> pieces;  // read, and not written yet, in their order
    bool read = false;              // no more pieces will come
    bool headerWritten = false;
    std::uint64_t dataStart = 0;
    std::uint32_t crc = 0;           // of the pieces written so far
    std::uint64_t writtenBytes = 0;  // source bytes of those pieces
    ZipResult result = ZipOk;
    std::error_code systemReason;
    ZipEntryDone done;  // how it ended: told once, in the order of the entries
};

}  // namespace arkivo::zip
