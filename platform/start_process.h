// Starting a companion program and letting it run on its own.
#pragma once

#include <filesystem>
#include <system_error>

namespace arkivo::platform {

// Starts the executable without arguments, its window hidden and no handles inherited, and
// does not wait for it.
std::error_code StartHiddenProcess(const std::filesystem::path& executable);

}  // namespace arkivo::platform
