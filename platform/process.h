// Facts about the running process.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace arkivo::platform {

std::filesystem::path ExecutablePath();

std::optional<std::u16string> EnvironmentVariable(std::string_view name);

}  // namespace arkivo::platform
