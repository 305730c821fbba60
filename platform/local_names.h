// Names that come from elsewhere (an FTP server's listing) and may not be names on this
// machine's file system as they are.
#pragma once

#include <string_view>

namespace arkivo::platform {

// Windows reads "a:b" as the stream "b" of the file "a", drops a trailing dot or space ("a."
// opens "a"), and takes "CON" or "nul.txt" for a device; "<>\"|?*" and control characters it
// refuses. A file under such a name would be written somewhere else than meant, or over
// another file, so these names are refused rather than used.
bool WindowsCannotName(std::u16string_view name);

// Whether a file or folder of this name (a single name, already free of separators and NUL)
// can be made here and found again under the same name.
bool CanNameLocalFile(std::u16string_view name);

}  // namespace arkivo::platform
