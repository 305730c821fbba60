#include "zip/deflate/bit_reader.h"

#include <algorithm>
#include <cstring>

#include "zip/byte_order.h"

namespace arkivo::deflate {

constexpr std::size_t kInputBufferSize = 1 << 16;

BitReader::BitReader(ByteSource& source) : source_(source), buffer_(kInputBufferSize) {}

bool BitReader::FillBuffer() {
    if (exhausted_) {
        return false;
    }
    const auto n = source_.Read(buffer_);
    if (!n || *n == 0) {
        readFailed_ = !n;
        exhausted_ = true;
        return false;
    }
    next_ = 0;
    end_ = *n;
    bytesRead_ += *n;
    return true;
}

void BitReader::Refill() {
    if (end_ - next_ >= 8) {
        // Bits above count_ may already hold the next bytes; OR-ing them in again is harmless.
        bits_ |= LoadLittleEndian<std::uint64_t>(buffer_.data() + next_) << count_;
        next_ += (63 - count_) >> 3;
        count_ |= kRefillBits;
        return;
    }
    while (count_ <= kRefillBits) {
        if (next_ == end_ && !FillBuffer()) {
            count_ += 8;  // zero bits past the end
            continue;
        }
        bits_ |= std::uint64_t{buffer_[next_++]} << count_;
        count_ += 8;
    }
}

void BitReader::AlignToByte() {
    Consume(static_cast<unsigned>((8 - consumedBits_ % 8) % 8));
}

bool BitReader::ReadAlignedBytes(std::span<std::uint8_t> out) {
    while (!out.empty() && count_ >= 8) {
        out[0] = static_cast<std::uint8_t>(Take(8));
        out = out.subspan(1);
    }
    if (out.empty()) {
        return !overrun();
    }
    // The word is empty now; what it held beyond its count is read again from the buffer.
    bits_ = 0;
    while (!out.empty()) {
        if (next_ == end_ && !FillBuffer()) {
            return false;
        }
        const std::size_t n = std::min(out.size(), end_ - next_);
        std::memcpy(out.data(), buffer_.data() + next_, n);
        next_ += n;
        consumedBits_ += 8 * n;
        out = out.subspan(n);
    }
    return true;
}

}  // namespace arkivo::deflate
