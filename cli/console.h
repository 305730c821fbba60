// Writing the program's UTF-16 texts to the terminal.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace arkivo::cli {

std::string Narrow(std::u16string_view text);

void PrintLine(std::ostream& out, std::u16string_view text);

// An error for the user: to stderr, one line.
void PrintError(std::u16string_view text);

}  // namespace arkivo::cli
