// Whether a name an FTP listing gave can be used as a local or remote name. Both FTP clients
// judge names the same way, so a job reports the same entries whichever system runs it.
#pragma once

#include <string_view>

#include "platform/ftp_client.h"

namespace arkivo::platform {

// Why a name as the server sent it (its UTF-8 bytes) must not be used, if it must not.
FtpNameProblem NameProblemOf(std::string_view name);

}  // namespace arkivo::platform
