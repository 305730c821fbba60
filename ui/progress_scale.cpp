#include "ui/progress_scale.h"

namespace arkivo::ui {

std::uint32_t ProgressScale::BarPosition(std::uint64_t position) const {
    if (count_ == 0) {
        return 0;
    }
    if (position >= count_) {
        return BarRange();
    }
    if (count_ <= kMaxBar) {
        return static_cast<std::uint32_t>(position);
    }
    // Both factors stay below 2^48 for any count a file system can hold.
    return static_cast<std::uint32_t>((position >> 16) * kMaxBar / (count_ >> 16));
}

}  // namespace arkivo::ui
