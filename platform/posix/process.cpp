#include "platform/process.h"

#include <cstdlib>
#include <system_error>

#include "common/text.h"

namespace arkivo::platform {

std::filesystem::path ExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

std::optional<std::u16string> EnvironmentVariable(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return Utf8ToUtf16(value);
}

}  // namespace arkivo::platform
