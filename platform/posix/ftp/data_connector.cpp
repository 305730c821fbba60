#include "platform/posix/ftp/data_connector.h"

#include <netinet/in.h>

#include <cstring>

#include "platform/ftp_error.h"
#include "platform/posix/ftp/data_address.h"

namespace arkivo::platform::ftp {
namespace {

bool IsRefusal(const FtpReply& reply) {
    return reply.code / 100 == 4 || reply.code / 100 == 5;
}

std::error_code Unreadable(const FtpReply& reply) {
    return MakeFtpError(FtpFailure::BadReply,
                        "the FTP server's data address could not be read: " + reply.Text(),
                        reply.code);
}

}  // namespace

std::error_code DataConnection::Establish(const ControlChannel& control) {
    if (socket_.IsOpen()) {
        return {};
    }
    return listener_.Accept(control.peer(), control.timeout(), socket_);
}

std::error_code DataConnector::Prepare(ControlChannel& control, DataConnection& data) {
    return passive_ ? PreparePassive(control, data) : PrepareActive(control, data);
}

std::error_code DataConnector::PreparePassive(ControlChannel& control, DataConnection& data) {
    FtpReply reply;
    std::uint16_t port = 0;
    if (!epsvRefused_) {
        if (auto error = control.Run("EPSV", 2, reply); error && !IsRefusal(reply)) {
            return error;
        }
        if (reply.IsCompletion()) {
            const auto epsvPort = ParseEpsvReply(reply.Text());
            if (!epsvPort) {
                return Unreadable(reply);
            }
            port = *epsvPort;
        } else {
            epsvRefused_ = true;
        }
    }
    if (epsvRefused_) {
        if (auto error = control.Run("PASV", 2, reply)) {
            return error;
        }
        const auto address = ParsePasvReply(reply.Text());
        if (!address) {
            return Unreadable(reply);
        }
        // The host a PASV reply names is not used, only its port: a server behind NAT names its
        // private address, and a hostile one could name any third host for us to connect to.
        // The host we opened the control connection to is the server; connecting there is what
        // clients commonly do.
        port = address->port;
    }
    SocketAddress target = control.peer();
    target.SetPort(port);
    return data.socket_.Connect(target, control.timeout());
}

std::error_code DataConnector::PrepareActive(ControlChannel& control, DataConnection& data) {
    SocketAddress here = control.local();
    here.SetPort(0);
    if (auto error = data.listener_.Listen(here)) {
        return error;
    }
    if (auto error = data.listener_.LocalAddress(here)) {
        return error;
    }
    FtpReply reply;
    if (!eprtRefused_) {
        const auto command = "EPRT " + EprtArgument(here.IsIpv6(), here.Host(), here.Port());
        auto error = control.Run(command, 2, reply);
        if (!error || !IsRefusal(reply) || here.IsIpv6()) {
            return error;
        }
        eprtRefused_ = true;
    }
    std::array<std::uint8_t, 4> host{};
    std::memcpy(host.data(), &reinterpret_cast<const sockaddr_in&>(here.storage).sin_addr, 4);
    return control.Run("PORT " + PortArgument(host, here.Port()), 2, reply);
}

}  // namespace arkivo::platform::ftp
