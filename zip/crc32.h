// The CRC-32 of the ZIP format: the ISO 3309 polynomial in reflected form, initial value
// 0xFFFFFFFF and final complement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace arkivo::zip {

class Crc32 {
  public:
    void Update(std::span<const std::uint8_t> bytes);
    std::uint32_t value() const { return ~state_; }

  private:
    std::uint32_t state_ = 0xFFFFFFFF;
};

std::uint32_t ComputeCrc32(std::span<const std::uint8_t> bytes);

}  // namespace arkivo::zip
