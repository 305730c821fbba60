#include "zip/deflate/bit_writer.h"

#include <algorithm>
#include <cstring>

namespace arkivo::deflate {

// The 8-byte store of CommitBytes may reach 7 bytes past the last byte it keeps.
constexpr std::size_t kStoreSlack = 8;

BitWriter::BitWriter(ByteSink& sink, std::size_t capacity)
    : sink_(sink),
      buffer_(capacity + kStoreSlack),
      next_(buffer_.data()),
      limit_(buffer_.data() + capacity) {}

void BitWriter::Reset() {
    next_ = buffer_.data();
    bits_ = 0;
    count_ = 0;
    drainedBytes_ = 0;
    failed_ = false;
}

bool BitWriter::Drain() {
    if (failed_) {
        return false;
    }
    const std::size_t finished = static_cast<std::size_t>(next_ - buffer_.data());
    if (finished > 0) {
        if (!sink_.Write({buffer_.data(), finished})) {
            failed_ = true;
            return false;
        }
        drainedBytes_ += finished;
        next_ = buffer_.data();
    }
    return true;
}

bool BitWriter::Reserve(std::size_t bytes) {
    if (static_cast<std::size_t>(limit_ - next_) >= bytes) {
        return !failed_;
    }
    return Drain();
}

bool BitWriter::WriteAlignedBytes(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        if (next_ == limit_ && !Drain()) {
            return false;
        }
        const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(limit_ - next_));
        std::memcpy(next_, bytes.data(), n);
        next_ += n;
        bytes = bytes.subspan(n);
    }
    return !failed_;
}

}  // namespace arkivo::deflate
