// A real FTP server for one test, on Linux: tests/support/ftp_server.py (pyftpdlib) serving a
// folder on 127.0.0.1, started in the background and killed when the test ends. Its options are
// those of the script ("--no-mlsd", "--hostile", "--cut", "65536", ...).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/ftp_client.h"
#include "support/child_process.h"
#include "support/ftp_test_endpoint.h"
#include "support/temp_folder.h"

namespace arkivo::test {

class FtpTestServer {
  public:
    explicit FtpTestServer(const std::filesystem::path& root,
                           const std::vector<std::string>& options = {}) {
        std::vector<std::string> argv = {"/usr/bin/python3", ARKIVO_FTP_SERVER_SCRIPT,
                                         root.string(), (files_ / "port").string()};
        argv.insert(argv.end(), options.begin(), options.end());
        pid_ = StartProgram(argv, files_ / "out", files_ / "err");
        if (pid_ < 0) {
            throw std::runtime_error("cannot start the FTP test server");
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!std::filesystem::exists(files_ / "port")) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                throw std::runtime_error("the FTP test server ended: " + ReadBytes(files_ / "err"));
            }
            if (std::chrono::steady_clock::now() > deadline) {
                throw std::runtime_error("the FTP test server did not start");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        port_ = static_cast<std::uint16_t>(std::stoi(ReadBytes(files_ / "port")));
    }

    ~FtpTestServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            WaitForExit(pid_);
        }
    }

    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    std::uint16_t port() const { return port_; }

    // User "u", password "p".
    platform::FtpEndpoint Endpoint(bool passive = true) const {
        return TestFtpEndpoint(port_, passive);
    }

    // What the server printed: its log of every command, for a failing test's message.
    std::string Log() const { return ReadBytes(files_ / "err"); }

  private:
    TempFolder files_;
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
};

// A port on 127.0.0.1 that refuses connections for as long as this lives: bound, never
// listening, so no other program can take it meanwhile.
class RefusingPort {
  public:
    RefusingPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot bind a port");
        }
        port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(fd_); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    std::uint16_t port() const { return port_; }

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace arkivo::test
