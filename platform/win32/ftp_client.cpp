#include "platform/ftp_client.h"

#include "platform/win32/ftp/wininet_session.h"

namespace arkivo::platform {

std::unique_ptr<FtpConnection> NewFtpConnection() {
    return std::make_unique<win32::WinInetSession>();
}

}  // namespace arkivo::platform
