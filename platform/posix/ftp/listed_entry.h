// One line of a directory listing as the line parsers read it: the name still in the server's
// bytes, the time already in FileTime.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ftp_client.h"

namespace arkivo::platform::ftp {

struct ListedEntry {
    std::string name;  // the bytes the server sent
    FtpEntryKind kind = FtpEntryKind::File;
    std::uint64_t size = 0;
    FileTime lastWriteTime = 0;
    FtpTimePrecision timePrecision = FtpTimePrecision::None;
};

enum class LineReading {
    Entry,
    NotAnEntry,  // a line with nothing to list: "total 8", the listed folder itself
    Unreadable,
};

}  // namespace arkivo::platform::ftp
