// Starting with Windows: the program's value in the current user's Run key.
#pragma once

#include <filesystem>
#include <optional>

#include "settings/text_keys.h"

namespace arkivo::ui {

inline constexpr std::u16string_view kRunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::u16string_view kRunValue = u"Arkivo";

// Writes (flag set) or removes the value; the text to show when that failed.
std::optional<TextKey> RegisterStartup(bool flag, const std::filesystem::path& executable);

}  // namespace arkivo::ui
