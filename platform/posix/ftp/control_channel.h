// The control connection of an FTP session: commands out, replies in, each wait bounded. A
// failure that leaves the conversation out of step (a timeout, a cut connection, a reply that
// is no reply, a server closing with 421) closes it, as nothing later could be trusted.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "platform/posix/ftp/reply_reader.h"
#include "platform/posix/ftp/socket.h"

namespace arkivo::platform::ftp {

class ControlChannel {
  public:
    // Connects and reads the server's greeting, which must welcome us.
    std::error_code Open(const std::string& host, std::uint16_t port, milliseconds timeout);
    bool IsOpen() const { return socket_.IsOpen(); }
    void Close();

    // Sends one command; refused when it holds a line break or a NUL, which would end the
    // command early and let the rest be read as another one.
    std::error_code Send(std::string_view command);
    // The next reply, whatever it says.
    std::error_code Read(FtpReply& reply);
    // Sends the command and reads its reply, which must be one of `acceptedClass` (2 for 2xx,
    // 3 for 3xx, 1 for 1xx); any other is an error carrying the server's words.
    std::error_code Run(std::string_view command, int acceptedClass, FtpReply& reply);

    milliseconds timeout() const { return timeout_; }
    const SocketAddress& peer() const { return peer_; }
    const SocketAddress& local() const { return local_; }

  private:
    std::error_code Ending(std::error_code error);

    Socket socket_;
    ReplyReader reader_;
    milliseconds timeout_{0};
    SocketAddress peer_;
    SocketAddress local_;
};

// The error for a reply that says no, in the server's words.
std::error_code RefusalOf(const FtpReply& reply);

}  // namespace arkivo::platform::ftp
