// Compressed bytes handed to a decoder from memory, a few at a time, as a file would be.
#pragma once

#include <algorithm>
#include <span>

#include "zip/deflate/byte_source.h"

namespace arkivo::fuzz {

class MemorySource : public deflate::ByteSource {
  public:
    MemorySource(std::span<const std::uint8_t> bytes, std::size_t piece)
        : bytes_(bytes), piece_(std::max<std::size_t>(piece, 1)) {}

    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
        const std::size_t n = std::min({buffer.size(), piece_, bytes_.size() - offset_});
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset_), n, buffer.begin());
        offset_ += n;
        return n;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t piece_;
    std::size_t offset_ = 0;
};

}  // namespace arkivo::fuzz
