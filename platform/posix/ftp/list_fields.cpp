#include "platform/posix/ftp/list_fields.h"

#include <array>
#include <limits>

namespace arkivo::platform::ftp {
namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool AllDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::optional<std::uint64_t> DecimalValue(std::string_view text) {
    if (text.empty() || !AllDigits(text)) {
        return std::nullopt;
    }
    constexpr auto kMost = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (kMost - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithLetters(a, b);
}

bool StartsWithLetters(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Upper(text[i]) != Upper(prefix[i])) {
            return false;
        }
    }
    return true;
}

int MonthNumber(std::string_view name) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (SameLetters(name, kMonths[i])) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

}  // namespace arkivo::platform::ftp
