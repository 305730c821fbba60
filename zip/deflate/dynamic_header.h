// The header of a dynamic-Huffman block: the code lengths of the literal/length and distance
// codes, run-length coded with symbols 16 to 18 and written in the code-length code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "zip/deflate/bit_writer.h"
#include "zip/deflate/deflate_format.h"

namespace arkivo::deflate {

class DynamicHeader {
  public:
    // Describes the lengths (kNumLitLenSymbols and kNumDistanceSymbols of them). False when the
    // code-length code came out incomplete, which would make the block undecodable.
    bool Build(std::span<const std::uint8_t> litLenLengths,
               std::span<const std::uint8_t> distanceLengths);

    // Bits the header takes, not counting the three bits that open every block.
    std::uint64_t bitCount() const { return bitCount_; }

    // Writes the header after the block type bits.
    bool Write(BitWriter& writer) const;

  private:
    struct Item {
        std::uint8_t symbol;  // a code length 0..15, or 16, 17, 18
        std::uint8_t extra;   // the repeat count bits of 16, 17 and 18
    };

    void AddRuns(std::span<const std::uint8_t> lengths);

    std::array<Item, kNumLitLenSymbols + kNumDistanceSymbols> items_{};
    std::size_t itemCount_ = 0;
    unsigned litLenCount_ = 0;
    unsigned distanceCount_ = 0;
    unsigned codeLengthCount_ = 0;
    std::array<std::uint8_t, kNumCodeLengthSymbols> codeLengthLengths_{};
    std::array<std::uint16_t, kNumCodeLengthSymbols> codeLengthCodes_{};
    std::uint64_t bitCount_ = 0;
};

}  // namespace arkivo::deflate
