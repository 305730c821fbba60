// Prefix codes for deflate: optimal code lengths under a length limit, and the canonical codes
// that deflate derives from lengths alone.
#pragma once

#include <cstdint>
#include <span>

namespace arkivo::deflate {

// Lengths of an optimal prefix code for the frequencies whose codes are at most maxLength bits
// long; symbols of frequency 0 get length 0. With fewer than two used symbols, unused ones are
// given length 1 as well, because inflaters reject a code that does not fill its code space.
// Needs at least two symbols and no more than 2^maxLength used ones. False when the lengths do
// not describe a complete code, which would mean the construction went wrong.
bool BuildCodeLengths(std::span<const std::uint32_t> frequencies, unsigned maxLength,
                      std::span<std::uint8_t> lengths);

// The canonical code of RFC 1951 section 3.2.2 for the lengths, each code bit-reversed so that
// it can be written least significant bit first.
void BuildCanonicalCodes(std::span<const std::uint8_t> lengths, std::span<std::uint16_t> codes);

// Reverses the lowest `count` bits of code.
constexpr std::uint32_t ReverseBits(std::uint32_t code, unsigned count) {
    std::uint32_t reversed = 0;
    for (unsigned i = 0; i < count; ++i) {
        reversed = (reversed << 1) | ((code >> i) & 1);
    }
    return reversed;
}

}  // namespace arkivo::deflate
