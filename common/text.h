// Text helpers shared by the portable core: UTF conversions, the case folding used for path
// comparisons, and the lenient decimal reading that stored numbers rely on.
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

// Simple one-to-one upper-casing over the BMP scripts users put in folder names (Latin,
// Greek, Cyrillic, Armenian, full-width Latin). Characters without a single upper-case
// counterpart are returned unchanged.
char16_t ToUpperChar(char16_t c);
std::u16string ToUpper(std::u16string_view text);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

// Reads like the C runtime's atoi family: optional leading white space, an optional sign,
// then digits up to the first non-digit. Text without digits reads as 0; values beyond the
// 64-bit range saturate.
std::int64_t ParseLeadingInt(std::u16string_view text);
std::uint64_t ParseLeadingUnsigned(std::u16string_view text);

std::u16string ToDecimal(std::int64_t value);
std::u16string ToDecimalUnsigned(std::uint64_t value);

}  // namespace arkivo
