// A whole listing as it came over a data connection, line by line, into the entries a caller
// sees: names decoded from UTF-8 and checked, unreadable lines counted and left out.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ftp_client.h"

namespace arkivo::platform::ftp {

enum class ListingStyle {
    Mlsd,
    List,  // each line in the Unix or the Windows style, whichever it is
};

// Lines end with CR LF or LF alone; empty lines are ignored. `now` dates the LIST lines that
// give no year.
FtpListing ReadListing(std::string_view bytes, ListingStyle style, std::int64_t nowUnixSeconds);

}  // namespace arkivo::platform::ftp
