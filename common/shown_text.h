// Names as a terminal line or a line of a report shows them: every name one line, readable,
// and told apart from every other name. A name may hold any byte but "/" and NUL on POSIX, so
// what would break the line, move the cursor or not be text at all is written as an escape:
//
//   \\  a backslash          \n  a line feed        \t  a tab        \r  a carriage return
//   \xNN  the byte NN (two hexadecimal digits): any other control character (C0, DEL, C1),
//         the line and paragraph separators U+2028 and U+2029, the bidirectional controls
//         U+202A to U+202E and U+2066 to U+2069, and every byte that is not part of valid UTF-8
//
// Each \xNN stands for one byte of the name, so the name's bytes can be had back exactly.
#pragma once

#include <string>
#include <string_view>

namespace arkivo {

// POSIX: a name or path as the file system holds it, in bytes.
std::string EscapedForDisplay(std::string_view bytes);

// Windows: a name or path in UTF-16. Backslash is the separator there and no name holds it, so
// it stays as it is; the same characters as above, and halves of surrogate pairs standing
// alone, are written as \uXXXX.
std::u16string EscapedForDisplay(std::u16string_view text);

}  // namespace arkivo
