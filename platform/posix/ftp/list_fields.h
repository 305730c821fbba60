// The small readings the listing parsers share: digits, letters compared without case, month
// names.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace arkivo::platform::ftp {

bool AllDigits(std::string_view text);

// Nothing for an empty text, a non-digit, or a value beyond 64 bits.
std::optional<std::uint64_t> DecimalValue(std::string_view text);

// ASCII letters compared without regard to case.
bool SameLetters(std::string_view a, std::string_view b);
bool StartsWithLetters(std::string_view text, std::string_view prefix);

// 1..12 for "Jan".."Dec" in any case, else 0.
int MonthNumber(std::string_view name);

}  // namespace arkivo::platform::ftp
