// Text helpers shared by the portable core: UTF conversions and the lenient decimal reading
// that stored numbers rely on. Comparing without regard to case follows the system, so it
// lives in the platform layer (platform/upper_case.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arkivo {

// Invalid sequences become U+FFFD; conversions never fail.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Widens 7-bit text; meant for literals and generated numbers.
std::u16string AsciiToUtf16(std::string_view ascii);

// Reads like the C runtime's atoi family: optional leading white space, an optional sign,
// then digits up to the first non-digit. Text without digits reads as 0; values beyond the
// 64-bit range saturate.
std::int64_t ParseLeadingInt(std::u16string_view text);
std::uint64_t ParseLeadingUnsigned(std::u16string_view text);

std::u16string ToDecimal(std::int64_t value);
std::u16string ToDecimalUnsigned(std::uint64_t value);

}  // namespace arkivo
