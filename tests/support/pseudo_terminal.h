// A program run on a pseudo-terminal of a chosen size, as a user's terminal window runs it:
// its standard input, output and error are the terminal. POSIX only; link with util.
#pragma once

#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

namespace arkivo::test {

struct TerminalRun {
    int exitCode = -1;
    std::string output;  // everything the terminal received, escape sequences included
};

// Makes the terminal behind `master` this many columns wide, as dragging a window's edge does.
inline void ResizeTerminal(int master, unsigned short columns) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = columns;
    ::ioctl(master, TIOCSWINSZ, &size);
}

// Runs argv[0] until it ends. `watch`, when given, sees the output so far after each read and
// may act on the terminal through its master side (ResizeTerminal).
inline TerminalRun RunOnTerminal(
    const std::vector<std::string>& argv, unsigned short columns,
    const std::function<void(const std::string& output, int master)>& watch = {}) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = columns;
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, &size);
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    TerminalRun run;
    if (pid < 0) {
        return run;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;  // EIO once the program and its terminal are gone
        }
        run.output.append(buffer, static_cast<std::size_t>(n));
        if (watch) {
            watch(run.output, master);
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(master);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace arkivo::test
