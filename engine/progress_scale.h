// Progress bars whose range travels as 16 bits: counts above 65535 are scaled down rather than
// wrapped, so a bar never runs backwards or overflows.
#pragma once

#include <algorithm>
#include <cstdint>

namespace arkivo::engine {

class ProgressScale {
  public:
    static constexpr std::uint64_t kMaxRange = 65535;

    explicit ProgressScale(std::uint64_t count) : count_(count) {}

    std::uint16_t Range() const { return static_cast<std::uint16_t>(std::min(count_, kMaxRange)); }

    // Walkers can pass the count (filtered files still move the bar), so positions clamp.
    std::uint16_t Position(std::uint64_t done) const {
        if (count_ <= kMaxRange) {
            return static_cast<std::uint16_t>(std::min(done, count_));
        }
        const auto scaled = static_cast<std::uint64_t>(
            static_cast<long double>(std::min(done, count_)) * kMaxRange / count_);
        return static_cast<std::uint16_t>(scaled);
    }

  private:
    std::uint64_t count_;
};

}  // namespace arkivo::engine
