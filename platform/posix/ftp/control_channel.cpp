#include "platform/posix/ftp/control_channel.h"

#include "platform/ftp_error.h"

namespace arkivo::platform::ftp {
namespace {

constexpr int kServiceClosing = 421;

bool SessionEnds(std::error_code error) {
    const auto failure = FtpFailureOf(error);
    return failure == FtpFailure::TimedOut || failure == FtpFailure::ConnectionLost ||
           failure == FtpFailure::BadReply;
}

}  // namespace

std::error_code RefusalOf(const FtpReply& reply) {
    return MakeFtpError(FtpFailure::Refused, reply.Text(), reply.code);
}

std::error_code ControlChannel::Open(const std::string& host, std::uint16_t port,
                                     milliseconds timeout) {
    Close();
    timeout_ = timeout;
    if (auto error = socket_.Connect(host, port, timeout)) {
        return error;
    }
    if (auto error = socket_.PeerAddress(peer_)) {
        return Ending(error);
    }
    if (auto error = socket_.LocalAddress(local_)) {
        return Ending(error);
    }
    FtpReply greeting;
    do {
        if (auto error = Read(greeting)) {
            return error;
        }
    } while (greeting.IsPreliminary());
    if (!greeting.IsCompletion()) {
        Close();
        return RefusalOf(greeting);
    }
    return {};
}

void ControlChannel::Close() {
    socket_.Close();
    reader_ = {};
}

std::error_code ControlChannel::Ending(std::error_code error) {
    if (SessionEnds(error)) {
        Close();
    }
    return error;
}

std::error_code ControlChannel::Send(std::string_view command) {
    if (command.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return MakeFtpError(FtpFailure::Unsendable,
                            "a name holding a line break or a NUL cannot be sent to an FTP server");
    }
    if (!IsOpen()) {
        return MakeFtpError(FtpFailure::NotConnected, "not connected to the FTP server");
    }
    return Ending(socket_.SendAll(std::string(command) + "\r\n", timeout_));
}

std::error_code ControlChannel::Read(FtpReply& reply) {
    if (!IsOpen()) {
        return MakeFtpError(FtpFailure::NotConnected, "not connected to the FTP server");
    }
    char buffer[16 * 1024];
    for (;;) {
        switch (reader_.Next(reply)) {
            case ReplyReader::Status::Reply:
                if (reply.code == kServiceClosing) {
                    Close();
                }
                return {};
            case ReplyReader::Status::Garbage:
                return Ending(
                    MakeFtpError(FtpFailure::BadReply,
                                 "the FTP server sent what is no reply: " + reader_.garbage()));
            case ReplyReader::Status::Incomplete:
                break;
        }
        std::size_t received = 0;
        if (auto error = socket_.ReceiveSome(buffer, sizeof buffer, timeout_, received)) {
            return Ending(error);
        }
        if (received == 0) {
            return Ending(
                MakeFtpError(FtpFailure::ConnectionLost, "the FTP server closed the connection"));
        }
        reader_.Feed({buffer, received});
    }
}

std::error_code ControlChannel::Run(std::string_view command, int acceptedClass, FtpReply& reply) {
    if (auto error = Send(command)) {
        return error;
    }
    if (auto error = Read(reply)) {
        return error;
    }
    return reply.code / 100 == acceptedClass ? std::error_code() : RefusalOf(reply);
}

}  // namespace arkivo::platform::ftp
