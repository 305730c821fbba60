// What the terminal behind a file descriptor is like.
#pragma once

#include <cstddef>
#include <optional>

namespace arkivo::cli {

bool IsTerminal(int fd);

// The terminal's width in columns as it is now (the user may resize the window at any time);
// nothing when fd is not a terminal or it does not say.
std::optional<std::size_t> TerminalColumns(int fd);

}  // namespace arkivo::cli
