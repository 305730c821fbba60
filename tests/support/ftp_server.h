// A real FTP server for one test (tests/support/ftp_server.py), the same class on Linux and
// for the Windows tests under Wine, so a test file builds for both.
#pragma once

#ifdef _WIN32
#include "support/ftp_server_win32.h"
#else
#include "support/ftp_server_posix.h"
#endif

#include <cstddef>
#include <string>

namespace arkivo::test {

// How many folder listings (MLSD or LIST) a server's log shows.
inline std::size_t ListingsIn(const std::string& log) {
    std::size_t count = 0;
    for (const char* command : {"<- MLSD", "<- LIST"}) {
        for (auto at = log.find(command); at != std::string::npos; at = log.find(command, at + 1)) {
            ++count;
        }
    }
    return count;
}

}  // namespace arkivo::test
