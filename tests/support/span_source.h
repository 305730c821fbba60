// Compressed bytes handed to a decoder from memory, a few at a time as a file would give them,
// optionally failing part-way as a broken disk would.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>

#include "zip/deflate/byte_source.h"

namespace arkivo::test {

class SpanSource : public deflate::ByteSource {
  public:
    // Hands out at most `piece` bytes per read, and fails after failAfter bytes.
    explicit SpanSource(std::span<const std::uint8_t> bytes, std::size_t piece = 1 << 16,
                        std::size_t failAfter = SIZE_MAX)
        : bytes_(bytes), piece_(std::max<std::size_t>(piece, 1)), failAfter_(failAfter) {}

    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
        if (offset_ >= failAfter_) {
            return std::nullopt;
        }
        const std::size_t n = std::min({buffer.size(), piece_, bytes_.size() - offset_});
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset_), n, buffer.begin());
        offset_ += n;
        return n;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t piece_;
    std::size_t failAfter_;
    std::size_t offset_ = 0;
};

}  // namespace arkivo::test
