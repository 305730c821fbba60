#include "platform/posix/ftp/data_address.h"

namespace arkivo::platform::ftp {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A run of decimal digits at text[i]; nothing when there is none or it exceeds the limit.
std::optional<unsigned> Number(std::string_view text, std::size_t& i, unsigned limit) {
    const std::size_t start = i;
    unsigned value = 0;
    while (i < text.size() && IsDigit(text[i])) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > limit) {
            return std::nullopt;
        }
        ++i;
    }
    if (i == start) {
        return std::nullopt;
    }
    return value;
}

// Six comma-separated numbers of at most 255 starting at text[i].
std::optional<PassiveAddress> SixNumbersAt(std::string_view text, std::size_t i) {
    std::array<unsigned, 6> numbers{};
    for (std::size_t n = 0; n < numbers.size(); ++n) {
        if (n > 0) {
            if (i >= text.size() || text[i] != ',') {
                return std::nullopt;
            }
            ++i;
        }
        const auto number = Number(text, i, 255);
        if (!number) {
            return std::nullopt;
        }
        numbers[n] = *number;
    }
    PassiveAddress address;
    for (std::size_t n = 0; n < 4; ++n) {
        address.host[n] = static_cast<std::uint8_t>(numbers[n]);
    }
    address.port = static_cast<std::uint16_t>(numbers[4] * 256 + numbers[5]);
    if (address.port == 0) {
        return std::nullopt;
    }
    return address;
}

}  // namespace

std::optional<PassiveAddress> ParsePasvReply(std::string_view text) {
    // Past the reply code, so "227" cannot be taken for the first number.
    for (std::size_t i = 3; i < text.size(); ++i) {
        if (IsDigit(text[i]) && !IsDigit(text[i - 1])) {
            if (auto address = SixNumbersAt(text, i)) {
                return address;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> ParseEpsvReply(std::string_view text) {
    const auto open = text.find('(');
    if (open == std::string_view::npos || open + 5 > text.size()) {
        return std::nullopt;
    }
    const char delimiter = text[open + 1];
    if (delimiter < 33 || delimiter > 126 || IsDigit(delimiter)) {
        return std::nullopt;
    }
    if (text[open + 2] != delimiter || text[open + 3] != delimiter) {
        return std::nullopt;
    }
    std::size_t i = open + 4;
    const auto port = Number(text, i, 65535);
    if (!port || *port == 0 || i + 1 >= text.size() || text[i] != delimiter || text[i + 1] != ')') {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*port);
}

std::string EprtArgument(bool ipv6, std::string_view address, std::uint16_t port) {
    return std::string("|") + (ipv6 ? "2" : "1") + "|" + std::string(address) + "|" +
           std::to_string(port) + "|";
}

std::string PortArgument(const std::array<std::uint8_t, 4>& host, std::uint16_t port) {
    std::string argument;
    for (const auto part : host) {
        argument += std::to_string(part) + ",";
    }
    return argument + std::to_string(port / 256) + "," + std::to_string(port % 256);
}

}  // namespace arkivo::platform::ftp
