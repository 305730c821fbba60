// Where compressed bytes come from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace arkivo::deflate {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Fills the front of buffer and returns how much it filled, 0 at the end of the input;
    // nullopt when the input could not be read.
    virtual std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) = 0;
};

}  // namespace arkivo::deflate
