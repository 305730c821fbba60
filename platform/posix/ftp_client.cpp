#include "platform/ftp_client.h"

#include "platform/posix/ftp/ftp_session.h"

namespace arkivo::platform {

std::unique_ptr<FtpConnection> NewFtpConnection() {
    return std::make_unique<ftp::FtpSession>();
}

}  // namespace arkivo::platform
