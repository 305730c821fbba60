#include "platform/error_text.h"

#include <windows.h>

#include "common/text.h"

namespace arkivo::platform {

std::u16string ErrorText(std::error_code error) {
    if (error.category() != std::system_category()) {
        return Utf8ToUtf16(error.message());
    }
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error.value()), 0, reinterpret_cast<wchar_t*>(&buffer), 0,
        nullptr);
    std::u16string text(buffer, buffer + length);
    ::LocalFree(buffer);
    // The system ends its texts with a full stop and a line break.
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u'.')) {
        text.pop_back();
    }
    return text.empty() ? Utf8ToUtf16(error.message()) : text;
}

}  // namespace arkivo::platform
