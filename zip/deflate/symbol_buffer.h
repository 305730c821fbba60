// The literals and matches of the block being gathered, with their symbol frequencies.
//
// A symbol is one 32-bit word: a literal is its byte value (below 256); a match is its distance
// shifted left by 9 bits with its length in the low 9 bits, so it is never below 512.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "zip/deflate/deflate_format.h"

namespace arkivo::deflate {

struct SymbolFrequencies {
    std::array<std::uint32_t, kNumLitLenSymbols> litLen{};
    std::array<std::uint32_t, kNumDistanceSymbols> distance{};

    void Subtract(const SymbolFrequencies& other);
};

constexpr bool IsLiteral(std::uint32_t symbol) {
    return symbol < 256;
}
constexpr unsigned MatchLength(std::uint32_t symbol) {
    return symbol & 511;
}
constexpr unsigned MatchDistance(std::uint32_t symbol) {
    return symbol >> 9;
}

class SymbolBuffer {
  public:
    explicit SymbolBuffer(std::size_t capacity) : symbols_(capacity) {}

    void AddLiteral(std::uint8_t byte) {
        symbols_[count_++] = byte;
        ++frequencies_.litLen[byte];
        ++rawLength_;
    }

    void AddMatch(unsigned length, unsigned distance) {
        symbols_[count_++] = (static_cast<std::uint32_t>(distance) << 9) | length;
        ++frequencies_.litLen[kFirstLengthSymbol + kLengthSlot[length]];
        ++frequencies_.distance[DistanceSlot(distance)];
        rawLength_ += length;
    }

    std::size_t size() const { return count_; }
    std::size_t capacity() const { return symbols_.size(); }
    // Bytes of input that the symbols stand for.
    std::size_t rawLength() const { return rawLength_; }
    const SymbolFrequencies& frequencies() const { return frequencies_; }
    std::span<const std::uint32_t> symbols() const { return {symbols_.data(), count_}; }

    // Drops the first `count` symbols, which stand for `rawLength` bytes and have the given
    // frequencies; the rest move to the front.
    void RemovePrefix(std::size_t count, std::size_t rawLength,
                      const SymbolFrequencies& prefixFrequencies);
    void Clear();

  private:
    std::vector<std::uint32_t> symbols_;
    std::size_t count_ = 0;
    std::size_t rawLength_ = 0;
    SymbolFrequencies frequencies_;
};

}  // namespace arkivo::deflate
