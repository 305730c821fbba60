// Asking for a password on the terminal, without showing what is typed.
#pragma once

#include <optional>
#include <string>

namespace arkivo::cli {

// Shows the prompt on standard error and reads one line from standard input with the
// terminal's echo off. Nothing when standard input is not a terminal or ends before a line.
std::optional<std::string> AskWithoutEcho(const std::string& prompt);

}  // namespace arkivo::cli
