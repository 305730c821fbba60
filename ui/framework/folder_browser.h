// The shell's folder browser.
#pragma once

#include <optional>
#include <string>

namespace arkivo::ui {

// The folder the user picked, or nullopt when the browser was cancelled.
std::optional<std::u16string> BrowseForFolder();

}  // namespace arkivo::ui
