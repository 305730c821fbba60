// The folder a "257" reply names: the text between the first double quote and the next one
// that is not doubled ("257 "/a ""quoted"" name" is current folder." names /a "quoted" name).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace arkivo::platform::ftp {

std::optional<std::string> ParsePwdReply(std::string_view text);

}  // namespace arkivo::platform::ftp
