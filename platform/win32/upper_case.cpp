#include "platform/upper_case.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace arkivo::platform {

// The system's upper-casing, so names compare as the file system and the shell compare them.
std::u16string ToUpper(std::u16string_view text) {
    std::wstring wide = win32::Wide(text);
    if (!wide.empty()) {
        ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    }
    return win32::Utf16(wide);
}

}  // namespace arkivo::platform
