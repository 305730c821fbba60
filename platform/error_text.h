// The system's own words for an error, for messages that tell the user why something failed.
#pragma once

#include <string>
#include <system_error>

namespace arkivo::platform {

std::u16string ErrorText(std::error_code error);

}  // namespace arkivo::platform
