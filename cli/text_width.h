// Fitting text into terminal columns: how many columns a UTF-8 text takes, and a path cut in
// the middle so that both its start and its file name stay in view.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace arkivo::cli {

// The text as one terminal line can show it: control characters (a line break or a tab in a
// file name) become '?', bytes that are not UTF-8 become U+FFFD.
std::string OnOneLine(std::string_view text);

// Columns the text takes: 2 for wide East Asian characters, 0 for combining marks, else 1.
// Meant for text that OnOneLine has made safe.
std::size_t DisplayWidth(std::string_view text);

// The text if it fits in `columns`, else its start and its end joined by "…", together no
// wider than `columns`. Characters are never cut in two.
std::string CutInTheMiddle(std::string_view text, std::size_t columns);

// The text's start, no wider than `columns`.
std::string CutAtTheEnd(std::string_view text, std::size_t columns);

// The line broken into lines no wider than `columns`, at spaces where it can be; the lines
// after the first are indented by two spaces.
std::vector<std::string> Wrapped(std::string_view line, std::size_t columns);

}  // namespace arkivo::cli
