#include "cli/schedule_clock.h"

#include <cstdlib>
#include <sstream>

#include "platform/clock.h"

namespace arkivo::cli {

ScheduleClock ScheduleClock::FromEnvironment() {
    ScheduleClock clock;
    const char* text = std::getenv("ARKIVO_TEST_CLOCK");
    if (text == nullptr) {
        return clock;
    }
    std::istringstream in(text);
    std::int64_t start = 0;
    double speed = 1;
    if (in >> start >> speed && speed > 0) {
        clock.injected_ = true;
        clock.start_ = start;
        clock.speed_ = speed;
    }
    return clock;
}

std::int64_t ScheduleClock::Now() const {
    if (!injected_) {
        return platform::NowUnixSeconds();
    }
    const std::chrono::duration<double> real = std::chrono::steady_clock::now() - realStart_;
    return start_ + static_cast<std::int64_t>(real.count() * speed_);
}

std::chrono::nanoseconds ScheduleClock::RealDuration(std::int64_t seconds) const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<double>(static_cast<double>(seconds) / speed_));
}

}  // namespace arkivo::cli
