// How far an FTP server's clock runs behind ours. Listed times are the server's; a run that
// copies what changed after a time of ours must first move them onto our clock.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ftp_client.h"

namespace arkivo::engine {

// Uploads a small file into `folder`, lists it and removes it again (also when the listing
// fails). The offset is `now` minus the listed time in whole seconds; 0 when the server is
// ahead, or when the file cannot be stored or is not found in the listing.
std::int64_t MeasureClockOffset(platform::FtpConnection& ftp, const std::u16string& folder,
                                std::int64_t now);

}  // namespace arkivo::engine
