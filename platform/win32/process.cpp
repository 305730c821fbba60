#include "platform/process.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide.h"

namespace arkivo::platform {

std::filesystem::path ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            return std::filesystem::path(std::wstring(buffer.data(), n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::u16string> EnvironmentVariable(std::string_view name) {
    const std::wstring wideName(name.begin(), name.end());
    const DWORD n = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (n == 0) {
        return std::nullopt;
    }
    std::wstring value(n, L'\0');
    const DWORD written = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), n);
    value.resize(written);
    return win32::Utf16(value);
}

}  // namespace arkivo::platform
