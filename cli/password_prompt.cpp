#include "cli/password_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <iterator>

namespace arkivo::cli {
namespace {

// The terminal's settings before the echo went off, for the signal handler: a Ctrl-C at the
// prompt must not leave the user's shell without echo.
struct termios g_savedTerminal {};
constexpr int kRestoredSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void RestoreTerminalAndDie(int signal) {
    ::tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

class EchoOff {
  public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &g_savedTerminal) != 0) {
            return;
        }
        struct sigaction restore {};
        restore.sa_handler = RestoreTerminalAndDie;
        sigemptyset(&restore.sa_mask);
        for (std::size_t i = 0; i < std::size(kRestoredSignals); ++i) {
            ::sigaction(kRestoredSignals[i], &restore, &previous_[i]);
        }
        struct termios quiet = g_savedTerminal;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
        active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_) {
            ::tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
        }
        for (std::size_t i = 0; i < std::size(kRestoredSignals); ++i) {
            ::sigaction(kRestoredSignals[i], &previous_[i], nullptr);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    bool active_ = false;
    struct sigaction previous_[std::size(kRestoredSignals)]{};
};

// Byte by byte, so nothing after the line is taken from the terminal.
std::optional<std::string> ReadLine() {
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return std::nullopt;
        }
        if (c == '\n') {
            return line;
        }
        line += c;
    }
}

}  // namespace

std::optional<std::string> AskWithoutEcho(const std::string& prompt) {
    if (::isatty(STDIN_FILENO) == 0) {
        return std::nullopt;
    }
    std::optional<std::string> line;
    {
        // Echo goes off before the prompt shows, so nothing typed after it is ever shown; what
        // was typed before it is dropped rather than taken for the password.
        const EchoOff quiet;
        std::cerr << prompt << std::flush;
        line = ReadLine();
    }
    // The Enter key was not echoed either.
    std::cerr << '\n';
    if (line && !line->empty() && line->back() == '\r') {
        line->pop_back();
    }
    return line;
}

}  // namespace arkivo::cli
