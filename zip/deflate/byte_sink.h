// Where compressed bytes go.
#pragma once

#include <cstdint>
#include <span>

namespace arkivo::deflate {

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // False when the bytes could not all be taken; the stream is then lost.
    virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace arkivo::deflate
