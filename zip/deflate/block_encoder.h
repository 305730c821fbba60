// Writes one block of literals and matches in whichever of the three block types of deflate
// is smallest: stored, fixed Huffman codes or dynamic Huffman codes.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "zip/deflate/bit_writer.h"
#include "zip/deflate/deflate_error.h"
#include "zip/deflate/deflate_format.h"
#include "zip/deflate/dynamic_header.h"
#include "zip/deflate/symbol_buffer.h"

namespace arkivo::deflate {

class BlockEncoder {
  public:
    BlockEncoder();

    // raw is the input the symbols stand for, which a stored block carries instead.
    DeflateError Encode(BitWriter& writer, std::span<const std::uint32_t> symbols,
                        const SymbolFrequencies& frequencies, std::span<const std::uint8_t> raw,
                        bool final);

    BlockType lastBlockType() const { return lastType_; }

  private:
    struct Code {
        std::array<std::uint8_t, kNumFixedLitLenSymbols> litLenLengths{};
        std::array<std::uint16_t, kNumFixedLitLenSymbols> litLenCodes{};
        std::array<std::uint8_t, kNumFixedDistanceSymbols> distanceLengths{};
        std::array<std::uint16_t, kNumFixedDistanceSymbols> distanceCodes{};
    };

    DeflateError WriteHuffmanBlock(BitWriter& writer, std::span<const std::uint32_t> symbols,
                                   const Code& code, BlockType type, bool final,
                                   std::uint64_t predictedBits);
    bool WriteSymbols(BitWriter& writer, std::span<const std::uint32_t> symbols, const Code& code);

    Code fixed_;
    Code dynamic_;
    DynamicHeader header_;
    BlockType lastType_ = BlockType::Fixed;
};

}  // namespace arkivo::deflate
