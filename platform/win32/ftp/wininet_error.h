// What a failed WinINet call means, as the errors of platform/ftp_error.h: the system's text
// for the failure and, when the server answered, its reply ("530 Login incorrect.").
#pragma once

#include <windows.h>

#include <system_error>

namespace arkivo::platform::win32 {

// The error behind `code`, a GetLastError value taken right after the failed call (before
// anything else can change the last server reply). Codes of no FTP kind (a local file that
// cannot be written) stay system errors.
std::error_code WinInetError(DWORD code);

// Whether WinINet's connection may be out of step with the server after this failure, so
// that nothing more can be asked of it.
bool EndsTheSession(std::error_code error);

}  // namespace arkivo::platform::win32
