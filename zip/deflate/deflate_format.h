// The constants and code tables of the deflate format (RFC 1951), shared by the compressor and
// the decompressor.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace arkivo::deflate {

inline constexpr unsigned kMinMatch = 3;
inline constexpr unsigned kMaxMatch = 258;
inline constexpr unsigned kWindowSize = 32768;

inline constexpr unsigned kEndOfBlock = 256;
inline constexpr unsigned kFirstLengthSymbol = 257;
inline constexpr unsigned kNumLengthSlots = 29;
inline constexpr unsigned kNumLitLenSymbols = kFirstLengthSymbol + kNumLengthSlots;  // 286
inline constexpr unsigned kNumDistanceSymbols = 30;
inline constexpr unsigned kNumCodeLengthSymbols = 19;
// The fixed code defines two more symbols of each kind that never occur in valid data.
inline constexpr unsigned kNumFixedLitLenSymbols = 288;
inline constexpr unsigned kNumFixedDistanceSymbols = 32;

inline constexpr unsigned kMaxCodeLength = 15;
inline constexpr unsigned kMaxCodeLengthCodeLength = 7;
inline constexpr unsigned kMaxStoredLength = 65535;

enum class BlockType : unsigned { Stored = 0, Fixed = 1, Dynamic = 2 };

// Code-length symbols 16, 17 and 18: repeat the previous length, or a run of zeros.
inline constexpr unsigned kRepeatPrevious = 16;
inline constexpr unsigned kRepeatZeroShort = 17;
inline constexpr unsigned kRepeatZeroLong = 18;

inline constexpr std::array<std::uint8_t, kNumCodeLengthSymbols> kCodeLengthOrder = {
    16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

inline constexpr std::array<std::uint16_t, kNumLengthSlots> kLengthBase = {
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
inline constexpr std::array<std::uint8_t, kNumLengthSlots> kLengthExtraBits = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

inline constexpr std::array<std::uint16_t, kNumDistanceSymbols> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
inline constexpr std::array<std::uint8_t, kNumDistanceSymbols> kDistanceExtraBits = {
    0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

namespace detail {
constexpr std::array<std::uint8_t, kMaxMatch + 1> MakeLengthSlots() {
    std::array<std::uint8_t, kMaxMatch + 1> slots{};
    for (unsigned slot = 0; slot < kNumLengthSlots; ++slot) {
        const unsigned first = kLengthBase[slot];
        const unsigned count = slot + 1 < kNumLengthSlots ? 1u << kLengthExtraBits[slot] : 1;
        for (unsigned length = first; length < first + count && length <= kMaxMatch; ++length) {
            slots[length] = static_cast<std::uint8_t>(slot);
        }
    }
    return slots;
}
}  // namespace detail

// Length 258 has a slot of its own although 227 + 31 would reach it.
inline constexpr std::array<std::uint8_t, kMaxMatch + 1> kLengthSlot = detail::MakeLengthSlots();

// The distance slot follows from the position of the top bit of distance - 1 and the bit
// below it, so no table is needed.
constexpr unsigned DistanceSlot(unsigned distance) {
    const unsigned d = distance - 1;
    if (d < 4) {
        return d;
    }
    const unsigned top = static_cast<unsigned>(std::bit_width(d)) - 1;
    return 2 * top + ((d >> (top - 1)) & 1);
}

constexpr unsigned FixedLitLenLength(unsigned symbol) {
    return symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
}
inline constexpr unsigned kFixedDistanceLength = 5;

}  // namespace arkivo::deflate
