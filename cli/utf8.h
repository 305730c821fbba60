// Reading UTF-8 one character at a time, for text the file system hands over as bytes: a name
// need not be valid UTF-8, and each byte that does not begin a valid sequence is told apart.
#pragma once

#include <cstddef>
#include <string_view>

namespace arkivo::cli {

struct Utf8Character {
    char32_t value = 0;      // meaningful when valid
    std::size_t length = 1;  // bytes taken: a whole sequence, or the one byte that is not valid
    bool valid = false;
};

// The character that begins at `position` (which must lie within `text`).
Utf8Character NextUtf8Character(std::string_view text, std::size_t position);

bool IsValidUtf8(std::string_view text);

}  // namespace arkivo::cli
