// String values in the current user's registry hive: where the program records its folder and
// how it registers itself to start with Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace arkivo::platform {

enum class RegistryResult { Ok, CannotOpenKey, CannotWriteValue, CannotDeleteValue };

// Creates the key when it is missing and stores the text with its terminating null.
RegistryResult WriteUserString(std::u16string_view key, std::u16string_view name,
                               std::u16string_view value);

// A value that is not there is no error.
RegistryResult DeleteUserValue(std::u16string_view key, std::u16string_view name);

std::optional<std::u16string> ReadUserString(std::u16string_view key, std::u16string_view name);

}  // namespace arkivo::platform
