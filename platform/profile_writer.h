// The private-profile writer that puts one entry of an INI file on disk. A missing key removes
// the whole section; a missing value removes the key. Section and key names match without
// regard to case, as the system's own writer does.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace arkivo::platform {

bool WritePrivateProfileEntry(const std::filesystem::path& file, std::u16string_view section,
                              std::optional<std::u16string_view> key,
                              std::optional<std::u16string_view> value);

}  // namespace arkivo::platform
