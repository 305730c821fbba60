// The bit-level input of the decompressor: bits are taken from the least significant end of a
// 64-bit word that is refilled a byte or eight at a time. Past the end of the input it reads
// zero bits and counts them, so a truncated stream is noticed without a check per bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "zip/deflate/byte_source.h"

namespace arkivo::deflate {

class BitReader {
  public:
    // At least this many bits are available after Refill.
    static constexpr unsigned kRefillBits = 56;

    explicit BitReader(ByteSource& source);

    BitReader(const BitReader&) = delete;
    BitReader& operator=(const BitReader&) = delete;

    void Refill();

    // n <= available bits.
    std::uint32_t Peek(unsigned n) const {
        return static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << n) - 1));
    }
    void Consume(unsigned n) {
        bits_ >>= n;
        count_ -= n;
        consumedBits_ += n;
    }
    std::uint32_t Take(unsigned n) {
        const std::uint32_t value = Peek(n);
        Consume(n);
        return value;
    }

    void AlignToByte();
    // Copies whole bytes after AlignToByte. False when the input ended or failed first.
    bool ReadAlignedBytes(std::span<std::uint8_t> out);

    std::uint64_t consumedBits() const { return consumedBits_; }
    // Whether more bits were taken than the input had.
    bool overrun() const { return consumedBits_ > bytesRead_ * 8; }
    bool readFailed() const { return readFailed_; }

  private:
    bool FillBuffer();

    ByteSource& source_;
    std::vector<std::uint8_t> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool exhausted_ = false;
    bool readFailed_ = false;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
    std::uint64_t consumedBits_ = 0;
    std::uint64_t bytesRead_ = 0;
};

}  // namespace arkivo::deflate
