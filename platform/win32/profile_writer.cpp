#include "platform/profile_writer.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace arkivo::platform {

bool WritePrivateProfileEntry(const std::filesystem::path& file, std::u16string_view section,
                              std::optional<std::u16string_view> key,
                              std::optional<std::u16string_view> value) {
    using win32::Wide;
    const std::wstring sectionText = Wide(section);
    const std::wstring keyText = key ? Wide(*key) : std::wstring();
    const std::wstring valueText = value ? Wide(*value) : std::wstring();
    return ::WritePrivateProfileStringW(sectionText.c_str(), key ? keyText.c_str() : nullptr,
                                        value ? valueText.c_str() : nullptr, file.c_str()) != FALSE;
}

}  // namespace arkivo::platform
