// Decodes the symbols of one canonical prefix code: a table indexed by the next few bits
// answers the short codes at once, and the rare longer ones are found a bit at a time.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "zip/deflate/bit_reader.h"
#include "zip/deflate/deflate_format.h"

namespace arkivo::deflate {

class HuffmanDecoder {
  public:
    static constexpr unsigned kInvalidSymbol = 0xFFFF;

    // False when the lengths over-fill the code space, or leave part of it unused where
    // deflate does not allow that: only a code of one single 1-bit symbol may be incomplete,
    // and a code of no symbols at all fails when it is used.
    bool Build(std::span<const std::uint8_t> lengths);

    // Needs kMaxCodeLength bits available in the reader. kInvalidSymbol for bits that are no
    // code, which are then left unconsumed.
    unsigned Decode(BitReader& reader) const {
        const std::uint16_t entry = table_[reader.Peek(kTableBits)];
        if (entry != 0) {
            reader.Consume(entry & 0xF);
            return entry >> 4;
        }
        return DecodeLong(reader);
    }

  private:
    static constexpr unsigned kTableBits = 10;
    static constexpr std::size_t kMaxSymbols = kNumFixedLitLenSymbols;

    unsigned DecodeLong(BitReader& reader) const;

    // (symbol << 4) | length for codes of at most kTableBits; 0 for longer codes and gaps.
    std::array<std::uint16_t, 1 << kTableBits> table_{};
    std::array<std::uint16_t, kMaxCodeLength + 1> lengthCount_{};
    // Symbols by code length, then by value: the order of canonical codes.
    std::array<std::uint16_t, kMaxSymbols> sortedSymbols_{};
};

}  // namespace arkivo::deflate
