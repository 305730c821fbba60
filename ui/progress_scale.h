// The progress bar's range is 16 bits wide; larger counts are scaled into it.
#pragma once

#include <cstdint>

namespace arkivo::ui {

class ProgressScale {
  public:
    static constexpr std::uint32_t kMaxBar = 65535;

    void SetRange(std::uint64_t count) { count_ = count; }
    std::uint32_t BarRange() const {
        return count_ > kMaxBar ? kMaxBar : static_cast<std::uint32_t>(count_);
    }
    std::uint32_t BarPosition(std::uint64_t position) const;

  private:
    std::uint64_t count_ = 0;
};

}  // namespace arkivo::ui
