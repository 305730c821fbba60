#include "platform/posix/ftp/socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/ftp_error.h"

namespace arkivo::platform::ftp {
namespace {

// The system's reason, in the lower case of the middle of a sentence.
std::string Reason(int error) {
    std::string text = std::strerror(error);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' &&
        (text.size() < 2 || text[1] < 'A' || text[1] > 'Z')) {
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    }
    return text;
}

std::error_code Lost(const char* what, int error) {
    return MakeFtpError(FtpFailure::ConnectionLost, std::string(what) + ": " + Reason(error));
}

int NewSocket(int family) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0) {
        // Replies and commands are small and each waits for the other.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd;
}

std::string HostAndPort(const std::string& host, std::uint16_t port) {
    return host + " port " + std::to_string(port);
}

}  // namespace

std::string SocketAddress::Host() const {
    char text[INET6_ADDRSTRLEN] = {};
    if (storage.ss_family == AF_INET6) {
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(storage).sin6_addr, text,
                    sizeof text);
    } else {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(storage).sin_addr, text,
                    sizeof text);
    }
    return text;
}

std::uint16_t SocketAddress::Port() const {
    return ntohs(storage.ss_family == AF_INET6
                     ? reinterpret_cast<const sockaddr_in6&>(storage).sin6_port
                     : reinterpret_cast<const sockaddr_in&>(storage).sin_port);
}

void SocketAddress::SetPort(std::uint16_t port) {
    if (storage.ss_family == AF_INET6) {
        reinterpret_cast<sockaddr_in6&>(storage).sin6_port = htons(port);
    } else {
        reinterpret_cast<sockaddr_in&>(storage).sin_port = htons(port);
    }
}

bool SocketAddress::SameHost(const SocketAddress& other) const {
    if (storage.ss_family != other.storage.ss_family) {
        return false;
    }
    if (storage.ss_family == AF_INET6) {
        return std::memcmp(&reinterpret_cast<const sockaddr_in6&>(storage).sin6_addr,
                           &reinterpret_cast<const sockaddr_in6&>(other.storage).sin6_addr,
                           sizeof(in6_addr)) == 0;
    }
    return reinterpret_cast<const sockaddr_in&>(storage).sin_addr.s_addr ==
           reinterpret_cast<const sockaddr_in&>(other.storage).sin_addr.s_addr;
}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void Socket::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::error_code Socket::WaitFor(short events, milliseconds timeout, const char* what) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd entry{fd_, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready > 0) {
            return {};
        }
        if (ready == 0) {
            return MakeFtpError(FtpFailure::TimedOut,
                                std::string("timed out waiting for the FTP server ") + what);
        }
        if (errno != EINTR) {
            return Lost(what, errno);
        }
    }
}

std::error_code Socket::Connect(const std::string& host, std::uint16_t port, milliseconds timeout) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int status = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found)) {
        return MakeFtpError(FtpFailure::Unreachable,
                            "cannot find the FTP server " + host + ": " + ::gai_strerror(status));
    }
    std::error_code error;
    for (const addrinfo* each = found; each != nullptr; each = each->ai_next) {
        SocketAddress address;
        std::memcpy(&address.storage, each->ai_addr, each->ai_addrlen);
        address.length = each->ai_addrlen;
        error = Connect(address, timeout);
        if (!error) {
            break;
        }
    }
    ::freeaddrinfo(found);
    if (error && FtpFailureOf(error) != FtpFailure::TimedOut) {
        return MakeFtpError(
            FtpFailure::Unreachable,
            "cannot connect to " + HostAndPort(host, port) + ": " + error.message());
    }
    return error;
}

std::error_code Socket::Connect(const SocketAddress& address, milliseconds timeout) {
    Close();
    fd_ = NewSocket(address.storage.ss_family);
    if (fd_ < 0) {
        return Lost("cannot open a socket", errno);
    }
    const auto* target = reinterpret_cast<const sockaddr*>(&address.storage);
    if (::connect(fd_, target, address.length) != 0) {
        if (errno != EINPROGRESS) {
            const int reason = errno;
            Close();
            return MakeFtpError(FtpFailure::Unreachable, Reason(reason));
        }
        if (auto error = WaitFor(POLLOUT, timeout, "to accept the connection")) {
            Close();
            if (FtpFailureOf(error) != FtpFailure::TimedOut) {
                return error;
            }
            return MakeFtpError(
                FtpFailure::TimedOut,
                "timed out connecting to " + HostAndPort(address.Host(), address.Port()));
        }
        int reason = 0;
        socklen_t length = sizeof reason;
        ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &reason, &length);
        if (reason != 0) {
            Close();
            return MakeFtpError(FtpFailure::Unreachable, Reason(reason));
        }
    }
    return {};
}

std::error_code Socket::Listen(const SocketAddress& address) {
    Close();
    fd_ = NewSocket(address.storage.ss_family);
    if (fd_ < 0 ||
        ::bind(fd_, reinterpret_cast<const sockaddr*>(&address.storage), address.length) != 0 ||
        ::listen(fd_, 1) != 0) {
        const int reason = errno;
        Close();
        return MakeFtpError(
            FtpFailure::Unreachable,
            "cannot listen for the FTP server's data connection: " + Reason(reason));
    }
    return {};
}

std::error_code Socket::Accept(const SocketAddress& from, milliseconds timeout, Socket& accepted) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (auto error =
                WaitFor(POLLIN, std::max(left, milliseconds(0)), "to open the data connection")) {
            return error;
        }
        SocketAddress peer;
        peer.length = sizeof peer.storage;
        const int fd = ::accept4(fd_, reinterpret_cast<sockaddr*>(&peer.storage), &peer.length,
                                 SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == ECONNABORTED) {
                continue;
            }
            return Lost("cannot accept the data connection", errno);
        }
        Socket candidate(fd);
        // Anyone may connect to a listening port; only the server we talk to may send us data.
        if (peer.SameHost(from)) {
            accepted = std::move(candidate);
            return {};
        }
    }
}

std::error_code Socket::ReceiveSome(char* buffer, std::size_t size, milliseconds timeout,
                                    std::size_t& received) {
    received = 0;
    for (;;) {
        const ssize_t count = ::recv(fd_, buffer, size, 0);
        if (count >= 0) {
            received = static_cast<std::size_t>(count);
            return {};
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return Lost("the connection to the FTP server broke", errno);
        }
        if (auto error = WaitFor(POLLIN, timeout, "to send")) {
            return error;
        }
    }
}

std::error_code Socket::SendAll(std::string_view bytes, milliseconds timeout) {
    while (!bytes.empty()) {
        const ssize_t count = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (count >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(count));
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return Lost("the connection to the FTP server broke", errno);
        }
        if (auto error = WaitFor(POLLOUT, timeout, "to take more data")) {
            return error;
        }
    }
    return {};
}

std::error_code Socket::LocalAddress(SocketAddress& address) const {
    address.length = sizeof address.storage;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&address.storage), &address.length) != 0) {
        return Lost("cannot tell the connection's address", errno);
    }
    return {};
}

std::error_code Socket::PeerAddress(SocketAddress& address) const {
    address.length = sizeof address.storage;
    if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&address.storage), &address.length) != 0) {
        return Lost("cannot tell the server's address", errno);
    }
    return {};
}

}  // namespace arkivo::platform::ftp
