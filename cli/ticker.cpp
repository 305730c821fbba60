#include "cli/ticker.h"

namespace arkivo::cli {

Ticker::Ticker(std::chrono::milliseconds period, std::function<void()> tick)
    : thread_([this, period, tick = std::move(tick)] {
          std::unique_lock lock(mutex_);
          while (!wake_.wait_for(lock, period, [this] { return ending_; })) {
              lock.unlock();
              tick();
              lock.lock();
          }
      }) {}

Ticker::~Ticker() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

}  // namespace arkivo::cli
