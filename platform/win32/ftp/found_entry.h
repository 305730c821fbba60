// An entry of a WinINet listing as the core sees it. WinINet reads the server's LIST lines
// itself and hands over only what fits a WIN32_FIND_DATAW, so how precise a time is has to be
// told from the time.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/ftp_client.h"

namespace arkivo::platform::win32 {

// `nowUnixSeconds` tells the day-precise times from the rest, see the definition.
FtpEntry EntryOf(const WIN32_FIND_DATAW& found, std::int64_t nowUnixSeconds);

}  // namespace arkivo::platform::win32
