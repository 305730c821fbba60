// Where a data connection goes, as the passive replies tell it and the active commands say it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace arkivo::platform::ftp {

struct PassiveAddress {
    std::array<std::uint8_t, 4> host{};
    std::uint16_t port = 0;
};

// "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)": the six numbers wherever they stand, as
// servers differ in what surrounds them.
std::optional<PassiveAddress> ParsePasvReply(std::string_view text);

// "229 Entering Extended Passive Mode (|||port|)": the port; the delimiter may be any printable
// character but the same one four times.
std::optional<std::uint16_t> ParseEpsvReply(std::string_view text);

// The argument of EPRT: "|1|127.0.0.1|5282|" (family 1 for IPv4, 2 for IPv6).
std::string EprtArgument(bool ipv6, std::string_view address, std::uint16_t port);

// The argument of PORT: "127,0,0,1,20,162".
std::string PortArgument(const std::array<std::uint8_t, 4>& host, std::uint16_t port);

}  // namespace arkivo::platform::ftp
