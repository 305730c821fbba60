// TCP sockets for the FTP client, every wait bounded: a connect, a read, a write or an accept
// that the other side leaves hanging fails with FtpFailure::TimedOut instead of blocking.
#pragma once

#include <sys/socket.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace arkivo::platform::ftp {

using std::chrono::milliseconds;

struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;

    bool IsIpv6() const { return storage.ss_family == AF_INET6; }
    // The numeric host, "127.0.0.1" or "::1".
    std::string Host() const;
    std::uint16_t Port() const;
    void SetPort(std::uint16_t port);
    bool SameHost(const SocketAddress& other) const;
};

class Socket {
  public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() { Close(); }
    Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    void Close();

    // Each address the name resolves to in turn, each attempt within the timeout.
    std::error_code Connect(const std::string& host, std::uint16_t port, milliseconds timeout);
    std::error_code Connect(const SocketAddress& address, milliseconds timeout);

    // A listening socket on the address (its port chosen by the system when 0).
    std::error_code Listen(const SocketAddress& address);
    // Accepts the first connection that comes from `from`'s host; others are closed unheard.
    std::error_code Accept(const SocketAddress& from, milliseconds timeout, Socket& accepted);

    // At least one byte once some arrive, or 0 when the other side closed.
    std::error_code ReceiveSome(char* buffer, std::size_t size, milliseconds timeout,
                                std::size_t& received);
    std::error_code SendAll(std::string_view bytes, milliseconds timeout);

    std::error_code LocalAddress(SocketAddress& address) const;
    std::error_code PeerAddress(SocketAddress& address) const;

  private:
    std::error_code WaitFor(short events, milliseconds timeout, const char* what);

    int fd_ = -1;
};

}  // namespace arkivo::platform::ftp
