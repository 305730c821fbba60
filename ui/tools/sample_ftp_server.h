// A made-up FTP server for the screenshots: fixed folders, answered at once, so the FTP
// location dialog can be shown connected with its tree filled on any machine.
#pragma once

#include <memory>

#include "platform/ftp_client.h"

namespace arkivo::tools {

std::unique_ptr<platform::FtpConnection> NewSampleFtpConnection();

}  // namespace arkivo::tools
