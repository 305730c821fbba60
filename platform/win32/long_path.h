// Paths for the wide Windows calls: past the classic 260-character limit they need the
// "\\?\" prefix (and an absolute form with backslashes).
#pragma once

#include <filesystem>
#include <string>

namespace arkivo::platform::win32 {

inline std::wstring LongPath(const std::filesystem::path& path) {
    std::wstring text = path.wstring();
    if (text.size() < 248 || text.rfind(L"\\\\?\\", 0) == 0) {
        return text;
    }
    std::error_code error;
    std::wstring absolute = std::filesystem::absolute(path, error).wstring();
    if (error) {
        return text;
    }
    for (auto& c : absolute) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (absolute.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + absolute.substr(2);
    }
    return L"\\\\?\\" + absolute;
}

}  // namespace arkivo::platform::win32
