// Writing the program's UTF-16 texts to the terminal.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

namespace arkivo::cli {

std::string Narrow(std::u16string_view text);

// A path as the terminal shows it, from the file system's own bytes: one line, with line breaks,
// tabs, other control characters and bytes that are not UTF-8 escaped (\n, \t, \xNN) and
// backslashes doubled.
std::string ShownPath(const std::filesystem::path& path);

void PrintLine(std::ostream& out, std::u16string_view text);

// An error for the user: to stderr, one line.
void PrintError(std::u16string_view text);

}  // namespace arkivo::cli
