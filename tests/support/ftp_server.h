// A real FTP server for one test (tests/support/ftp_server.py), the same class on Linux and
// for the Windows tests under Wine, so a test file builds for both.
#pragma once

#ifdef _WIN32
#include "support/ftp_server_win32.h"
#else
#include "support/ftp_server_posix.h"
#endif
