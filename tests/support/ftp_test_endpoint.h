// How every test reaches the FTP test server: user "u", password "p", on this machine.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/ftp_client.h"

namespace arkivo::test {

inline constexpr std::chrono::milliseconds kFtpTestTimeout{5000};

inline platform::FtpEndpoint TestFtpEndpoint(std::uint16_t port, bool passive) {
    platform::FtpEndpoint endpoint;
    endpoint.host = u"127.0.0.1";
    endpoint.port = port;
    endpoint.user = u"u";
    endpoint.password = u"p";
    endpoint.passive = passive;
    endpoint.timeout = kFtpTestTimeout;
    return endpoint;
}

}  // namespace arkivo::test
