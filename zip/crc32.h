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

// The CRC-32 of two byte strings one after the other, from the CRC-32 of each and the length
// of the second, so that pieces of one file can be checked apart and their CRCs joined.
std::uint32_t CombineCrc32(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength);

}  // namespace arkivo::zip
