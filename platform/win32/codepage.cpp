#include "platform/codepage.h"

#include <windows.h>

namespace arkivo::platform {

std::u16string AnsiToUtf16(std::string_view ansi) {
    if (ansi.empty()) {
        return {};
    }
    const int size = static_cast<int>(ansi.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), n);
    return std::u16string(wide.begin(), wide.end());
}

std::optional<std::string> Utf16ToAnsi(std::u16string_view text) {
    if (text.empty()) {
        return std::string();
    }
    const std::wstring wide(text.begin(), text.end());
    const int size = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::string Utf16ToAnsiLossy(std::u16string_view text) {
    if (text.empty()) {
        return std::string();
    }
    const std::wstring wide(text.begin(), text.end());
    const int size = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::optional<std::string> PathToAnsi(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return Utf16ToAnsi(std::u16string(wide.begin(), wide.end()));
}

bool AnsiIsUtf8() {
    return ::GetACP() == CP_UTF8;
}

}  // namespace arkivo::platform
