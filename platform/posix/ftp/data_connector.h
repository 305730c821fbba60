// Data connections, made afresh for each transfer. Passive: EPSV, or PASV when the server
// refuses EPSV, and we connect. Active: we listen on the control connection's local address and
// announce it with EPRT, or PORT when the server refuses EPRT, and the server connects.
#pragma once

#include <system_error>

#include "platform/posix/ftp/control_channel.h"
#include "platform/posix/ftp/socket.h"

namespace arkivo::platform::ftp {

class DataConnection {
  public:
    // Once the server has accepted the transfer command: the socket the data flows through.
    std::error_code Establish(const ControlChannel& control);
    Socket& socket() { return socket_; }

  private:
    friend class DataConnector;
    Socket socket_;    // passive: connected before the command
    Socket listener_;  // active: waiting for the server
};

class DataConnector {
  public:
    explicit DataConnector(bool passive = true) : passive_(passive) {}

    // Before the transfer command.
    std::error_code Prepare(ControlChannel& control, DataConnection& data);

  private:
    std::error_code PreparePassive(ControlChannel& control, DataConnection& data);
    std::error_code PrepareActive(ControlChannel& control, DataConnection& data);

    bool passive_;
    bool epsvRefused_ = false;
    bool eprtRefused_ = false;
};

}  // namespace arkivo::platform::ftp
