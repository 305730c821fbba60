#include "platform/win32/ftp/name_encoding.h"

#include <windows.h>

#include <algorithm>

namespace arkivo::platform::win32 {
namespace {

bool NamesTravelAsUtf8() {
    return ::GetACP() == CP_UTF8;
}

}  // namespace

bool SentAsUtf8(const std::u16string& name) {
    if (!NamesTravelAsUtf8()) {
        return std::all_of(name.begin(), name.end(), [](char16_t c) { return c < 0x80; });
    }
    // An unpaired surrogate has no UTF-8 form.
    const std::wstring wide(name.begin(), name.end());
    return wide.empty() ||
           ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(),
                                 static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr) > 0;
}

}  // namespace arkivo::platform::win32
