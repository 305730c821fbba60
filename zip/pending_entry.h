// An entry between the moment its source is taken up and the moment it is in the archive or
// left out: its facts, its pieces not written yet, and where it stands.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <system_error>

#include "zip/data_piece.h"
#include "zip/zip_archive.h"
#include "zip/zip_entry_info.h"

namespace arkivo::zip {

// How an entry ended: ZipOk once it is in the archive, else why it was left out, and the
// system's reason when the system gave one.
using EntryDone = std::function<void(ZipResult result, std::error_code reason)>;

struct PendingEntry {
    explicit PendingEntry(EntryDone whenDone) : done(std::move(whenDone)) {}

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
    EntryDone done;
};

}  // namespace arkivo::zip
