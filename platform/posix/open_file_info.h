// The facts of a file already open, so that they belong to the file that is read and not to
// whatever its path names a moment later.
#pragma once

#include <filesystem>
#include <system_error>

#include "platform/file_system.h"

namespace arkivo::platform::posix {

// As GetFileInfo gives them; path is the one the file was opened by (its name decides Hidden).
std::error_code GetOpenFileInfo(int fd, const std::filesystem::path& path, FileInfo& info);

}  // namespace arkivo::platform::posix
