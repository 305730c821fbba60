// Shortcut files (".lnk"): what a dropped shortcut points to.
#pragma once

#include <filesystem>
#include <optional>

namespace arkivo::platform {

bool IsShellLink(const std::filesystem::path& path);

// The target of the shortcut, its network form preferred; nullopt when the file is no
// shortcut or cannot be read. COM must be initialised on the calling thread.
std::optional<std::filesystem::path> ResolveShellLink(const std::filesystem::path& link);

}  // namespace arkivo::platform
