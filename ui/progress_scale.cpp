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
    return static_cast<std::uint32_t>(static_cast<long double>(position) * kMaxBar /
                                      static_cast<long double>(count_));
}

}  // namespace arkivo::ui
