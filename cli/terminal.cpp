#include "cli/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace arkivo::cli {

bool IsTerminal(int fd) {
    return ::isatty(fd) != 0;
}

std::optional<std::size_t> TerminalColumns(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return std::nullopt;
    }
    return size.ws_col;
}

}  // namespace arkivo::cli
