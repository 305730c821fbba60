// The clock `arkivo schedule` goes by.
//
// Test hook, for tests only: ARKIVO_TEST_CLOCK="SECONDS SPEED" starts the clock at SECONDS
// (since 1970) and makes it run SPEED times as fast as the real one, the waits between ticks
// with it, so a test sees a set minute come within a second. The program reads it nowhere else
// and users have no reason to set it.
#pragma once

#include <chrono>
#include <cstdint>

namespace arkivo::cli {

class ScheduleClock {
  public:
    static ScheduleClock FromEnvironment();

    // Seconds since 1970.
    std::int64_t Now() const;
    // How long, in real time, `seconds` of this clock take.
    std::chrono::nanoseconds RealDuration(std::int64_t seconds) const;

  private:
    bool injected_ = false;
    std::int64_t start_ = 0;
    double speed_ = 1;
    std::chrono::steady_clock::time_point realStart_ = std::chrono::steady_clock::now();
};

}  // namespace arkivo::cli
