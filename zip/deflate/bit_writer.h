// The bit-level output of the compressor. Deflate packs its codes from the least significant
// bit of each byte upwards; bits gather in a 64-bit word and whole bytes leave it with one
// unaligned 8-byte store, so the encoding loops never handle single bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "zip/byte_order.h"
#include "zip/deflate/byte_sink.h"

namespace arkivo::deflate {

class BitWriter {
  public:
    // The most bits that may be added between two calls of CommitBytes.
    static constexpr unsigned kMaxBitsPerCommit = 56;

    explicit BitWriter(ByteSink& sink, std::size_t capacity = 1 << 17);

    BitWriter(const BitWriter&) = delete;
    BitWriter& operator=(const BitWriter&) = delete;

    // Starts a new stream, dropping whatever was not drained.
    void Reset();

    // Makes room for at least `bytes` whole bytes, handing finished bytes to the sink when the
    // buffer is too full. False once the sink has failed.
    bool Reserve(std::size_t bytes);

    // bits must fit in count bits.
    void AddBits(std::uint64_t bits, unsigned count) {
        bits_ |= bits << count_;
        count_ += count;
    }

    // Moves the whole bytes gathered so far into the buffer. Reserve must have made room.
    void CommitBytes() {
        StoreLittleEndian(next_, bits_);
        const unsigned whole = count_ & ~7u;
        next_ += whole >> 3;
        bits_ >>= whole;
        count_ -= whole;
    }

    // Pads with zero bits to the next byte boundary.
    void AlignToByte() {
        CommitBytes();
        count_ = (count_ + 7) & ~7u;
        CommitBytes();
    }

    // Byte-aligned raw data, as stored blocks carry it.
    bool WriteAlignedBytes(std::span<const std::uint8_t> bytes);

    // Hands every finished byte to the sink; fewer than 8 pending bits stay behind.
    bool Drain();

    std::uint64_t bitCount() const {
        return (drainedBytes_ + static_cast<std::uint64_t>(next_ - buffer_.data())) * 8 + count_;
    }
    bool failed() const { return failed_; }

  private:
    ByteSink& sink_;
    std::vector<std::uint8_t> buffer_;
    std::uint8_t* next_;
    std::uint8_t* limit_;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
    std::uint64_t drainedBytes_ = 0;
    bool failed_ = false;
};

}  // namespace arkivo::deflate
