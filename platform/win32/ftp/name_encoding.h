// How WinINet puts names on the wire: in the process's ANSI code page, in both directions.
// Only when that code page is UTF-8 (the program's manifest asks for it, Windows 10 1903 and
// later) do names travel as UTF-8, as every FTP side expects; otherwise only ASCII names, the
// same bytes in every code page, reach the server as they are.
#pragma once

#include <string>

namespace arkivo::platform::win32 {

// Whether WinINet would send this name as its UTF-8 bytes.
bool SentAsUtf8(const std::u16string& name);

}  // namespace arkivo::platform::win32
